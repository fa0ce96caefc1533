// Start-up: the caption, the marks, the first draw and the client area.
#include <QRegularExpression>
#include <QScrollArea>
#include <QScrollBar>

#include "tests/window/WindowFixture.h"

namespace kov::test {
namespace {

TEST_F(WindowTest, CaptionNamesSizeAndPipesLaid) {
    const QRegularExpression caption(QStringLiteral("^Ковелинт 10x9 - (\\d+)шт\\.$"));
    const QRegularExpressionMatch m = caption.match(w->windowTitle());
    ASSERT_TRUE(m.hasMatch()) << w->windowTitle().toStdString();
    EXPECT_EQ(m.captured(1).toInt(), S().pipeCount);
    EXPECT_GE(S().pipeCount, 1);
    EXPECT_LE(S().pipeCount, S().wantedPipes);
    // Whatever the window system makes of it, nothing is appended to our caption.
    Show();
    EXPECT_EQ(w->windowHandle()->title(), w->windowTitle());
}

TEST_F(WindowTest, FirstDrawAfterSeedingPicksThePipeCount) {
    // floor(r x 8) + 3 over the whole range of r, and exactly the matching item marked.
    const std::pair<float, int> cases[] = {{0.0f, 3}, {0.124f, 3}, {0.5f, 7}, {0.9999f, 10}};
    for (const auto& [r, want] : cases) {
        Start({r});
        EXPECT_EQ(S().wantedPipes, want) << r;
        for (int n = 1; n <= 10; ++n) {
            const QByteArray name = "mnuNum" + QByteArray::number(n);
            EXPECT_EQ(Item(name.constData()).isChecked(), n == want) << name.constData();
        }
        EXPECT_FALSE(Item("mnuNumRND").isChecked());
    }
}

TEST_F(WindowTest, DefaultsAfterStartUp) {
    EXPECT_EQ(S().shortPipes, 1);
    EXPECT_EQ(S().useTees, 1);
    EXPECT_EQ(S().showGrid, 0);
    EXPECT_EQ(S().mapCols, 10);
    EXPECT_EQ(S().mapRows, 9);
    EXPECT_EQ(S().tileSize, 35);
    EXPECT_EQ(S().hoverCell, 0);
    EXPECT_EQ(Board().CellsBuilt(), 90);
    // The first game is drawn before the window shows: every cell shows what it holds.
    for (int n = 1; n <= 90; ++n)
        ASSERT_FALSE(CellChanged(S(), n)) << n;
}

TEST_F(WindowTest, ClientAreaIsTheStartBoardBelowTheMenuBar) {
    Show();
    QWidget* client = w->centralWidget();
    EXPECT_EQ(client->size(), QSize(360, 325));
    EXPECT_EQ(client->geometry().top(), w->menuBar()->geometry().bottom() + 1);
    EXPECT_EQ(w->size(), QSize(360, 325 + w->menuBar()->height()));
    // Nothing to scroll at the start size.
    auto* area = qobject_cast<QScrollArea*>(client);
    ASSERT_NE(area, nullptr);
    EXPECT_FALSE(area->horizontalScrollBar()->isVisible());
    EXPECT_FALSE(area->verticalScrollBar()->isVisible());
}

TEST_F(WindowTest, StartingAndPlayingPrintNothing) {
    TakeMessages();
    Start();
    Show();
    Click(1);
    MoveOver(2);
    Key(Qt::Key_Right);
    for (const char* name : {"mnuNew", "mnuSalat", "mnuNumRND", "mnuMapSize1525", "mnuImgSizeB",
                             "mnuGrid", "mnuHelp1", "mnuMapSize55"})
        Item(name).trigger();
    EXPECT_EQ(TakeMessages(), QStringList());
}

}  // namespace
}  // namespace kov::test
