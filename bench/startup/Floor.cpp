// The floor of the start-up comparison: what any Qt Widgets game of this kind pays before its
// window appears and when it closes. A main window with a menu bar of three short menus and
// 10 × 9 picture cells of 35 × 35 pixels, all built before show(), closed the ordinary way.
// Nothing of the game is linked. The menus carry the game's Cyrillic captions, so the floor pays
// the same font lookup for those letters that the game's bar does.
#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <array>
#include <cstddef>

namespace {

constexpr int kColumns = 10;
constexpr int kRows = 9;
constexpr int kCell = 35;
constexpr int kMargin = 5;

// Four pipe pieces on grey, drawn once: an end, a straight, a bend and a tee.
std::array<QPixmap, 4> DrawPieces() {
    std::array<QPixmap, 4> pieces;
    const QPointF centre(kCell / 2.0, kCell / 2.0);
    const QPointF up(kCell / 2.0, 0), right(kCell, kCell / 2.0), down(kCell / 2.0, kCell);
    for (std::size_t i = 0; i < pieces.size(); ++i) {
        QPixmap picture(kCell, kCell);
        picture.fill(QColor(0xb4, 0xb4, 0xb4));
        QPainter painter(&picture);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(QColor(0x30, 0x60, 0xc0), 8, Qt::SolidLine, Qt::FlatCap));
        painter.drawLine(centre, up);
        if (i == 1 || i == 3) painter.drawLine(centre, down);
        if (i == 2 || i == 3) painter.drawLine(centre, right);
        if (i == 0) painter.drawEllipse(centre, 7, 7);
        painter.end();
        pieces[i] = picture;
    }
    return pieces;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("floor"));
    for (const char* title : {"Игра", "Настройки", "Помощь"}) {
        QMenu* menu = window.menuBar()->addMenu(QString::fromUtf8(title));
        menu->addAction(QString::fromUtf8("Новая"));
        menu->addAction(QString::fromUtf8("Перемешать"));
    }

    const std::array<QPixmap, 4> pieces = DrawPieces();
    auto* board = new QWidget;
    auto* grid = new QGridLayout(board);
    grid->setSpacing(0);
    grid->setContentsMargins(kMargin, kMargin, kMargin, kMargin);
    for (int i = 0; i < kColumns * kRows; ++i) {
        auto* cell = new QLabel(board);
        cell->setFixedSize(kCell, kCell);
        cell->setPixmap(pieces[static_cast<std::size_t>(i) % pieces.size()]);
        grid->addWidget(cell, i / kColumns, i % kColumns);
    }
    window.setCentralWidget(board);
    window.show();
    return app.exec();
}
