#include "ViewerTexts.h"

namespace tovrel {
namespace {

using enum ViewerText;

constexpr texts::Entry<ViewerText> kEntries[] = {
    {MenuItem, QT_TRANSLATE_NOOP("viewer", "Просмотр записей и журналов...")},
    {Title, QT_TRANSLATE_NOOP("viewer", "Просмотр записей и журналов")},
    {Open, QT_TRANSLATE_NOOP("viewer", "Открыть...")},
    {OpenTitle, QT_TRANSLATE_NOOP("viewer", "Открыть запись или журнал вариатора")},
    {OpenFilter, QT_TRANSLATE_NOOP("viewer", "Записи и журналы (*.csv LOG_*.txt);;Все файлы (*)")},
    {Export, QT_TRANSLATE_NOOP("viewer", "Сохранить PNG...")},
    {ExportTitle, QT_TRANSLATE_NOOP("viewer", "Сохранить рисунки в PNG")},
    {ExportFilter, QT_TRANSLATE_NOOP("viewer", "Рисунки PNG (*.png)")},
    {Exported, QT_TRANSLATE_NOOP("viewer", "Рисунки сохранены: %1")},
    {ExportFailed, QT_TRANSLATE_NOOP("viewer", "Не удалось сохранить %1")},
    {Reading, QT_TRANSLATE_NOOP("viewer", "Чтение %1...")},
    {Refused, QT_TRANSLATE_NOOP("viewer", "Файл не открыт: %1")},
    {FirstBadLine, QT_TRANSLATE_NOOP("viewer", "Строка %1 не прочитана (%2), показано то, что прочитано")},
    {ShownRecording, QT_TRANSLATE_NOOP("viewer", "%1: %2 проходов")},
    {ShownDeviceLog, QT_TRANSLATE_NOOP("viewer", "%1: %2 записей журнала")},
    {SyncFilter, QT_TRANSLATE_NOOP("viewer", "Синхронизация:")},
    {SyncAll, QT_TRANSLATE_NOOP("viewer", "все проходы")},
    {SyncOnly, QT_TRANSLATE_NOOP("viewer", "только с синхронизацией")},
    {FuelFilter, QT_TRANSLATE_NOOP("viewer", "Топливо:")},
    {FuelBoth, QT_TRANSLATE_NOOP("viewer", "газ и бензин")},
    {FuelGas, QT_TRANSLATE_NOOP("viewer", "газ")},
    {FuelPetrol, QT_TRANSLATE_NOOP("viewer", "бензин")},
    {AxisTime, QT_TRANSLATE_NOOP("viewer", "Время, с")},
    {AxisEntry, QT_TRANSLATE_NOOP("viewer", "Номер записи")},
    {AxisEngineSpeed, QT_TRANSLATE_NOOP("viewer", "Обороты, об/мин")},
    {AxisThrottle, QT_TRANSLATE_NOOP("viewer", "Дроссель, %")},
    {AxisAdvance, QT_TRANSLATE_NOOP("viewer", "УОЗ, °")},
    {AxisSyncFuel, QT_TRANSLATE_NOOP("viewer", "Синхр. / газ")},
    {SeriesApplied, QT_TRANSLATE_NOOP("viewer", "УОЗ вариатора")},
    {SeriesMapValue, QT_TRANSLATE_NOOP("viewer", "Значение карты")},
    {SeriesSync, QT_TRANSLATE_NOOP("viewer", "Синхронизация")},
    {SeriesGas, QT_TRANSLATE_NOOP("viewer", "На газе")},
    {ScatterTitle, QT_TRANSLATE_NOOP("viewer", "Обороты и УОЗ над картой: %1")},
    {SeriesMap, QT_TRANSLATE_NOOP("viewer", "Карта")},
    {SeriesPasses, QT_TRANSLATE_NOOP("viewer", "Проходы")},
    {HistogramAxis, QT_TRANSLATE_NOOP("viewer", "Время в точке, с")},
};
static_assert(texts::InIdOrder(kEntries), "one entry per id, in the enum's order");

constexpr texts::Catalogue<ViewerText> kCatalogue{"viewer", kEntries};

}  // namespace

const texts::Catalogue<ViewerText>& CatalogueOf(ViewerText) { return kCatalogue; }

}  // namespace tovrel
