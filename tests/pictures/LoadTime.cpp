// Times PictureSet::Load in a fresh process, as at start-up, and prints microseconds.
// Usage: QT_QPA_PLATFORM=offscreen picture_load_time   (run it several times for a median)
#include <QGuiApplication>
#include <chrono>
#include <cstdio>

#include "view/PictureSet.h"

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    kov::PictureSet set;
    QString error;
    const auto start = std::chrono::steady_clock::now();
    const bool ok = set.Load(&error);
    const auto end = std::chrono::steady_clock::now();
    if (!ok) {
        std::fprintf(stderr, "%s\n", qPrintable(error));
        return 1;
    }
    std::printf("%lld\n",
                static_cast<long long>(
                    std::chrono::duration_cast<std::chrono::microseconds>(end - start).count()));
    return 0;
}
