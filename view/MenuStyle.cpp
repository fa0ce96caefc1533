#include "view/MenuStyle.h"

#include <QApplication>
#include <QStyleFactory>
#include <QStyleOptionMenuItem>

namespace kov {

namespace {
// Beyond this the palettes are not the few of a menu; the oldest goes.
constexpr std::size_t MaxKnown = 8;
}  // namespace

MenuStyle::MenuStyle(QObject* owner)
    : QProxyStyle(QStyleFactory::create(QApplication::style()->name())) {
    setParent(owner);
}

const QPalette& MenuStyle::Known(const QPalette& palette) const {
    // Equal colours, whatever the copy: the style's cache key follows the palette's identity.
    for (const QPalette& known : known_)
        if (known == palette) return known;
    if (known_.size() == MaxKnown) known_.erase(known_.begin());
    known_.push_back(palette);
    return known_.back();
}

void MenuStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const {
    const auto* item = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
    if (item == nullptr ||
        (element != PE_IndicatorArrowRight && element != PE_IndicatorArrowLeft)) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    QStyleOptionMenuItem same = *item;
    same.palette = Known(item->palette);
    // The colour group belongs to this copy, not to the shared colours.
    same.palette.setCurrentColorGroup(item->palette.currentColorGroup());
    QProxyStyle::drawPrimitive(element, &same, painter, widget);
}

}  // namespace kov
