#include "RestoreTexts.h"

namespace tovrel {
namespace {

using enum RestoreText;

constexpr texts::Entry<RestoreText> kEntries[] = {
    {NotThisProgram, QT_TRANSLATE_NOOP("restore", "Файл %1 создан другой программой: корневой элемент \"%2\" вместо \"variator60_2\".")},
    {PointRefused, QT_TRANSLATE_NOOP("restore", "%1\nТочка восстановления не принята, ничего не записано.")},
    {PointSaveFailed, QT_TRANSLATE_NOOP("restore", "Не удалось сохранить точку восстановления в папке %1: %2")},
    {CommitStopped, QT_TRANSLATE_NOOP("restore", "Запись в EEPROM не выполнена: без точки восстановления изменения остались только в рабочей памяти вариатора.")},
    {FileLoadStopped, QT_TRANSLATE_NOOP("restore", "Файл не загружен: без точки восстановления карты остались прежними.")},
    {RestoreStopped, QT_TRANSLATE_NOOP("restore", "Восстановление не выполнено: без точки восстановления карты остались прежними.")},
    {FlashStopped, QT_TRANSLATE_NOOP("restore", "Обновление прошивки не начато: резервная копия конфигурации не сохранена, вариатор не переключался.")},
    {BackupReadFailedQuestion, QT_TRANSLATE_NOOP("restore", "Не удалось прочитать конфигурацию вариатора для резервной копии перед обновлением прошивки. Обновить прошивку без резервной копии?")},
    {BackupSaved, QT_TRANSLATE_NOOP("restore", "Резервная копия конфигурации перед обновлением прошивки: %1")},
    {NoteCommit, QT_TRANSLATE_NOOP("restore", "при записи в EEPROM")},
    {NoteFileLoad, QT_TRANSLATE_NOOP("restore", "перед загрузкой файла %1")},
    {NoteRestore, QT_TRANSLATE_NOOP("restore", "перед восстановлением из %1")},
    {NoteFirmwareUpdate, QT_TRANSLATE_NOOP("restore", "перед обновлением прошивки")},
    {UpdateSucceededAt, QT_TRANSLATE_NOOP("restore", "%1: прошивка обновлена успешно.")},
    {UpdateFailedAt, QT_TRANSLATE_NOOP("restore", "%1: прошивка не обновлена.")},
    {RestoreOfferQuestion, QT_TRANSLATE_NOOP("restore", "%1 Конфигурация вариатора отличается от резервной копии %2:\n%3\nВосстановить её из резервной копии?")},
    {RestoreDone, QT_TRANSLATE_NOOP("restore", "Конфигурация восстановлена из %1 и записана в EEPROM.")},
    {RestoreMismatch, QT_TRANSLATE_NOOP("restore", "После восстановления конфигурация вариатора всё ещё отличается от %1:\n%2")},
    {MapSummary, QT_TRANSLATE_NOOP("restore", "%1: отличаются точек: %2, наибольшая разница %3, средняя %4")},
    {ParameterSummary, QT_TRANSLATE_NOOP("restore", "%1: %2 и %3")},
    {ParameterMissing, QT_TRANSLATE_NOOP("restore", "нет")},
    {StartTimeoutName, QT_TRANSLATE_NOOP("restore", "Время задержки старта")},
    {TpsMinimumName, QT_TRANSLATE_NOOP("restore", "АЦП ДПДЗ при минимальной нагрузке")},
    {TpsMaximumName, QT_TRANSLATE_NOOP("restore", "АЦП ДПДЗ при максимальной нагрузке")},
    {NoDifference, QT_TRANSLATE_NOOP("restore", "Отличий нет.")},
    {ThrottlePointsNotWritten, QT_TRANSLATE_NOOP("restore", "Восстановление остановлено: вариатор не подтвердил точки ДПДЗ, в EEPROM ничего не записано.")},
    {CompareResult, QT_TRANSLATE_NOOP("restore", "Сравнение с %1:\n%2")},
    {TakeTheirsMapQuestion, QT_TRANSLATE_NOOP("restore", "Взять карту «%1» из %2?")},
    {TakeTheirsParameterQuestion, QT_TRANSLATE_NOOP("restore", "Взять «%1» = %2 из %3?")},
    {DeviceSide, QT_TRANSLATE_NOOP("restore", "вариатор")},
    {DeviceReadFailed, QT_TRANSLATE_NOOP("restore", "Конфигурацию вариатора прочитать не удалось: сравнение не выполнено.")},
    {RestoreQuestion, QT_TRANSLATE_NOOP("restore", "Записать конфигурацию из %1 в вариатор и в EEPROM?")},
};
static_assert(texts::InIdOrder(kEntries), "one entry per id, in the enum's order");

constexpr texts::Catalogue<RestoreText> kCatalogue{"restore", kEntries};

}  // namespace

const texts::Catalogue<RestoreText>& CatalogueOf(RestoreText) { return kCatalogue; }

}  // namespace tovrel
