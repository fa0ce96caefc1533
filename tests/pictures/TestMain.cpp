// The picture tests need a QGuiApplication for pixmaps; listing the tests needs none, so the
// build's test discovery runs without a display.
#include <gtest/gtest.h>

#include <QGuiApplication>
#include <memory>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    std::unique_ptr<QGuiApplication> app;
    if (!GTEST_FLAG_GET(list_tests)) app = std::make_unique<QGuiApplication>(argc, argv);
    return RUN_ALL_TESTS();
}
