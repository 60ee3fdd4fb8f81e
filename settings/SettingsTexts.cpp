#include "SettingsTexts.h"

namespace tovrel {
namespace {

using enum SettingsText;

constexpr texts::Entry<SettingsText> kEntries[] = {
    {MonitorIdleCaption, QT_TRANSLATE_NOOP("settings", "Несколько секунд считывать параметры реального времени")},
    {RunningCaption, QT_TRANSLATE_NOOP("settings", "Обязательно!!! Повторно нажмите для завершения считывания перед дальнейшими действиями!!!")},
    {Disconnected, QT_TRANSLATE_NOOP("settings", "Вариатор отключен")},
    {TrackingRuns, QT_TRANSLATE_NOOP("settings", "Чтение параметров реального времени не запущено: сначала завершите фиксацию значений TPS (повторно нажмите кнопку фиксации).")},
    {TrackIdleCaption, QT_TRANSLATE_NOOP("settings", "Начать фиксировать минимальное и максимальное значения. ")},
    {SavingCaption, QT_TRANSLATE_NOOP("settings", "Идёт сохранение...")},
    {SavedMaxCaption, QT_TRANSLATE_NOOP("settings", "Сохранить в энергонезависимую память EEPROM вариатора как значение при максимальной нагрузке.")},
    {SavedMinCaption, QT_TRANSLATE_NOOP("settings", "Сохранить в энергонезависимую память EEPROM вариатора как значение при минимальной нагрузке.")},
    {MonitorRuns, QT_TRANSLATE_NOOP("settings", "Фиксация значений TPS не запущена: сначала завершите чтение параметров реального времени (повторно нажмите кнопку считывания).")},
    {ManualValueFailed, QT_TRANSLATE_NOOP("settings", "SaveADCManualValue: функция UARTdataExchangeForTovrel возвращает неверное значение")},
    {MaxValueFailed, QT_TRANSLATE_NOOP("settings", "SaveADCMaxButtonClick: функция UARTdataExchangeForTovrel возвращает неверное значение")},
    {MinValueFailed, QT_TRANSLATE_NOOP("settings", "SaveADCMinButtonClick: функция UARTdataExchangeForTovrel возвращает неверное значение")},
    {FuelGas, QT_TRANSLATE_NOOP("settings", "ГАЗ")},
    {FuelPetrol, QT_TRANSLATE_NOOP("settings", "БЕНЗИН")},
    {SyncDone, QT_TRANSLATE_NOOP("settings", "ВЫПОЛНЕНА")},
    {SyncMorePulses, QT_TRANSLATE_NOOP("settings", "БОЛЬШЕ ИМПУЛЬСОВ")},
    {SyncFewerPulses, QT_TRANSLATE_NOOP("settings", "МЕНЬШЕ ИМПУЛЬСОВ")},
    {DipSwitchOn, QT_TRANSLATE_NOOP("settings", "Первый микроперключатель включён, поэтому вариатор работает по переключателям, игнорируя внутренние таблицы. Для корректной работы с терминальной программой он должен быть выключен.")},
    {LimitedFirmware, QT_TRANSLATE_NOOP("settings", "Прошивка с ограниченной функциональностью. Требуется обновление.")},
    {FlashAgain, QT_TRANSLATE_NOOP("settings", "Требуется заново обновить прошивку.")},
    {SettingsTab, QT_TRANSLATE_NOOP("settings", "Настройки вариатора")},
    {SettingsBox, QT_TRANSLATE_NOOP("settings", "Настраиваемые параметры, хранящиеся в энергонезависимой памяти вариатора")},
    {ReadButton, QT_TRANSLATE_NOOP("settings", "Чтение параметров из EEPROM вариатора")},
    {WriteButton, QT_TRANSLATE_NOOP("settings", "Сохранение параметров в EEPROM вариатора")},
    {StartTimeoutLabel, QT_TRANSLATE_NOOP("settings", "Время от момента срабатывания газового клапана до включения опережения зажигания, секунд")},
    {StartTimeoutLimit, QT_TRANSLATE_NOOP("settings", "25 секунд - максимум.")},
    {TpsMaxLabel, QT_TRANSLATE_NOOP("settings", "Значение ADC сигнала TPS  при максимальной нагрузке")},
    {TpsMinLabel, QT_TRANSLATE_NOOP("settings", "Значение ADC сигнала TPS  при минимальной нагрузке")},
    {StartTimeoutNotConfirmed, QT_TRANSLATE_NOOP("settings", "время включения опережения")},
    {LogLimit, QT_TRANSLATE_NOOP("settings", "Из вариатора скопировано 9 журналов: следующие журналы в этом сеансе программы не копируются. Чтобы скопировать их, перезапустите программу.")},
    {CorrectionUnchanged, QT_TRANSLATE_NOOP("settings", "%1% Карта углов зависимости от оборотов передаётся без изменения")},
    {CorrectionZero, QT_TRANSLATE_NOOP("settings", "%1% По сигналу TPS углы обнуляем")},
    {CorrectionPositive, QT_TRANSLATE_NOOP("settings", "%1% ")},
    {CorrectionInverted, QT_TRANSLATE_NOOP("settings", "%1% По сигналу TPS ЗНАК ОПЕРЕЖЕНИЯ ИНВЕРТИРОВАН")},
    {AngleAdvance, QT_TRANSLATE_NOOP("settings", "%1 град (опережение зажигания)")},
    {AngleNone, QT_TRANSLATE_NOOP("settings", "%1 град (опережение не вносится)")},
    {AngleRetard, QT_TRANSLATE_NOOP("settings", "%1 град (запаздывание зажигания)")},
    {EngineSpeed, QT_TRANSLATE_NOOP("settings", "%1 об/мин")},
    {DirectoryError, QT_TRANSLATE_NOOP("settings", "Добавление нового каталога вызвало ошибку : %1")},
    {UserLogDirectory, QT_TRANSLATE_NOOP("settings", "Папка программы закрыта для записи, журналы вариатора сохраняются в папке %1")},
    {MapPointsNotConfirmed, QT_TRANSLATE_NOOP("settings", "%1 (%2): точки %3")},
    {WriteNotConfirmedQuestion, QT_TRANSLATE_NOOP("settings", "Вариатор не подтвердил запись: %1. Сохранить параметры в EEPROM всё равно?")},
    {ParametersNotCommitted, QT_TRANSLATE_NOOP("settings", "Параметры не сохранены в EEPROM: вариатор не подтвердил запись (%1).")},
    {LogWriteFailed, QT_TRANSLATE_NOOP("settings", "Не удалось записать файл журнала: %1")},
    {LogCopyFailed, QT_TRANSLATE_NOOP("settings", "Журнал не скопирован: вариатор не ответил на чтение записи журнала. Файл не создан. Журнал № %1")},
};
static_assert(texts::InIdOrder(kEntries), "one entry per id, in the enum's order");

constexpr texts::Catalogue<SettingsText> kCatalogue{"settings", kEntries};

}  // namespace

const texts::Catalogue<SettingsText>& CatalogueOf(SettingsText) { return kCatalogue; }

}  // namespace tovrel
