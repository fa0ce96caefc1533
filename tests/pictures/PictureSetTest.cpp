// The game's view of the set: everything embedded, decoded and in its slot.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QImage>

#include "view/PictureSet.h"

namespace {

class PictureSetTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        static int argc = 1;
        static char name[] = "picture_tests";
        static char* argv[] = {name, nullptr};
        if (!QGuiApplication::instance()) app_ = new QGuiApplication(argc, argv);
    }
    static QGuiApplication* app_;
};
QGuiApplication* PictureSetTest::app_ = nullptr;

TEST_F(PictureSetTest, LoadsEverySlotButOneAndTheIcon) {
    kov::PictureSet set;
    QString error = QStringLiteral("untouched");
    ASSERT_TRUE(set.Load(&error)) << error.toStdString();
    for (int slot = 0; slot <= 96; ++slot) {
        SCOPED_TRACE(slot);
        if (slot == 1) {
            EXPECT_TRUE(set.Img(slot).isNull());
            continue;
        }
        ASSERT_FALSE(set.Img(slot).isNull());
        EXPECT_EQ(set.Img(slot).size(), QSize(35, 35));
    }
    EXPECT_TRUE(set.Img(-1).isNull());
    EXPECT_TRUE(set.Img(97).isNull());
    EXPECT_FALSE(set.Icon().isNull());
}

}  // namespace
