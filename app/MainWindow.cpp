#include "app/frmMain.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QScrollArea>

#include "app/Keys.h"
#include "app/MenuTable.h"
#include "play/Play.h"
#include "view/BoardView.h"
#include "view/PictureSet.h"

namespace kov {

frmMain::frmMain(const PictureSet& cnImg, RandomSource& rng, QWidget* parent)
    : QMainWindow(parent), cnImg_(cnImg), rng_(rng) {
    setWindowIcon(cnImg_.Icon());
    // The window itself owns the keys; nothing inside it takes focus and eats the arrows.
    setFocusPolicy(Qt::StrongFocus);
    setContextMenuPolicy(Qt::PreventContextMenu);
    BuildMenu();

    board_ = new BoardView(s_, cnImg_);
    scroller_ = new QScrollArea(this);
    scroller_->setFrameShape(QFrame::NoFrame);
    scroller_->setFocusPolicy(Qt::NoFocus);
    scroller_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroller_->viewport()->setPalette(board_->palette());
    scroller_->setWidget(board_);
    setCentralWidget(scroller_);

    connect(board_, &BoardView::cellClicked, this, &frmMain::Img_Click);
    connect(board_, &BoardView::cellDoubleClicked, this, &frmMain::Img_DblClick);
    connect(board_, &BoardView::cellMouseMoved, this, &frmMain::Img_MouseMove);

    Form_Load();

    // The client area below the menu bar is exactly the start board with its margin.
    resize(board_->width(), board_->height() + menuBar()->heightForWidth(board_->width()));
    setFocus();
}

void frmMain::BuildMenu() {
    // The bar stays in the window, whatever global menu the desktop offers. Asked before the
    // bar exists, this also spares the start-up a session-bus connection to look for one.
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeMenuBar);
    QMenuBar* bar = menuBar();
    const std::span<const MenuEntry> table = MenuTable();
    std::vector<QMenu*> open;  // open[d]: the menu that takes the entries of depth d + 1
    for (std::size_t i = 0; i < table.size(); ++i) {
        const MenuEntry& e = table[i];
        const QString name = QString::fromLatin1(e.name);
        const QString caption = QString::fromUtf8(e.caption);
        open.resize(static_cast<std::size_t>(e.depth));
        if (i + 1 < table.size() && table[i + 1].depth > e.depth) {
            QMenu* menu = open.empty() ? bar->addMenu(caption) : open.back()->addMenu(caption);
            // A menu closed with Esc leaves the bar in keyboard mode, where the arrows would
            // walk the menus; the board takes the keys back once the menu has gone.
            if (open.empty())
                connect(menu, &QMenu::aboutToHide, this, &frmMain::TakeKeysBack,
                        Qt::QueuedConnection);
            menu->setObjectName(name);
            menu->menuAction()->setObjectName(name);
            open.push_back(menu);
            continue;
        }
        QAction* action = caption == QLatin1String("-") ? open.back()->addSeparator()
                                                        : open.back()->addAction(caption);
        action->setObjectName(name);
        if (e.key != 0) action->setShortcut(QKeySequence(e.key));
        // Holding F2 must not deal game after game.
        action->setAutoRepeat(false);
        action->setCheckable(e.checkable);
        action->setChecked(e.markedAtStart);
        if (e.run == nullptr) continue;
        connect(action, &QAction::triggered, this, [this, action, run = e.run] {
            // Qt has already flipped the mark; the handlers set their marks themselves, in
            // their own order, so the flip is taken back first.
            if (action->isCheckable()) action->setChecked(!action->isChecked());
            run(*this);
        });
    }
    for (int n = 1; n <= MaxPipes; ++n)
        mnuNum_[static_cast<std::size_t>(n)] = &Item(qPrintable(QStringLiteral("mnuNum%1").arg(n)));
    for (const BoardSize& size : BoardSizes) {
        const QString name = QStringLiteral("mnuMapSize%1%2").arg(size.rows).arg(size.cols);
        mnuMapSize_.append(&Item(qPrintable(name)));
    }
}

void frmMain::TakeKeysBack() {
    if (QApplication::activePopupWidget() == nullptr && menuBar()->hasFocus()) setFocus();
}

QAction& frmMain::Item(const char* name) const {
    QAction* action = menuBar()->findChild<QAction*>(QLatin1String(name));
    Q_ASSERT(action != nullptr);
    return *action;
}

// The instance check and the seeding have run before the window was made.
void frmMain::Form_Load() {
    s_.shortPipes = 1;
    PickRandomPipeCount();
    s_.useTees = 1;
    s_.mapRows = 9;
    s_.mapCols = 10;
    s_.tileSize = 35;
    board_->BuildTileGrid();
    mnuNew_Click();
}

void frmMain::mnuNew_Click() {
    NewGameModel(s_, rng_);
    board_->RenderBoard();
    UpdateCaption();
}

void frmMain::mnuSalat_Click() {
    RescrambleModel(s_, rng_);
    board_->RenderBoard();
    UpdateCaption();
}

void frmMain::UpdateCaption() {
    setWindowTitle(QStringLiteral("Ковелинт ") + QString::number(s_.mapCols) + u'x' +
                   QString::number(s_.mapRows) + QStringLiteral(" - ") +
                   QString::number(s_.pipeCount) + QStringLiteral("шт."));
}

void frmMain::Img_Click(int n) {
    if (TurnCell(s_, n, true)) board_->RenderBoard();
}

void frmMain::Img_DblClick(int n) {
    Img_Click(n);
}

void frmMain::Img_MouseMove(int n) {
    s_.hoverCell = static_cast<Int16>(n);
}

void frmMain::Form_KeyDown(int virtualKey) {
    switch (KeyDown(s_, virtualKey)) {
        case KeyResult::Close:
            close();
            break;
        case KeyResult::Turned:
            board_->RenderBoard();
            break;
        case KeyResult::Ignored:
            break;
    }
}

// Auto-repeats arrive here as presses too, and each one turns the piece again.
void frmMain::keyPressEvent(QKeyEvent* event) {
    const int virtualKey = VirtualKeyFor(event->key());
    if (virtualKey == 0) {
        QMainWindow::keyPressEvent(event);
        return;
    }
    Form_KeyDown(virtualKey);
}

}  // namespace kov
