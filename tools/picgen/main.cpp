// picgen: draws the picture set, the window icon, the icon theme's PNGs and the web page's
// maskable icon.
// Usage: picgen <output-folder> [--sheet <png>]
#include <QDir>
#include <QFile>
#include <QImage>
#include <cstdio>

#include "Art.h"
#include "Icon.h"
#include "Sheet.h"
#include "ThemeIcon.h"

namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

}  // namespace

int main(int argc, char** argv) {
    using namespace kov::art;
    QString outDir, sheetPath;
    bool usageError = false;
    for (int i = 1; i < argc && !usageError; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--sheet") && i + 1 < argc)
            sheetPath = QString::fromLocal8Bit(argv[++i]);
        else if (outDir.isEmpty() && !arg.startsWith(QLatin1Char('-')))
            outDir = arg;
        else
            usageError = true;
    }
    if (outDir.isEmpty() || usageError) {
        std::fprintf(stderr, "usage: picgen <output-folder> [--sheet <png>]\n");
        return 2;
    }
    const QDir dir(outDir);
    if (!dir.mkpath(QStringLiteral("pictures"))) {
        std::fprintf(stderr, "picgen: cannot create %s/pictures\n", qPrintable(outDir));
        return 1;
    }
    for (int slot = FirstSlot; slot <= LastSlot; ++slot) {
        if (!HasPicture(slot)) continue;
        const QString path = dir.filePath(QString::fromStdString(PictureFile(slot)));
        if (!DrawPicture(slot).save(path, "BMP")) {
            std::fprintf(stderr, "picgen: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const QString iconPath = dir.filePath(QString::fromLatin1(IconFile));
    if (!WriteFile(iconPath, IcoFile({DrawIcon(IconSizes[0]), DrawIcon(IconSizes[1])}))) {
        std::fprintf(stderr, "picgen: cannot write %s\n", qPrintable(iconPath));
        return 1;
    }
    if (!dir.mkpath(QStringLiteral("icons"))) {
        std::fprintf(stderr, "picgen: cannot create %s/icons\n", qPrintable(outDir));
        return 1;
    }
    for (int side : ThemeIconSizes) {
        const QString path = dir.filePath(ThemeIconFile(side));
        if (!DrawThemeIcon(side).save(path, "PNG")) {
            std::fprintf(stderr, "picgen: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    const QString maskablePath = dir.filePath(QString::fromLatin1(MaskableIconFile));
    if (!DrawMaskableIcon(MaskableIconSide).save(maskablePath, "PNG")) {
        std::fprintf(stderr, "picgen: cannot write %s\n", qPrintable(maskablePath));
        return 1;
    }
    if (!sheetPath.isEmpty() && !ContactSheet().save(sheetPath, "PNG")) {
        std::fprintf(stderr, "picgen: cannot write %s\n", qPrintable(sheetPath));
        return 1;
    }
    return 0;
}
