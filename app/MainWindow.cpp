#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>

#include "app/Keys.h"
#include "view/BoardView.h"
#include "view/MenuStyle.h"
#include "view/PictureSet.h"

namespace kov {

MainWindow::MainWindow(const PictureSet& pictures, std::unique_ptr<RandomSource> rng,
                       QWidget* parent)
    : QMainWindow(parent), game_(std::move(rng)) {
    setWindowIcon(pictures.Icon());
    // The window itself owns the keys; nothing inside it takes focus and eats the arrows.
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    qApp->installEventFilter(
        new FunctionKeys(this, [this](int virtualKey, bool repeat) { Key(virtualKey, repeat); }));
    BuildMenu();

    board_ = new BoardView(game_, pictures);
    scroller_ = new QScrollArea(this);
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setFocusPolicy(Qt::NoFocus);
    scroller_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroller_->viewport()->setPalette(board_->palette());
    scroller_->setWidget(board_);
    setCentralWidget(scroller_);

    connect(board_, &BoardView::clicked, this, [this](QPoint at) {
        game_.ClickAt(at.x(), at.y());
        Apply(game_.TakeChanges());
    });
    connect(board_, &BoardView::doubleClicked, this, [this](QPoint at) {
        game_.DoubleClickAt(at.x(), at.y());
        Apply(game_.TakeChanges());
    });
    // Nothing to draw: the cell under the pointer only becomes the arrows' target.
    connect(board_, &BoardView::pointerMoved, this,
            [this](QPoint at) { game_.PointerAt(at.x(), at.y()); });
    for (QScrollBar* bar : {scroller_->horizontalScrollBar(), scroller_->verticalScrollBar()})
        connect(bar, &QScrollBar::valueChanged, this, &MainWindow::ReportPointer);

    // The controller has run the start-up: the cells, the first game, the caption, the marks.
    Apply(game_.TakeChanges());
    setFocus();
}

// The client area becomes the board with its margin below the menu bar (widened to the bar
// where the board is narrower), as far as the screen's free area allows; only a board larger
// than that scrolls. A window the player maximised keeps its size.
void MainWindow::FitToBoard() {
    if (isMaximized() || isFullScreen()) return;
    // Never narrower than the menu bar's one line: Qt's bar hides what does not fit behind an
    // overflow button, and every menu must stay one click away.
    const PixelSize client = game_.WindowPixels(menuBar()->sizeHint().width());
    QSize want(client.width, client.height);
    const QScreen* here = screen();
    if (here != nullptr) {
        // The frame the window manager adds, once it has framed the window.
        const QRect outer = frameGeometry(), inner = geometry();
        const QSize frame(outer.width() - inner.width(), outer.height() - inner.height());
        const QSize room = here->availableGeometry().size() - frame;
        const int bar = menuBar()->heightForWidth(std::min(want.width(), room.width()));
        // A side that does not fit scrolls, and its scroll bar takes room from the other side.
        const bool wide = want.width() > room.width();
        const bool tall = want.height() + bar > room.height();
        if (wide) want.rheight() += scroller_->horizontalScrollBar()->sizeHint().height();
        if (tall) want.rwidth() += scroller_->verticalScrollBar()->sizeHint().width();
        want = want.boundedTo(QSize(room.width(), room.height() - bar));
    }
    resize(want.width(), want.height() + menuBar()->heightForWidth(want.width()));
    if (here != nullptr && isVisible()) {
        // A window that grew past the screen's edge comes back onto it.
        const QRect free = here->availableGeometry();
        QRect outer = frameGeometry();
        outer.setSize(outer.size() - geometry().size() + size());
        const int dx = std::min(0, free.right() - outer.right());
        const int dy = std::min(0, free.bottom() - outer.bottom());
        if (dx != 0 || dy != 0)
            move(std::max(free.left(), outer.left() + dx), std::max(free.top(), outer.top() + dy));
    }
}

void MainWindow::ReportPointer() {
    const QPoint pointer = QCursor::pos();
    const QWidget* under = QApplication::widgetAt(pointer);
    if (under == nullptr || (under != board_ && !board_->isAncestorOf(under))) return;
    const QPoint at = board_->mapFromGlobal(pointer);
    game_.PointerAt(at.x(), at.y());
}

void MainWindow::BuildMenu() {
    // The bar stays in the window, whatever global menu the desktop offers. Asked before the
    // bar exists, this also spares the start-up a session-bus connection to look for one.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QMenuBar* bar = menuBar();
    // Walking the menus must not fill the pixmap cache (see view/MenuStyle.h).
    auto* menuStyle = new MenuStyle(this);
    const std::span<const MenuEntry> entries = MenuEntries();
    std::vector<QMenu*> open;  // open[d]: the menu that takes the entries of depth d + 1
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const MenuEntry& e = entries[i];
        const QString name = QString::fromLatin1(e.id.data(), static_cast<qsizetype>(e.id.size()));
        const QString caption =
            QString::fromUtf8(e.caption.data(), static_cast<qsizetype>(e.caption.size()));
        open.resize(static_cast<std::size_t>(e.depth));
        if (i + 1 < entries.size() && entries[i + 1].depth > e.depth) {
            QMenu* menu = open.empty() ? bar->addMenu(caption) : open.back()->addMenu(caption);
            menu->setStyle(menuStyle);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            actions_.push_back(menu->menuAction());
            open.push_back(menu);
            continue;
        }
        // The key is only shown beside the caption: the game itself runs the function keys.
        const QString label =
            e.shortcutLabel.empty()
                ? caption
                : caption + u'\t' +
                      QString::fromLatin1(e.shortcutLabel.data(),
                                          static_cast<qsizetype>(e.shortcutLabel.size()));
        QAction* action =
            e.IsSeparator() ? open.back()->addSeparator() : open.back()->addAction(label);
        action->setObjectName(name);
        actions_.push_back(action);
        action->setCheckable(e.checkable);
        action->setChecked(game_.Checked(i));
        if (!e.command) continue;
        connect(action, &QAction::triggered, this, [this, action, i, command = *e.command] {
            // Qt has already flipped the mark; the controller alone decides it.
            if (action->isCheckable()) action->setChecked(game_.Checked(i));
            Run(command);
        });
    }
}

void MainWindow::Run(Command command) {
    game_.Run(command);
    Apply(game_.TakeChanges());
}

void MainWindow::Apply(const Changes& changes) {
    if (changes.rebuilt)
        board_->Rebuild();
    else if (changes.reLaid)
        board_->ReLay();
    if (changes.reLaid) {
        FitToBoard();
        ReportPointer();
    }
    board_->Paint(changes.cells);
    for (const MarkChange& m : changes.marks)
        actions_[m.entry]->setChecked(m.checked);
    if (changes.caption) setWindowTitle(QString::fromStdString(game_.Caption()));
    if (changes.close) close();
}

// The window owns the keys; the function keys reach the game through FunctionKeys. Auto-repeats
// arrive here as presses too, and each one turns the piece again.
void MainWindow::keyPressEvent(QKeyEvent* event) {
    const int virtualKey = VirtualKeyFor(event->key());
    if (virtualKey == 0 || !game_.KeyDown(virtualKey, event->isAutoRepeat())) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    Apply(game_.TakeChanges());
}

void MainWindow::Key(int virtualKey, bool repeat) {
    game_.KeyDown(virtualKey, repeat);
    Apply(game_.TakeChanges());
}

}  // namespace kov
