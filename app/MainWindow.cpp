#include "app/MainWindow.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>

#include "app/Keys.h"
#include "view/BoardView.h"
#include "view/PictureSet.h"

namespace kov {

MainWindow::MainWindow(const PictureSet& pictures, std::unique_ptr<RandomSource> rng,
                       QWidget* parent)
    : QMainWindow(parent), game_(std::move(rng)) {
    setWindowIcon(pictures.Icon());
    // The window itself owns the keys; nothing inside it takes focus and eats the arrows.
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    BuildMenu();

    board_ = new BoardView(game_, pictures);
    scroller_ = new QScrollArea(this);
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setFocusPolicy(Qt::NoFocus);
    scroller_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroller_->viewport()->setPalette(board_->palette());
    scroller_->setWidget(board_);
    setCentralWidget(scroller_);

    connect(board_, &BoardView::cellClicked, this, [this](int n) {
        game_.Click(n);
        Apply(game_.TakeChanges());
    });
    connect(board_, &BoardView::cellDoubleClicked, this, [this](int n) {
        game_.DoubleClick(n);
        Apply(game_.TakeChanges());
    });
    // Nothing to draw: the cell only becomes the arrows' target.
    connect(board_, &BoardView::cellMouseMoved, this, [this](int n) { game_.PointerOver(n); });

    // The controller has run the start-up: the cells, the first game, the caption, the marks.
    Apply(game_.TakeChanges());

    // The client area below the menu bar is exactly the start board with its margin.
    resize(board_->width(), board_->height() + menuBar()->heightForWidth(board_->width()));
    setFocus();
}

void MainWindow::BuildMenu() {
    // The bar stays in the window, whatever global menu the desktop offers. Asked before the
    // bar exists, this also spares the start-up a session-bus connection to look for one.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QMenuBar* bar = menuBar();
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
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            actions_.push_back(menu->menuAction());
            open.push_back(menu);
            continue;
        }
        QAction* action =
            e.IsSeparator() ? open.back()->addSeparator() : open.back()->addAction(caption);
        action->setObjectName(name);
        actions_.push_back(action);
        if (e.shortcut != 0) action->setShortcut(QKeySequence(QtKeyFor(e.shortcut)));
        // Holding F2 must not deal game after game.
        action->setAutoRepeat(false);
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
    else if (changes.relaid)
        board_->Relay();
    board_->Paint(changes.cells);
    for (const MarkChange& m : changes.marks)
        actions_[m.entry]->setChecked(m.checked);
    if (changes.caption) setWindowTitle(QString::fromStdString(game_.Caption()));
    if (changes.close) close();
}

// Auto-repeats arrive here as presses too, and each one turns the piece again.
void MainWindow::keyPressEvent(QKeyEvent* event) {
    const int virtualKey = VirtualKeyFor(event->key());
    if (virtualKey == 0) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    game_.KeyDown(virtualKey);
    Apply(game_.TakeChanges());
}

}  // namespace kov
