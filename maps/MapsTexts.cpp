#include "MapsTexts.h"

namespace tovrel {
namespace {

using enum MapsText;

constexpr texts::Entry<MapsText> kEntries[] = {
    {ChartLPG, QT_TRANSLATE_NOOP("maps", "Карта УОЗ для газа")},
    {ChartPetrol, QT_TRANSLATE_NOOP("maps", "Карта УОЗ для бензина")},
    {ChartLPGLoad, QT_TRANSLATE_NOOP("maps", "Карта TPS для газа")},
    {ChartPetrolLoad, QT_TRANSLATE_NOOP("maps", "Карта TPS для бензина")},
    {ChartTabLPGLoad, QT_TRANSLATE_NOOP("maps", "Карта TPS для газа ")},
    {GridTabLPG, QT_TRANSLATE_NOOP("maps", "Таблица УОЗ для газа")},
    {GridTabPetrol, QT_TRANSLATE_NOOP("maps", "Таблица УОЗ для бензина")},
    {GridTabLPGLoad, QT_TRANSLATE_NOOP("maps", "Таблица TPS для газа")},
    {GridTabPetrolLoad, QT_TRANSLATE_NOOP("maps", "Таблица TPS для бензина")},
    {BigStepBox, QT_TRANSLATE_NOOP("maps", "Изменение карты с большим шагом")},
    {WholeMapBox, QT_TRANSLATE_NOOP("maps", "Двигать всю карту")},
    {NegativeValuesBox, QT_TRANSLATE_NOOP("maps", "Отрицательные значения")},
    {TemplateButton, QT_TRANSLATE_NOOP("maps", "Шаблон данных")},
    {Gas3DTab, QT_TRANSLATE_NOOP("maps", "3D карта УОЗ для газа")},
    {Petrol3DTab, QT_TRANSLATE_NOOP("maps", "3D карта УОЗ для бензина")},
    {Build3DButton, QT_TRANSLATE_NOOP("maps", "Построение трёхмерных карт опережения зажигания для газа")},
    {WriteWhileMonitor, QT_TRANSLATE_NOOP("maps", "Перед записью данных в вариатоор, завершите чтение параметров реального времени.")},
    {WriteWhileTracking, QT_TRANSLATE_NOOP("maps", "Перед записью данных в вариатоор, завершите чтение текущего значения TPS.")},
    {ReadLPG, QT_TRANSLATE_NOOP("maps", "Чтение газовой карты из вариатора")},
    {WriteLPG, QT_TRANSLATE_NOOP("maps", "Запись газовой карты в вариатор")},
    {WrongValueLPG, QT_TRANSLATE_NOOP("maps", "WritePLGMap: функция UARTdataExchangeForTovrel возвращает неверное значение")},
    {ReadPetrol, QT_TRANSLATE_NOOP("maps", "Чтение бензиновой карты из вариатора")},
    {WritePetrol, QT_TRANSLATE_NOOP("maps", "Запись бензиновой карты в вариатор")},
    {WrongValuePetrol, QT_TRANSLATE_NOOP("maps", "WritePetrolMap: функция UARTdataExchangeForTovrel возвращает неверное значение")},
    {ReadLPGLoad, QT_TRANSLATE_NOOP("maps", "Чтение газовой карты TPS")},
    {WriteLPGLoad, QT_TRANSLATE_NOOP("maps", "Запись газовой карты TPS в вариатор")},
    {WrongValueLPGLoad, QT_TRANSLATE_NOOP("maps", "WritePLGLoadDependenceMap: функция UARTdataExchangeForTovrel возвращает неверное значение")},
    {ReadPetrolLoad, QT_TRANSLATE_NOOP("maps", "Чтение бензиновой карты TPS")},
    {WritePetrolLoad, QT_TRANSLATE_NOOP("maps", "Запись бензиновой карты TPS в вариатор")},
    {WrongValuePetrolLoad, QT_TRANSLATE_NOOP("maps", "WritePetrolLoadDependenceMap: функция UARTdataExchangeForTovrel возвращает неверное значение")},
    {TitleLPG, QT_TRANSLATE_NOOP("maps", "газовая карта")},
    {TitlePetrol, QT_TRANSLATE_NOOP("maps", "бензиновая карта")},
    {TitleLPGLoad, QT_TRANSLATE_NOOP("maps", "газовая карта TPS")},
    {TitlePetrolLoad, QT_TRANSLATE_NOOP("maps", "бензиновая карта TPS")},
    {PreviousWriteCaption, QT_TRANSLATE_NOOP("maps", "Предварительная запись карты в вариатор без сохранения при отключении")},
    {TextNode, QT_TRANSLATE_NOOP("maps", "(текст)")},
    {UnsendableUnread, QT_TRANSLATE_NOOP("maps", "Запись отменена, в вариатор ничего не отправлено: %1 (%2), точка %3 из %4 (x = %5) ещё не прочитана из вариатора.")},
    {UnsendableOutOfRange, QT_TRANSLATE_NOOP("maps", "Запись отменена, в вариатор ничего не отправлено: %1 (%2), точка %3 из %4 (x = %5): значение %6 вне допустимых пределов от -%7 до %7.")},
    {FileTooBig, QT_TRANSLATE_NOOP("maps", "Файл %1 слишком велик для файла конфигурации: %2 байт, допустимо не больше %3.")},
    {FileNotXml, QT_TRANSLATE_NOOP("maps", "Файл %1 не является документом XML: %2 (строка %3, позиция %4).")},
    {FileNotConfiguration, QT_TRANSLATE_NOOP("maps", "Файл %1 не является файлом конфигурации вариатора: в корневом элементе \"%2\" %3 дочерних узлов, нужно %4 (Settings и четыре карты).")},
    {FileMapWhere, QT_TRANSLATE_NOOP("maps", "карты %1 (узел %2 корневого элемента)")},
    {FileWantLPGChildren, QT_TRANSLATE_NOOP("maps", "%1: текст \"%2\" и 80 точек")},
    {FileWantChildren, QT_TRANSLATE_NOOP("maps", "%1: 80 точек")},
    {FileChildCount, QT_TRANSLATE_NOOP("maps", "Файл конфигурации %1: у %2 %3 дочерних узлов, нужно %4.")},
    {FileNumberOutOfRange, QT_TRANSLATE_NOOP("maps", "число вне допустимого диапазона: ")},
    {FileNoNumber, QT_TRANSLATE_NOOP("maps", "нет числа: ")},
    {FileNotDecimal, QT_TRANSLATE_NOOP("maps", "не десятичное число: ")},
    {FileBadPoint, QT_TRANSLATE_NOOP("maps", "Файл конфигурации %1: в точке %2 %3 %4%5.")},
    {FileOpenFailed, QT_TRANSLATE_NOOP("maps", "Не удалось открыть файл %1: %2.")},
    {FileNotAFile, QT_TRANSLATE_NOOP("maps", "%1 не является файлом.")},
    {FileReadFailed, QT_TRANSLATE_NOOP("maps", "Не удалось прочитать файл %1.")},
    {FileSaveFailed, QT_TRANSLATE_NOOP("maps", "Не удалось сохранить файл %1: %2")},
    {UnreadPoint, QT_TRANSLATE_NOOP("maps", "%1 (%2), точка %3 из %4")},
    {UnreadPointsQuestion, QT_TRANSLATE_NOOP("maps", "Не все точки карт прочитаны из вариатора, первая из них: %1. Сохранить файл всё равно?")},
    {FileNotSaved, QT_TRANSLATE_NOOP("maps", "Файл не сохранён: %1 не прочитана из вариатора.")},
};
static_assert(texts::InIdOrder(kEntries), "one entry per id, in the enum's order");

constexpr texts::Catalogue<MapsText> kCatalogue{"maps", kEntries};

}  // namespace

const texts::Catalogue<MapsText>& CatalogueOf(MapsText) { return kCatalogue; }

}  // namespace tovrel
