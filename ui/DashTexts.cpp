#include "DashTexts.h"

namespace tovrel {
namespace {

using enum DashText;

constexpr texts::Entry<DashText> kEntries[] = {
    {Title, QT_TRANSLATE_NOOP("dash", "Панель приборов")},
    {ViewMenu, QT_TRANSLATE_NOOP("dash", "Вид")},
    {EngineSpeed, QT_TRANSLATE_NOOP("dash", "Обороты")},
    {Throttle, QT_TRANSLATE_NOOP("dash", "Дроссель")},
    {Advance, QT_TRANSLATE_NOOP("dash", "Угол опережения")},
    {Fuel, QT_TRANSLATE_NOOP("dash", "Топливо")},
    {Synchronisation, QT_TRANSLATE_NOOP("dash", "Синхронизация")},
    {CpuTemperature, QT_TRANSLATE_NOOP("dash", "Температура процессора")},
    {EngineSpeedValue, QT_TRANSLATE_NOOP("dash", "%1 об/мин")},
    {ThrottleValue, QT_TRANSLATE_NOOP("dash", "%1 %")},
    {AdvanceValue, QT_TRANSLATE_NOOP("dash", "%1°")},
    {TemperatureValue, QT_TRANSLATE_NOOP("dash", "%1 °C")},
    {Gas, QT_TRANSLATE_NOOP("dash", "ГАЗ")},
    {Petrol, QT_TRANSLATE_NOOP("dash", "БЕНЗИН")},
    {Synchronised, QT_TRANSLATE_NOOP("dash", "есть")},
    {NotSynchronised, QT_TRANSLATE_NOOP("dash", "нет")},
    {StartMonitor, QT_TRANSLATE_NOOP("dash", "Старт монитора")},
    {StopMonitor, QT_TRANSLATE_NOOP("dash", "Стоп монитора")},
    {Continuous, QT_TRANSLATE_NOOP("dash", "Непрерывно")},
    {StartRecording, QT_TRANSLATE_NOOP("dash", "Запись (Ctrl+L)")},
    {StopRecording, QT_TRANSLATE_NOOP("dash", "Остановить запись (Ctrl+L)")},
    {RecordItem, QT_TRANSLATE_NOOP("dash", "Записывать проходы монитора")},
    {OpenRecording, QT_TRANSLATE_NOOP("dash", "Открыть запись...")},
    {OpenRecordingItem, QT_TRANSLATE_NOOP("dash", "Воспроизвести запись...")},
    {OpenTitle, QT_TRANSLATE_NOOP("dash", "Открыть запись монитора")},
    {FileFilter, QT_TRANSLATE_NOOP("dash", "Записи монитора (*.csv);;Все файлы (*)")},
    {RecordingStarted, QT_TRANSLATE_NOOP("dash", "Запись в %1")},
    {RecordingStopped, QT_TRANSLATE_NOOP("dash", "Запись остановлена, строк: %1 (%2)")},
    {RecordingWriteFailed, QT_TRANSLATE_NOOP("dash", "Запись остановлена: не удалось записать в %1. Сохранено строк: %2")},
    {RecordingNotStarted, QT_TRANSLATE_NOOP("dash", "Запись не начата: %1")},
    {Marker, QT_TRANSLATE_NOOP("dash", "Метка на %1 мс")},
    {MonitorDuringPlayback, QT_TRANSLATE_NOOP("dash", "Идёт воспроизведение записи: остановите его, чтобы запустить монитор")},
    {PlaybackDuringMonitor, QT_TRANSLATE_NOOP("dash", "Работает монитор: остановите его, чтобы воспроизвести запись")},
    {OpenFailed, QT_TRANSLATE_NOOP("dash", "Запись не открыта: %1")},
    {FirstBadLine, QT_TRANSLATE_NOOP("dash", "%1: строка %2 не прочитана (%3)")},
    {Opened, QT_TRANSLATE_NOOP("dash", "%1: проходов %2")},
    {Play, QT_TRANSLATE_NOOP("dash", "Пуск")},
    {Pause, QT_TRANSLATE_NOOP("dash", "Пауза")},
    {StepBack, QT_TRANSLATE_NOOP("dash", "<")},
    {StepForward, QT_TRANSLATE_NOOP("dash", ">")},
    {Position, QT_TRANSLATE_NOOP("dash", "%1 / %2")},
    {ClosePlayback, QT_TRANSLATE_NOOP("dash", "Закрыть запись")},
    {ChartEngineSpeed, QT_TRANSLATE_NOOP("dash", "Обороты, об/мин")},
    {ChartThrottle, QT_TRANSLATE_NOOP("dash", "Дроссель, %")},
    {ChartAdvance, QT_TRANSLATE_NOOP("dash", "Угол, °")},
    {ChartMapValue, QT_TRANSLATE_NOOP("dash", "Карта, °")},
    {ChartSeconds, QT_TRANSLATE_NOOP("dash", "с")},
};
static_assert(texts::InIdOrder(kEntries), "one entry per id, in the enum's order");

constexpr texts::Catalogue<DashText> kCatalogue{"dash", kEntries};

}  // namespace

const texts::Catalogue<DashText>& CatalogueOf(DashText) { return kCatalogue; }

}  // namespace tovrel
