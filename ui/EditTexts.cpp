#include "EditTexts.h"

namespace tovrel {
namespace {

using enum EditText;

constexpr texts::Entry<EditText> kEntries[] = {
    {EditMenu, QT_TRANSLATE_NOOP("edit", "Правка")},
    {Undo, QT_TRANSLATE_NOOP("edit", "Отменить")},
    {Redo, QT_TRANSLATE_NOOP("edit", "Повторить")},
    {History, QT_TRANSLATE_NOOP("edit", "История правок")},
    {HistoryTitle, QT_TRANSLATE_NOOP("edit", "История правок карт")},
    {HistoryClean, QT_TRANSLATE_NOOP("edit", "<начало работы>")},
    {SelectAll, QT_TRANSLATE_NOOP("edit", "Выделить все точки")},
    {Copy, QT_TRANSLATE_NOOP("edit", "Копировать")},
    {Paste, QT_TRANSLATE_NOOP("edit", "Вставить")},
    {SetValue, QT_TRANSLATE_NOOP("edit", "Задать значение...")},
    {StepUp, QT_TRANSLATE_NOOP("edit", "Шаг вверх")},
    {StepDown, QT_TRANSLATE_NOOP("edit", "Шаг вниз")},
    {TenStepsUp, QT_TRANSLATE_NOOP("edit", "Десять шагов вверх")},
    {TenStepsDown, QT_TRANSLATE_NOOP("edit", "Десять шагов вниз")},
    {Scale, QT_TRANSLATE_NOOP("edit", "Умножить на процент...")},
    {Interpolate, QT_TRANSLATE_NOOP("edit", "Интерполировать между крайними точками")},
    {Smooth, QT_TRANSLATE_NOOP("edit", "Сгладить")},
    {Revert, QT_TRANSLATE_NOOP("edit", "Вернуть прочитанные из вариатора значения")},
    {SetValueTitle, QT_TRANSLATE_NOOP("edit", "Задать значение")},
    {SetValuePrompt, QT_TRANSLATE_NOOP("edit", "Значение выделенных точек (%1 ... %2):")},
    {ScaleTitle, QT_TRANSLATE_NOOP("edit", "Умножить на процент")},
    {ScalePrompt, QT_TRANSLATE_NOOP("edit", "Процент от текущих значений:")},
    {StepArrowKeys, QT_TRANSLATE_NOOP("edit", "Стрелки: %1")},
    {StepGridCommit, QT_TRANSLATE_NOOP("edit", "Ввод в таблицу: %1")},
    {StepTemplate, QT_TRANSLATE_NOOP("edit", "Шаблон данных")},
    {StepDeviceRead, QT_TRANSLATE_NOOP("edit", "Чтение из вариатора")},
    {StepFileLoad, QT_TRANSLATE_NOOP("edit", "Загрузка файла")},
    {StepReplace, QT_TRANSLATE_NOOP("edit", "Замена карт")},
    {StepPaste, QT_TRANSLATE_NOOP("edit", "Вставка")},
    {NoSelection, QT_TRANSLATE_NOOP("edit", "Нет выделенных точек")},
    {NotAMapPage, QT_TRANSLATE_NOOP("edit", "Откройте карту или таблицу")},
    {Limited, QT_TRANSLATE_NOOP("edit", "%1: ограничены диапазоном %2 ... %3 точки %4")},
    {Done, QT_TRANSLATE_NOOP("edit", "%1: %2")},
    {Refused, QT_TRANSLATE_NOOP("edit", "Правка не выполнена: %1")},
    {NothingRead, QT_TRANSLATE_NOOP("edit", "карта ещё не читалась из вариатора")},
    {BusyLine, QT_TRANSLATE_NOOP("edit", "идёт обмен с вариатором")},
    {PasteEmpty, QT_TRANSLATE_NOOP("edit", "Вставка: в буфере обмена нет чисел")},
    {PasteBadCell, QT_TRANSLATE_NOOP("edit", "Вставка отменена: строка %1, столбец %2 — «%3» не число")},
    {PasteOutOfRange, QT_TRANSLATE_NOOP("edit", "Вставка отменена: строка %1, столбец %2 — «%3» вне диапазона %4 ... %5")},
    {PasteDoesNotFit, QT_TRANSLATE_NOOP("edit", "Вставка отменена: %1 x %2 не помещается начиная с точки %3")},
    {Pasted, QT_TRANSLATE_NOOP("edit", "Вставлено точек: %1")},
    {Copied, QT_TRANSLATE_NOOP("edit", "Скопировано точек: %1")},
    {MapLPG, QT_TRANSLATE_NOOP("edit", "УОЗ газ")},
    {MapPetrol, QT_TRANSLATE_NOOP("edit", "УОЗ бензин")},
    {MapLPGLoad, QT_TRANSLATE_NOOP("edit", "TPS газ")},
    {MapPetrolLoad, QT_TRANSLATE_NOOP("edit", "TPS бензин")},
    {SyncUnknown, QT_TRANSLATE_NOOP("edit", "%1: не читалась")},
    {SyncSame, QT_TRANSLATE_NOOP("edit", "%1: как в вариаторе")},
    {SyncNotWritten, QT_TRANSLATE_NOOP("edit", "%1: не записана")},
    {SyncNotCommitted, QT_TRANSLATE_NOOP("edit", "%1: не в EEPROM")},
    {SyncNeither, QT_TRANSLATE_NOOP("edit", "%1: не записана, не в EEPROM")},
    {SyncEdited, QT_TRANSLATE_NOOP("edit", "%1: изменена")},
    {AskClose, QT_TRANSLATE_NOOP("edit", "Не сохранены в вариаторе карты: %1.\nЗакрыть программу?")},
    {AskDisconnect, QT_TRANSLATE_NOOP("edit", "Не сохранены в вариаторе карты: %1.\nОтключиться от вариатора?")},
    {AskRead, QT_TRANSLATE_NOOP("edit", "Чтение из вариатора заменит изменённые карты: %1.\nПрочитать?")},
    {AskFileLoad, QT_TRANSLATE_NOOP("edit", "Файл заменит изменённые карты: %1.\nОткрыть файл?")},
};
static_assert(texts::InIdOrder(kEntries), "one entry per id, in the enum's order");

constexpr texts::Catalogue<EditText> kCatalogue{"edit", kEntries};

}  // namespace

const texts::Catalogue<EditText>& CatalogueOf(EditText) { return kCatalogue; }

}  // namespace tovrel
