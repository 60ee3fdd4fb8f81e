#include "AppTexts.h"

namespace tovrel {
namespace {

using enum AppText;

constexpr texts::Entry<AppText> kEntries[] = {
    {StartReadConfiguration, QT_TRANSLATE_NOOP("app", "Подключиться и считать конфигурацию из вариатора.")},
    {StartWithoutReading, QT_TRANSLATE_NOOP("app", "Подключиться не считывая конфигурацию.")},
    {StartFirmwareUpdate, QT_TRANSLATE_NOOP("app", "Подключиться для обновления прошивки варитора. Включить звуковой сигнал.")},
    {UnknownOption, QT_TRANSLATE_NOOP("app", "Несуществующая опция. ")},
    {PortLabel, QT_TRANSLATE_NOOP("app", "COM порт")},
    {ProgressLabel, QT_TRANSLATE_NOOP("app", "Процесс обмена данными")},
};
static_assert(texts::InIdOrder(kEntries), "one entry per id, in the enum's order");

constexpr texts::Catalogue<AppText> kCatalogue{"app", kEntries};

}  // namespace

const texts::Catalogue<AppText>& CatalogueOf(AppText) { return kCatalogue; }

}  // namespace tovrel
