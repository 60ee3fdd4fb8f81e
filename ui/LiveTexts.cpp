#include "LiveTexts.h"

namespace tovrel {
namespace {

using enum LiveText;

constexpr texts::Entry<LiveText> kEntries[] = {
    {Menu, QT_TRANSLATE_NOOP("live", "Рабочая точка")},
    {Follow, QT_TRANSLATE_NOOP("live", "Следить за двигателем")},
    {Trail, QT_TRANSLATE_NOOP("live", "След")},
    {TrailOff, QT_TRANSLATE_NOOP("live", "Без следа")},
    {TrailSeconds, QT_TRANSLATE_NOOP("live", "%1 с")},
};
static_assert(texts::InIdOrder(kEntries), "one entry per id, in the enum's order");

constexpr texts::Catalogue<LiveText> kCatalogue{"live", kEntries};

}  // namespace

const texts::Catalogue<LiveText>& CatalogueOf(LiveText) { return kCatalogue; }

}  // namespace tovrel
