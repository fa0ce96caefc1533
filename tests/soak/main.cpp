// soak_test: the real window under a seeded stream of random events, checked after each.
// KOVELINT_SOAK_EVENTS sets the number of events (20000), KOVELINT_SOAK_SEED the seed (1);
// KOVELINT_SOAK_MEMORY runs the long run of re-lays with its memory figures instead.
#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>

#include "app/MainWindow.h"
#include "generator/Random.h"
#include "tests/soak/Soak.h"
#include "view/PictureSet.h"

namespace {

long messages = 0;

// Anything Qt or the game warns about counts as an error of the run. The offscreen plugin's
// note that it cannot size a window from hints is about the platform, not the game.
void Record(QtMsgType type, const QMessageLogContext&, const QString& text) {
    if (type == QtDebugMsg || type == QtInfoMsg) return;
    if (text.contains(QLatin1String("propagateSizeHints"))) return;
    ++messages;
    std::fprintf(stderr, "Qt says: %s\n", qPrintable(text));
}

long EnvNumber(const char* name, long fallback) {
    const QByteArray v = qgetenv(name);
    bool ok = false;
    const long n = v.toLong(&ok);
    return ok ? n : fallback;
}

// Peak resident memory of this process, from the kernel.
std::string PeakMemory() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0) return line.substr(6);
    return "?";
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    // A runtime folder of our own (made 0700), so Qt has one and nothing touches the user's.
    QTemporaryDir runtime;
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(runtime.path()));
    qInstallMessageHandler(Record);
    QApplication app(argc, argv);
    const long events = EnvNumber("KOVELINT_SOAK_EVENTS", 20000);
    const auto seed = static_cast<std::uint32_t>(EnvNumber("KOVELINT_SOAK_SEED", 1));

    kov::PictureSet pictures;
    QString error;
    if (!pictures.Load(&error)) {
        std::fprintf(stderr, "soak: %s\n", qPrintable(error));
        return 1;
    }
    kov::soak::Figures figures;
    double seconds = 0;
    {
        auto source = std::make_unique<kov::soak::CountingRandom>(seed);
        const kov::soak::CountingRandom& rng = *source;
        kov::MainWindow window(pictures, std::move(source));
        window.show();
        window.activateWindow();
        if (!QTest::qWaitForWindowActive(&window, 20000)) {
            std::fprintf(stderr, "soak: the window never became active\n");
            return 1;
        }
        if (!qEnvironmentVariableIsEmpty("KOVELINT_SOAK_MEMORY")) {
            const bool flat = kov::soak::MemoryStaysFlat(window);
            return flat && messages == 0 ? 0 : 1;
        }
        kov::soak::Soak soak(window, pictures, rng, seed);
        const auto start = std::chrono::steady_clock::now();
        soak.Limit(events);
        long report = 100000;
        while (soak.Result().events < events) {
            soak.Step();
            if (soak.Result().events >= report) {
                std::fprintf(stderr, "soak: %ld events, %ld errors\n", soak.Result().events,
                             soak.Result().errors);
                report += 100000;
            }
        }
        seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        figures = soak.Result();
    }
    QApplication::processEvents();

    const long errors = figures.errors + messages;
    std::printf(
        "soak: seed %u, %ld events in %.1f s (%.0f events/s), %ld new games, %ld turns refused "
        "on solved boards, peak memory%s\n",
        seed, figures.events, seconds, figures.events / seconds, figures.newGames,
        figures.refusedOnSolved, PeakMemory().c_str());
    std::printf("soak: %ld errors\n", errors);
    return errors == 0 ? 0 : 1;
}
