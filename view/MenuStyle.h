// The style of the game's menus: the application's own, except that a submenu entry's arrow is
// drawn with a palette the style has met before. Qt's styles recolour a copy of the entry's
// palette for every paint of a highlighted submenu entry, and each copy has a new cache key, so
// every such paint left one more arrow in the pixmap cache, never looked up again: about a
// kilobyte each time a menu was walked, until 10 MB of arrow pixels filled the cache.
#pragma once

#include <QPalette>
#include <QProxyStyle>
#include <vector>

namespace kov {

class MenuStyle final : public QProxyStyle {
  public:
    // Over a fresh instance of the application's style; owned by `owner`.
    explicit MenuStyle(QObject* owner);

    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget = nullptr) const override;

  private:
    // An earlier palette with the same colours as `palette`, or `palette` itself, now kept.
    const QPalette& Known(const QPalette& palette) const;

    // A handful at most: an entry plain, highlighted and disabled.
    mutable std::vector<QPalette> known_;
};

}  // namespace kov
