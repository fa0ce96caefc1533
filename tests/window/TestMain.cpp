// The window tests share one application on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "tests/window/WindowFixture.h"

namespace kov::test {

const PictureSet& Pictures() {
    static const PictureSet set = [] {
        PictureSet s;
        QString error;
        if (!s.Load(&error)) ADD_FAILURE() << error.toStdString();
        return s;
    }();
    return set;
}

}  // namespace kov::test

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return RUN_ALL_TESTS();
}
