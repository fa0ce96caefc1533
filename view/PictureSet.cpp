#include "view/PictureSet.h"

#include <QByteArray>
#include <QImage>
#include <QResource>

#include "assets/PictureDecode.h"
#include "assets/PictureNames.h"

namespace kov {

namespace {

// Embedded by assets/CMakeLists.txt under this prefix, uncompressed.
const QString Prefix = QStringLiteral(":/kovelint/");

// The embedded bytes of a resource, read in place; empty when it is not in the build.
QByteArray ResourceBytes(const QString& path) {
    const QResource res(path);
    if (!res.isValid()) return {};
    if (res.compressionAlgorithm() != QResource::NoCompression) return res.uncompressedData();
    return QByteArray::fromRawData(reinterpret_cast<const char*>(res.data()),
                                   static_cast<qsizetype>(res.size()));
}

}  // namespace

bool PictureSet::Load(QString* error) {
    auto fail = [error](const QString& what) {
        if (error) *error = what;
        return false;
    };
    for (int slot = art::FirstSlot; slot <= art::LastSlot; ++slot) {
        if (!art::HasPicture(slot)) continue;
        const QString name = QString::fromStdString(art::PictureFile(slot));
        const QByteArray bytes = ResourceBytes(Prefix + name);
        if (bytes.isEmpty())
            return fail(
                QStringLiteral("picture %1 (%2) is missing from the build").arg(slot).arg(name));
        QString why;
        if (!art::CheckPicture(bytes, &why))
            return fail(
                QStringLiteral("picture %1 (%2) is malformed: %3").arg(slot).arg(name, why));
        files_[static_cast<std::size_t>(slot)] = bytes;
    }
    const QString iconName = QString::fromLatin1(art::IconFile);
    const QByteArray iconBytes = ResourceBytes(Prefix + iconName);
    if (iconBytes.isEmpty())
        return fail(QStringLiteral("icon %1 is missing from the build").arg(iconName));
    QIcon icon;
    QString why;
    if (!art::DecodeIcon(iconBytes, &icon, &why))
        return fail(QStringLiteral("icon %1 is malformed: %2").arg(iconName, why));
    icon_ = icon;
    return true;
}

const QPixmap& PictureSet::Picture(int slot) const {
    if (!art::HasPicture(slot)) return pictures_[1];
    const auto at = static_cast<std::size_t>(slot);
    QPixmap& picture = pictures_[at];
    if (picture.isNull() && !files_[at].isEmpty()) {
        QString unused;  // checked by Load
        picture = QPixmap::fromImage(art::DecodePicture(files_[at], &unused));
    }
    return picture;
}

const QIcon& PictureSet::Icon() const {
    return icon_;
}

}  // namespace kov
