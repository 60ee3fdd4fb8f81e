#include "OscilloscopeTexts.h"

namespace tovrel {
namespace {

using enum OscilloscopeText;

constexpr texts::Entry<OscilloscopeText> kEntries[] = {
    {ButtonCaption, QT_TRANSLATE_NOOP("oscilloscope", "Подключить к вариатору и отобразить осциллограмму")},
    {ButtonBusyCaption, QT_TRANSLATE_NOOP("oscilloscope", "Идёт запись осциллограммы, ожидайте")},
    {Starting, QT_TRANSLATE_NOOP("oscilloscope", "Приступаем к записи осциллограмм. Процесс длится около минуты.")},
    {NeedsOscilloscopeFirmware, QT_TRANSLATE_NOOP("oscilloscope", "Вариатор необходимо обновить прошивкой осциллографа.")},
    {NotConnected, QT_TRANSLATE_NOOP("oscilloscope", "Вариатор не подключен.")},
    {RequestSent, QT_TRANSLATE_NOOP("oscilloscope", "Отправили запрос вариатору, 60 секунд ждём поступление первого импульса.")},
    {DataArriving, QT_TRANSLATE_NOOP("oscilloscope", "Данные от вариатора поступают. Ждите окончания записи.")},
    {StreamStopped, QT_TRANSLATE_NOOP("oscilloscope", "Вариатор прекратил отправку данных")},
    {FinishedByDevice, QT_TRANSLATE_NOOP("oscilloscope", "Запись оциллограммы завершена вариатором.")},
    {Finished, QT_TRANSLATE_NOOP("oscilloscope", "Запись оциллограммы завершена.")},
    {Cancelled, QT_TRANSLATE_NOOP("oscilloscope", "Запись осциллограммы отменена.")},
    {InitialisationSilent, QT_TRANSLATE_NOOP("oscilloscope", "Вариатор 60 секунд не присылает кадров инициализации. Запись осциллограммы прервана.")},
    {LineNotQuiet, QT_TRANSLATE_NOOP("oscilloscope", "Вариатор не прекращает передачу данных. Запись осциллограммы прервана.")},
    {LineLost, QT_TRANSLATE_NOOP("oscilloscope", "Связь с вариатором потеряна. Запись осциллограммы прервана.")},
    {Memo1, QT_TRANSLATE_NOOP("oscilloscope", "1.1. При равномерной работе двигателя на холостом ходу, нажмите на кнопку \"Подключить к вариатору и отобразить ")},
    {Memo2, QT_TRANSLATE_NOOP("oscilloscope", "осциллограмму\" для записи осциллограммы в файл \"signal.txt\", находящийся в той же директории, что и файл ")},
    {Memo3, QT_TRANSLATE_NOOP("oscilloscope", "терминальной программы. По окончании записи двигатель может заглохнуть. ")},
    {MemoOptional, QT_TRANSLATE_NOOP("oscilloscope", "       ---------  Дополнительно (необязательно):  -----------")},
    {Memo6, QT_TRANSLATE_NOOP("oscilloscope", "1.1. Заглушите двигатель. (Питание на вариатор не должно пропадать, иначе подключиться к вариатору будет невозможно).")},
    {Memo7, QT_TRANSLATE_NOOP("oscilloscope", "1.1. Выберите опцию \"32 bit mode\" в правом нижнем углу, установив соответствующую галочку.")},
    {Memo8, QT_TRANSLATE_NOOP("oscilloscope", "1.1. Нажмите на кнопку \"Подключить к вариатору и отобразить осциллограмму\". ")},
    {Memo9, QT_TRANSLATE_NOOP("oscilloscope", "1.2. Запустите двигатель. ")},
    {Memo10, QT_TRANSLATE_NOOP("oscilloscope", "1.3. Дождитесь окончания записи. Двигатель при этом может заглохнуть. Если нет, заглушите двигатель. ")},
    {Memo11, QT_TRANSLATE_NOOP("oscilloscope", "1.4. Переименуйте файл осциллограммы \"signal32.txt\" в файл \"start.signal32.txt\".")},
    {Memo14, QT_TRANSLATE_NOOP("oscilloscope", "2.1. Повторно запустите двигатель.")},
    {Memo15, QT_TRANSLATE_NOOP("oscilloscope", "Выберите опцию \"32 bit mode\" в правом нижнем углу, установив соответствующую галочку.")},
    {Memo16, QT_TRANSLATE_NOOP("oscilloscope", "2.2. При равномерной работе двигателя на холостых оборатах, нажмите на кнопку \"подключить к вариатору и ")},
    {Memo17, QT_TRANSLATE_NOOP("oscilloscope", "отобразить осциллограмму\".   ")},
    {Memo18, QT_TRANSLATE_NOOP("oscilloscope", "2.3. По окончанию записи, осциллограмма будет сохранена в файле signal32.txt.")},
    {Memo21, QT_TRANSLATE_NOOP("oscilloscope", "для детального анализа.")},
    {Memo4, QT_TRANSLATE_NOOP("oscilloscope", "1.2. Отправьте файл \"signal.txt\" на адрес %1 для детального анализа.")},
    {Memo20, QT_TRANSLATE_NOOP("oscilloscope", "Отправьте файлы \"signal.txt\", \"start.signal32.txt\" и signal32.txt на адрес %1")},
    {InitialisationStep, QT_TRANSLATE_NOOP("oscilloscope", "Прошли %1 шаг инициализации. Ожидайте...")},
    {FinalInitialisationStep, QT_TRANSLATE_NOOP("oscilloscope", "Финально прошли %1 шаг инициализации. Ожидайте...")},
    {WrongMarker, QT_TRANSLATE_NOOP("oscilloscope", "Байт принят неверно. Должен быть 0xAA, а приняли: %1 !!!")},
    {Recorded, QT_TRANSLATE_NOOP("oscilloscope", "Записали %1 периодов осциллограммы. Ждите окончания записи.")},
    {RecordFileFailed, QT_TRANSLATE_NOOP("oscilloscope", "Не удалось записать файл осциллограммы \"%1\": %2. Запись осциллограммы прервана, прежний файл не изменён.")},
    {ModeLabel, QT_TRANSLATE_NOOP("oscilloscope", "Опция \"32 bit mode\" определяет  режим записи осциллограммы. %1")},
};
static_assert(texts::InIdOrder(kEntries), "one entry per id, in the enum's order");

constexpr texts::Catalogue<OscilloscopeText> kCatalogue{"oscilloscope", kEntries};

}  // namespace

const texts::Catalogue<OscilloscopeText>& CatalogueOf(OscilloscopeText) { return kCatalogue; }

}  // namespace tovrel
