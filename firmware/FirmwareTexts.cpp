#include "FirmwareTexts.h"

namespace tovrel {
namespace {

using enum FirmwareText;

constexpr texts::Entry<FirmwareText> kEntries[] = {
    {MemoInitial, QT_TRANSLATE_NOOP("firmware", "Файл прошивки не выбран. ")},
    {ImageRefused, QT_TRANSLATE_NOOP("firmware", "Обновление прошивки отменено: вариатор не переключался, прошивка не изменена.")},
    {ButtonCaption, QT_TRANSLATE_NOOP("firmware", "Нажмите для выбора файла обновления прошивки")},
    {StopCaption, QT_TRANSLATE_NOOP("firmware", "Прервать обновление")},
    {FlashAnywayQuestion, QT_TRANSLATE_NOOP("firmware", "Прошить всё равно?")},
    {StopUpdateQuestion, QT_TRANSLATE_NOOP("firmware", "Если прервать обновление, вариатор останется в режиме загрузчика, прошивка в нём может быть неполной; восстановить его можно повторным обновлением с тем же файлом прошивки. Прервать обновление прошивки?")},
    {UpdateStopped, QT_TRANSLATE_NOOP("firmware", "Обновление прошивки остановлено по запросу пользователя.")},
    {UpdateInterrupted, QT_TRANSLATE_NOOP("firmware", "Обновление прошивки не завершено: вариатор остался в режиме загрузчика, прошивка в нём может быть неполной. Чтобы восстановить вариатор, выполните обновление ещё раз с тем же файлом прошивки.")},
    {BufferSendFailed, QT_TRANSLATE_NOOP("firmware", "Не удалось передать буферы приема-передачи")},
    {UpdateButtonPressed, QT_TRANSLATE_NOOP("firmware", "Нажали кнопку обновления файла прошивки")},
    {NoFileSelected, QT_TRANSLATE_NOOP("firmware", "Файл прошивки не выбран")},
    {Initialising, QT_TRANSLATE_NOOP("firmware", "Идёт процесс инициализации. Занимает до 30 секунд.")},
    {SwitchRequestSent, QT_TRANSLATE_NOOP("firmware", "Отправлен запрос на переключение в режим обновления прошивки.")},
    {PortSetupFailed, QT_TRANSLATE_NOOP("firmware", "Не удалось установить параметры com-порта")},
    {PortPurgeFailed, QT_TRANSLATE_NOOP("firmware", "Не удалось очистить com порт")},
    {BufferSetupFailed, QT_TRANSLATE_NOOP("firmware", "Не удалось инициализировать буферы приема-передачи")},
    {Loading, QT_TRANSLATE_NOOP("firmware", "Загружаем данные (ориентировочно 5-15 секунд)...")},
    {NoDeviceOnPort, QT_TRANSLATE_NOOP("firmware", "Вариатор к порту не подключен")},
    {LoadingDone, QT_TRANSLATE_NOOP("firmware", "Загрузка данных окончена, продолжаем процесс инициализации (длительность 5-30 секунд).")},
    {NoAnswer, QT_TRANSLATE_NOOP("firmware", "Ответ от вариатора получен не был")},
    {ShortRead, QT_TRANSLATE_NOOP("firmware", "Прочитали меньше байт, чем должны были")},
    {LoaderReady, QT_TRANSLATE_NOOP("firmware", "Вариатор подключен и готов к обновлению прошивки")},
    {ConnectFailed, QT_TRANSLATE_NOOP("firmware", "Подключиться к вариатору не удалось.")},
    {LoaderNotFound, QT_TRANSLATE_NOOP("firmware", "Вариатор с нужной версией загрузчика обнаружить не удалось.")},
    {Advice, QT_TRANSLATE_NOOP("firmware", "-----Рекомендация:-----")},
    {AdvicePowerOff, QT_TRANSLATE_NOOP("firmware", "Попробуйте отключить питание вариатора,")},
    {AdviceRetry, QT_TRANSLATE_NOOP("firmware", "снова включить и и повторить попытку.")},
    {VolumeAccepted, QT_TRANSLATE_NOOP("firmware", "Объём прошивки был передан и получен правильный ответ")},
    {VolumeTooLarge, QT_TRANSLATE_NOOP("firmware", "Объём прошивки превышает допустимый")},
    {VolumeWrongAnswer, QT_TRANSLATE_NOOP("firmware", "Неверный ответ на передачу объёма прошивки")},
    {AnswerWas, QT_TRANSLATE_NOOP("firmware", "Был получен ответ")},
    {PacketSizeSendFailed, QT_TRANSLATE_NOOP("firmware", "Не удалось передать размер пакета")},
    {PacketSizeNoAnswer, QT_TRANSLATE_NOOP("firmware", "Ответ от вариатора о размере пакета получен не был")},
    {PacketSizeAccepted, QT_TRANSLATE_NOOP("firmware", "Размер пакета был передан и получен правильный ответ")},
    {PacketSizeRefused, QT_TRANSLATE_NOOP("firmware", "Размер пакета недопустим")},
    {PacketSizeWrongAnswer, QT_TRANSLATE_NOOP("firmware", "Неверный ответ на передачу размера пакета")},
    {EraseNoAnswer, QT_TRANSLATE_NOOP("firmware", "Ответ от вариатора об успешной очистке FLASH получен не был")},
    {EraseShortRead, QT_TRANSLATE_NOOP("firmware", "Прочитали меньше байт, чем должны были в подтверждении об очистке FLASH")},
    {Erased, QT_TRANSLATE_NOOP("firmware", "FLASH очищена")},
    {NotErased, QT_TRANSLATE_NOOP("firmware", "FLASH не очищена")},
    {EraseWrongAnswer, QT_TRANSLATE_NOOP("firmware", "Неверный ответ на запрос об очистке FLASH")},
    {ConfirmationSendFailed, QT_TRANSLATE_NOOP("firmware", "Не удалось передать подтверждение того, что прошивка записана верно.")},
    {ConfirmationNoAnswer, QT_TRANSLATE_NOOP("firmware", "Подтверждение от вариатора получено не было.")},
    {ConfirmationShortRead, QT_TRANSLATE_NOOP("firmware", "Прочитали меньше байт подтверждения, чем должны были")},
    {ConfirmationReceived, QT_TRANSLATE_NOOP("firmware", "От вариатора было получено подтверждение о целостности прошивки и готовности к её запуску")},
    {UpdateSucceeded, QT_TRANSLATE_NOOP("firmware", "Прошивка вариатора успешно обновлена.")},
    {ConfirmationWrongAnswer, QT_TRANSLATE_NOOP("firmware", "Неверный ответ на подтверждение о правильности")},
    {ProgressCaption, QT_TRANSLATE_NOOP("firmware", "Ход процесса обновления")},
    {MemoCaption, QT_TRANSLATE_NOOP("firmware", "Окно служебной информации")},
    {FileSelected, QT_TRANSLATE_NOOP("firmware", "Файл прошивки выбран")},
    {FileOpenFailed, QT_TRANSLATE_NOOP("firmware", "Файл прошивки невозможно открыть!")},
    {FileTooLarge, QT_TRANSLATE_NOOP("firmware", "Файл превышает размер буфера")},
    {FileReadError, QT_TRANSLATE_NOOP("firmware", "Ошибка чтения файла")},
    {EndOfFile, QT_TRANSLATE_NOOP("firmware", "Достигнут конец файла")},
    {SizeZeroOrNotWhole, QT_TRANSLATE_NOOP("firmware", "Размер прошивки равен нулю, или не кратен четырём.")},
    {FileAccepted, QT_TRANSLATE_NOOP("firmware", "Требования к содержимому файла прошивки выполнены.")},
    {PacketSendFailed, QT_TRANSLATE_NOOP("firmware", "Не смогли отправить данные прошивки")},
    {ShortWrite, QT_TRANSLATE_NOOP("firmware", "Записали меньше байт, чем должны были")},
    {PacketPurgeFailed, QT_TRANSLATE_NOOP("firmware", "ConnectionStage 4. Не удалось очистить буферы приема-передачи пакета")},
    {PacketNoAnswer, QT_TRANSLATE_NOOP("firmware", "Ответные данные прошивки от вариатора получены не были")},
    {BytesRead, QT_TRANSLATE_NOOP("firmware", "байт прочитано")},
    {ByteWrong, QT_TRANSLATE_NOOP("firmware", "Байт не верен")},
    {AllPacketsConfirmed, QT_TRANSLATE_NOOP("firmware", "Достигли окончания с подтверждением правильности получения всех пакетов прошивки")},
    {PacketsNotConfirmed, QT_TRANSLATE_NOOP("firmware", "Достигли окончания БЕЗ ПОДТВЕРЖДЕНИЯ правильности получения всех пакетов прошивки")},
    {BytesLeftToWrite, QT_TRANSLATE_NOOP("firmware", "Осталось записать байт:")},
    {SizeNotWholeQuestion, QT_TRANSLATE_NOOP("firmware", "Размер файла прошивки (%1 байт) не кратен четырём: такая прошивка не может быть целой. %2")},
    {TooLargeQuestion, QT_TRANSLATE_NOOP("firmware", "Файл прошивки больше %1 байт: вариатору будут переданы только первые %1 байт. %2")},
    {PortOpenFailed, QT_TRANSLATE_NOOP("firmware", "Попытка открыть порт %1 не увенчалась успехом")},
    {PortOpened, QT_TRANSLATE_NOOP("firmware", "Открыт порт %1. Выполнен запрос. Ожидаем ответ вариатора.")},
    {LoaderVersion, QT_TRANSLATE_NOOP("firmware", "%1, либо версия загрузчика  %2")},
    {FileSize, QT_TRANSLATE_NOOP("firmware", "%1 байт размер файла прошивки")},
    {PacketSent, QT_TRANSLATE_NOOP("firmware", "Передали вариатору %1 байт. Ждём от вариатора подтверждение получения.")},
    {PacketConfirmed, QT_TRANSLATE_NOOP("firmware", "Получено подтверждение предыдущего пакета. Осталось записать %1 байт из %2")},
};
static_assert(texts::InIdOrder(kEntries), "one entry per id, in the enum's order");

constexpr texts::Catalogue<FirmwareText> kCatalogue{"firmware", kEntries};

}  // namespace

const texts::Catalogue<FirmwareText>& CatalogueOf(FirmwareText) { return kCatalogue; }

}  // namespace tovrel
