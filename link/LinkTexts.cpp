#include "LinkTexts.h"

namespace tovrel {
namespace {

using enum LinkText;

constexpr texts::Entry<LinkText> kEntries[] = {
    {LineBusy, QT_TRANSLATE_NOOP("link", "Дождитесь окончания текущего обмена с вариатором: команда не выполнена.")},
    {NoAnswer, QT_TRANSLATE_NOOP("link", "UARTdataExchangeForTovrel: Вариатор не отвечает на запрос чтения или записи")},
    {LineSilent, QT_TRANSLATE_NOOP("link", "Вариатор не отвечает: три запроса подряд остались без ответа. Обмен прерван, проверьте подключение.")},
    {LineGarbled, QT_TRANSLATE_NOOP("link", "Линия искажает данные: на три запроса подряд пришли пакеты с неверной контрольной суммой. Обмен прерван, проверьте кабель и подключение.")},
    {LineLate, QT_TRANSLATE_NOOP("link", "Вариатор отвечает с опозданием: три запроса подряд не получили ответа вовремя. Обмен прерван, проверьте кабель и подключение.")},
    {DeviceGone, QT_TRANSLATE_NOOP("link", "Связь с вариатором потеряна: com-порт перестал отвечать (кабель отключён или адаптер извлечён). Обмен прерван, подключитесь снова.")},
    {PortBusy, QT_TRANSLATE_NOOP("link", "Не удалось подключиться: com-порт занят другой программой")},
    {BusyPortsDuringScan, QT_TRANSLATE_NOOP("link", "Эти com-порты заняты другой программой, закройте её и подключитесь снова: ")},
    {NoDevice, QT_TRANSLATE_NOOP("link", "Автоматически определить com-порт и подключиться к вариатору не удалось. Вариатор не должен находится в режиме работы по микропереключателям (1-й микропереключатель должен быть отключен). ")},
    {DeviceReportsBadChecksum, QT_TRANSLATE_NOOP("link", "UARTdataExchangeForTovrel: Вариатор сообщает о получении пакета с неверной контрольной суммой")},
    {BadReplyChecksum, QT_TRANSLATE_NOOP("link", "UARTdataExchangeForTovrel: На запрос чтения или записи вариатор ответил пакетом(ами) с неверной контрольной суммой")},
    {StateConnected, QT_TRANSLATE_NOOP("link", "Подключен")},
    {StateDisconnected, QT_TRANSLATE_NOOP("link", "Не подключен")},
    {StateConnecting, QT_TRANSLATE_NOOP("link", "Устанавливается подключение, ожидайте")},
    {StateFirmwareUpdate, QT_TRANSLATE_NOOP("link", "Вариатор в режиме смены прошивки")},
    {StateOscilloscope, QT_TRANSLATE_NOOP("link", "Вариатор в режиме записи осциллограмм")},
    {WrongPortNumber, QT_TRANSLATE_NOOP("link", "Неверный номер порта")},
    {AlreadyConnected, QT_TRANSLATE_NOOP("link", "Вариатор уже подключен")},
    {ConnectFailed, QT_TRANSLATE_NOOP("link", "Не удалось подключиться")},
    {TimeoutFailed1, QT_TRANSLATE_NOOP("link", "Не удалось изменить таймаут 1")},
    {PurgeFailed, QT_TRANSLATE_NOOP("link", "Не удалось очистить com-порт.")},
    {Connected, QT_TRANSLATE_NOOP("link", "Вариатор подключен")},
    {TimeoutFailed2, QT_TRANSLATE_NOOP("link", "Не удалось изменить таймаут 2")},
    {PortOpenLoaderMode, QT_TRANSLATE_NOOP("link", "Компорт открыт. Вариатор находится в режиме обновления прошивки.")},
    {TimeoutFailed3, QT_TRANSLATE_NOOP("link", "Не удалось изменить таймаут 3")},
    {PortOpenOscilloscopeMode, QT_TRANSLATE_NOOP("link", "Компорт открыт. Вариатор находится в режиме записи осциллограмм. Убедитесь, что прошивка осциллографа под нужный тип датчика (индуктивный или Холла) и приступайте к записи осциллограммы.")},
    {TimeoutFailed4, QT_TRANSLATE_NOOP("link", "Не удалось изменить таймаут 4")},
    {PortOpenNoDevice, QT_TRANSLATE_NOOP("link", "Компорт открыт. Вариатор не подключен")},
    {ScanTrying, QT_TRANSLATE_NOOP("link", "Попытка подключения к com-порту ")},
    {AnswerFromPort, QT_TRANSLATE_NOOP("link", "Получили ответ от com-порта %1 | %2")},
    {ConnectedToPort, QT_TRANSLATE_NOOP("link", "Подключились к com-порту %1")},
    {ScanTryingPort, QT_TRANSLATE_NOOP("link", "Попытка подключения к com-порту %1")},
    {ScanSecondTry, QT_TRANSLATE_NOOP("link", "Вторая попытка подключения к com-порту %1")},
    {ScanThirdTry, QT_TRANSLATE_NOOP("link", "Третья попытка подключения к com-порту %1")},
    {ScanLeaving, QT_TRANSLATE_NOOP("link", "Отсоединяемся от com-порта %1")},
    {PermissionAdvice, QT_TRANSLATE_NOOP("link", "Нет прав на доступ к %1. Добавьте пользователя в группу dialout: sudo usermod -aG dialout $USER, затем выйдите из системы и войдите снова.")},
    {PortTooHigh, QT_TRANSLATE_NOOP("link", "%1номер слишком велик")},
    {PortUnassigned, QT_TRANSLATE_NOOP("link", "%1устройство не назначено")},
    {PortMissing, QT_TRANSLATE_NOOP("link", "%1%2 — не найден")},
    {PortNoPermission, QT_TRANSLATE_NOOP("link", "%1%2 — %3")},
    {PortUnusable, QT_TRANSLATE_NOOP("link", "%1%2 — недоступен: %3")},
    {StartDialogCaption, QT_TRANSLATE_NOOP("link", "Начальная конфигурация")},
    {StartOptionsCaption, QT_TRANSLATE_NOOP("link", "Опции подключения")},
    {ContinueCaption, QT_TRANSLATE_NOOP("link", "Продолжить")},
};
static_assert(texts::InIdOrder(kEntries), "one entry per id, in the enum's order");

constexpr texts::Catalogue<LinkText> kCatalogue{"link", kEntries};

}  // namespace

const texts::Catalogue<LinkText>& CatalogueOf(LinkText) { return kCatalogue; }

}  // namespace tovrel
