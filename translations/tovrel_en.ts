<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="en" sourcelanguage="ru">
<context>
    <name>app</name>
    <message>
        <source>Подключиться и считать конфигурацию из вариатора.</source>
        <translation>Connect and read the configuration from the variator.</translation>
    </message>
    <message>
        <source>Подключиться не считывая конфигурацию.</source>
        <translation>Connect without reading the configuration.</translation>
    </message>
    <message>
        <source>Подключиться для обновления прошивки варитора. Включить звуковой сигнал.</source>
        <translation>Connect to update the variator firmware. Beep when done.</translation>
    </message>
    <message>
        <source>Несуществующая опция. </source>
        <translation>No such option. </translation>
    </message>
    <message>
        <source>COM порт</source>
        <translation>COM port</translation>
    </message>
    <message>
        <source>Процесс обмена данными</source>
        <translation>Data exchange in progress</translation>
    </message>
</context>
<context>
    <name>dash</name>
    <message>
        <source>Панель приборов</source>
        <translation>Dashboard</translation>
    </message>
    <message>
        <source>Вид</source>
        <translation>View</translation>
    </message>
    <message>
        <source>Обороты</source>
        <translation>Engine speed</translation>
    </message>
    <message>
        <source>Дроссель</source>
        <translation>Throttle</translation>
    </message>
    <message>
        <source>Угол опережения</source>
        <translation>Applied advance</translation>
    </message>
    <message>
        <source>Топливо</source>
        <translation>Fuel</translation>
    </message>
    <message>
        <source>Синхронизация</source>
        <translation>Synchronisation</translation>
    </message>
    <message>
        <source>Температура процессора</source>
        <translation>Processor temperature</translation>
    </message>
    <message>
        <source>%1 об/мин</source>
        <translation>%1 rpm</translation>
    </message>
    <message>
        <source>%1 %</source>
        <translation>%1 %</translation>
    </message>
    <message>
        <source>%1°</source>
        <translation>%1°</translation>
    </message>
    <message>
        <source>%1 °C</source>
        <translation>%1 °C</translation>
    </message>
    <message>
        <source>ГАЗ</source>
        <translation>LPG</translation>
    </message>
    <message>
        <source>БЕНЗИН</source>
        <translation>PETROL</translation>
    </message>
    <message>
        <source>есть</source>
        <translation>yes</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>no</translation>
    </message>
    <message>
        <source>Старт монитора</source>
        <translation>Start monitor</translation>
    </message>
    <message>
        <source>Стоп монитора</source>
        <translation>Stop monitor</translation>
    </message>
    <message>
        <source>Непрерывно</source>
        <translation>Continuous</translation>
    </message>
    <message>
        <source>Запись (Ctrl+L)</source>
        <translation>Record (Ctrl+L)</translation>
    </message>
    <message>
        <source>Остановить запись (Ctrl+L)</source>
        <translation>Stop recording (Ctrl+L)</translation>
    </message>
    <message>
        <source>Записывать проходы монитора</source>
        <translation>Record monitor passes</translation>
    </message>
    <message>
        <source>Открыть запись...</source>
        <translation>Open recording...</translation>
    </message>
    <message>
        <source>Воспроизвести запись...</source>
        <translation>Play back a recording...</translation>
    </message>
    <message>
        <source>Открыть запись монитора</source>
        <translation>Open a monitor recording</translation>
    </message>
    <message>
        <source>Записи монитора (*.csv);;Все файлы (*)</source>
        <translation>Monitor recordings (*.csv);;All files (*)</translation>
    </message>
    <message>
        <source>Запись в %1</source>
        <translation>Recording to %1</translation>
    </message>
    <message>
        <source>Запись остановлена, строк: %1 (%2)</source>
        <translation>Recording stopped, rows: %1 (%2)</translation>
    </message>
    <message>
        <source>Запись остановлена: не удалось записать в %1. Сохранено строк: %2</source>
        <translation>Recording stopped: cannot write to %1. Rows kept: %2</translation>
    </message>
    <message>
        <source>Запись не начата: %1</source>
        <translation>Recording not started: %1</translation>
    </message>
    <message>
        <source>Метка на %1 мс</source>
        <translation>Marker at %1 ms</translation>
    </message>
    <message>
        <source>Идёт воспроизведение записи: остановите его, чтобы запустить монитор</source>
        <translation>A recording is playing: stop it to start the monitor</translation>
    </message>
    <message>
        <source>Работает монитор: остановите его, чтобы воспроизвести запись</source>
        <translation>The monitor is running: stop it to play a recording</translation>
    </message>
    <message>
        <source>Запись не открыта: %1</source>
        <translation>Recording not opened: %1</translation>
    </message>
    <message>
        <source>%1: строка %2 не прочитана (%3)</source>
        <translation>%1: line %2 not read (%3)</translation>
    </message>
    <message>
        <source>%1: проходов %2</source>
        <translation>%1: %2 passes</translation>
    </message>
    <message>
        <source>Пуск</source>
        <translation>Play</translation>
    </message>
    <message>
        <source>Пауза</source>
        <translation>Pause</translation>
    </message>
    <message>
        <source>&lt;</source>
        <translation>&lt;</translation>
    </message>
    <message>
        <source>&gt;</source>
        <translation>&gt;</translation>
    </message>
    <message>
        <source>%1 / %2</source>
        <translation>%1 / %2</translation>
    </message>
    <message>
        <source>Закрыть запись</source>
        <translation>Close recording</translation>
    </message>
    <message>
        <source>Обороты, об/мин</source>
        <translation>Engine speed, rpm</translation>
    </message>
    <message>
        <source>Дроссель, %</source>
        <translation>Throttle, %</translation>
    </message>
    <message>
        <source>Угол, °</source>
        <translation>Advance, °</translation>
    </message>
    <message>
        <source>Карта, °</source>
        <translation>Map, °</translation>
    </message>
    <message>
        <source>с</source>
        <translation>s</translation>
    </message>
</context>
<context>
    <name>edit</name>
    <message>
        <source>Правка</source>
        <translation>Edit</translation>
    </message>
    <message>
        <source>Отменить</source>
        <translation>Undo</translation>
    </message>
    <message>
        <source>Повторить</source>
        <translation>Redo</translation>
    </message>
    <message>
        <source>История правок</source>
        <translation>Edit history</translation>
    </message>
    <message>
        <source>История правок карт</source>
        <translation>Map edit history</translation>
    </message>
    <message>
        <source>&lt;начало работы&gt;</source>
        <translation>&lt;start&gt;</translation>
    </message>
    <message>
        <source>Выделить все точки</source>
        <translation>Select all points</translation>
    </message>
    <message>
        <source>Копировать</source>
        <translation>Copy</translation>
    </message>
    <message>
        <source>Вставить</source>
        <translation>Paste</translation>
    </message>
    <message>
        <source>Задать значение...</source>
        <translation>Set value...</translation>
    </message>
    <message>
        <source>Шаг вверх</source>
        <translation>Step up</translation>
    </message>
    <message>
        <source>Шаг вниз</source>
        <translation>Step down</translation>
    </message>
    <message>
        <source>Десять шагов вверх</source>
        <translation>Ten steps up</translation>
    </message>
    <message>
        <source>Десять шагов вниз</source>
        <translation>Ten steps down</translation>
    </message>
    <message>
        <source>Умножить на процент...</source>
        <translation>Scale by percent...</translation>
    </message>
    <message>
        <source>Интерполировать между крайними точками</source>
        <translation>Interpolate between the end points</translation>
    </message>
    <message>
        <source>Сгладить</source>
        <translation>Smooth</translation>
    </message>
    <message>
        <source>Вернуть прочитанные из вариатора значения</source>
        <translation>Revert to the values read from the variator</translation>
    </message>
    <message>
        <source>Задать значение</source>
        <translation>Set value</translation>
    </message>
    <message>
        <source>Значение выделенных точек (%1 ... %2):</source>
        <translation>Value of the selected points (%1 ... %2):</translation>
    </message>
    <message>
        <source>Умножить на процент</source>
        <translation>Scale by percent</translation>
    </message>
    <message>
        <source>Процент от текущих значений:</source>
        <translation>Percent of the present values:</translation>
    </message>
    <message>
        <source>Стрелки: %1</source>
        <translation>Arrow keys: %1</translation>
    </message>
    <message>
        <source>Ввод в таблицу: %1</source>
        <translation>Typed into the table: %1</translation>
    </message>
    <message>
        <source>Шаблон данных</source>
        <translation>Default maps</translation>
    </message>
    <message>
        <source>Чтение из вариатора</source>
        <translation>Read from the variator</translation>
    </message>
    <message>
        <source>Загрузка файла</source>
        <translation>File load</translation>
    </message>
    <message>
        <source>Замена карт</source>
        <translation>Maps replaced</translation>
    </message>
    <message>
        <source>Вставка</source>
        <translation>Pasting</translation>
    </message>
    <message>
        <source>Нет выделенных точек</source>
        <translation>No points selected</translation>
    </message>
    <message>
        <source>Откройте карту или таблицу</source>
        <translation>Open a map chart or table</translation>
    </message>
    <message>
        <source>%1: ограничены диапазоном %2 ... %3 точки %4</source>
        <translation>%1: held to the range %2 ... %3 at points %4</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message>
        <source>Правка не выполнена: %1</source>
        <translation>Edit not done: %1</translation>
    </message>
    <message>
        <source>карта ещё не читалась из вариатора</source>
        <translation>the map has not been read from the variator yet</translation>
    </message>
    <message>
        <source>идёт обмен с вариатором</source>
        <translation>the variator is busy with another exchange</translation>
    </message>
    <message>
        <source>Вставка: в буфере обмена нет чисел</source>
        <translation>Paste: the clipboard holds no numbers</translation>
    </message>
    <message>
        <source>Вставка отменена: строка %1, столбец %2 — «%3» не число</source>
        <translation>Paste cancelled: row %1, column %2 — &quot;%3&quot; is not a number</translation>
    </message>
    <message>
        <source>Вставка отменена: строка %1, столбец %2 — «%3» вне диапазона %4 ... %5</source>
        <translation>Paste cancelled: row %1, column %2 — &quot;%3&quot; is outside %4 ... %5</translation>
    </message>
    <message>
        <source>Вставка отменена: %1 x %2 не помещается начиная с точки %3</source>
        <translation>Paste cancelled: %1 x %2 does not fit starting at point %3</translation>
    </message>
    <message>
        <source>Вставлено точек: %1</source>
        <translation>Points pasted: %1</translation>
    </message>
    <message>
        <source>Скопировано точек: %1</source>
        <translation>Points copied: %1</translation>
    </message>
    <message>
        <source>УОЗ газ</source>
        <translation>Advance LPG</translation>
    </message>
    <message>
        <source>УОЗ бензин</source>
        <translation>Advance petrol</translation>
    </message>
    <message>
        <source>TPS газ</source>
        <translation>TPS LPG</translation>
    </message>
    <message>
        <source>TPS бензин</source>
        <translation>TPS petrol</translation>
    </message>
    <message>
        <source>%1: не читалась</source>
        <translation>%1: not read yet</translation>
    </message>
    <message>
        <source>%1: как в вариаторе</source>
        <translation>%1: as in the variator</translation>
    </message>
    <message>
        <source>%1: не записана</source>
        <translation>%1: not written</translation>
    </message>
    <message>
        <source>%1: не в EEPROM</source>
        <translation>%1: not in EEPROM</translation>
    </message>
    <message>
        <source>%1: не записана, не в EEPROM</source>
        <translation>%1: not written, not in EEPROM</translation>
    </message>
    <message>
        <source>%1: изменена</source>
        <translation>%1: changed</translation>
    </message>
    <message>
        <source>Не сохранены в вариаторе карты: %1.
Закрыть программу?</source>
        <translation>Maps not saved in the variator: %1.
Close the program anyway?</translation>
    </message>
    <message>
        <source>Не сохранены в вариаторе карты: %1.
Отключиться от вариатора?</source>
        <translation>Maps not saved in the variator: %1.
Disconnect from the variator anyway?</translation>
    </message>
    <message>
        <source>Чтение из вариатора заменит изменённые карты: %1.
Прочитать?</source>
        <translation>Reading from the variator will replace the changed maps: %1.
Read anyway?</translation>
    </message>
    <message>
        <source>Файл заменит изменённые карты: %1.
Открыть файл?</source>
        <translation>The file will replace the changed maps: %1.
Open the file anyway?</translation>
    </message>
</context>
<context>
    <name>firmware</name>
    <message>
        <source>Файл прошивки не выбран. </source>
        <translation>No firmware file chosen. </translation>
    </message>
    <message>
        <source>Обновление прошивки отменено: вариатор не переключался, прошивка не изменена.</source>
        <translation>Firmware update cancelled: the variator was not switched over, its firmware is unchanged.</translation>
    </message>
    <message>
        <source>Нажмите для выбора файла обновления прошивки</source>
        <translation>Click to choose the firmware update file</translation>
    </message>
    <message>
        <source>Прервать обновление</source>
        <translation>Abort the update</translation>
    </message>
    <message>
        <source>Прошить всё равно?</source>
        <translation>Flash it anyway?</translation>
    </message>
    <message>
        <source>Если прервать обновление, вариатор останется в режиме загрузчика, прошивка в нём может быть неполной; восстановить его можно повторным обновлением с тем же файлом прошивки. Прервать обновление прошивки?</source>
        <translation>If you abort the update, the variator stays in its loader and its firmware may be incomplete; flashing the same firmware file again brings it back. Abort the firmware update?</translation>
    </message>
    <message>
        <source>Обновление прошивки остановлено по запросу пользователя.</source>
        <translation>Firmware update stopped at the user&apos;s request.</translation>
    </message>
    <message>
        <source>Обновление прошивки не завершено: вариатор остался в режиме загрузчика, прошивка в нём может быть неполной. Чтобы восстановить вариатор, выполните обновление ещё раз с тем же файлом прошивки.</source>
        <translation>Firmware update not finished: the variator is left in its loader and its firmware may be incomplete. To bring the variator back, run the update again with the same firmware file.</translation>
    </message>
    <message>
        <source>Не удалось передать буферы приема-передачи</source>
        <translation>Could not send the transmit/receive buffers</translation>
    </message>
    <message>
        <source>Нажали кнопку обновления файла прошивки</source>
        <translation>Firmware update button pressed</translation>
    </message>
    <message>
        <source>Файл прошивки не выбран</source>
        <translation>No firmware file chosen</translation>
    </message>
    <message>
        <source>Идёт процесс инициализации. Занимает до 30 секунд.</source>
        <translation>Initialising. This takes up to 30 seconds.</translation>
    </message>
    <message>
        <source>Отправлен запрос на переключение в режим обновления прошивки.</source>
        <translation>Request to switch to firmware update mode sent.</translation>
    </message>
    <message>
        <source>Не удалось установить параметры com-порта</source>
        <translation>Could not set the COM port parameters</translation>
    </message>
    <message>
        <source>Не удалось очистить com порт</source>
        <translation>Could not purge the COM port</translation>
    </message>
    <message>
        <source>Не удалось инициализировать буферы приема-передачи</source>
        <translation>Could not set up the transmit/receive buffers</translation>
    </message>
    <message>
        <source>Загружаем данные (ориентировочно 5-15 секунд)...</source>
        <translation>Loading data (about 5-15 seconds)...</translation>
    </message>
    <message>
        <source>Вариатор к порту не подключен</source>
        <translation>No variator on this port</translation>
    </message>
    <message>
        <source>Загрузка данных окончена, продолжаем процесс инициализации (длительность 5-30 секунд).</source>
        <translation>Data loaded, initialisation continues (5-30 seconds).</translation>
    </message>
    <message>
        <source>Ответ от вариатора получен не был</source>
        <translation>No reply from the variator</translation>
    </message>
    <message>
        <source>Прочитали меньше байт, чем должны были</source>
        <translation>Fewer bytes read than expected</translation>
    </message>
    <message>
        <source>Вариатор подключен и готов к обновлению прошивки</source>
        <translation>Variator connected and ready for the firmware update</translation>
    </message>
    <message>
        <source>Подключиться к вариатору не удалось.</source>
        <translation>Could not connect to the variator.</translation>
    </message>
    <message>
        <source>Вариатор с нужной версией загрузчика обнаружить не удалось.</source>
        <translation>No variator with the right loader version found.</translation>
    </message>
    <message>
        <source>-----Рекомендация:-----</source>
        <translation>-----Advice:-----</translation>
    </message>
    <message>
        <source>Попробуйте отключить питание вариатора,</source>
        <translation>Try switching the variator&apos;s power off,</translation>
    </message>
    <message>
        <source>снова включить и и повторить попытку.</source>
        <translation>then on again, and retry.</translation>
    </message>
    <message>
        <source>Объём прошивки был передан и получен правильный ответ</source>
        <translation>Firmware size sent and the right reply received</translation>
    </message>
    <message>
        <source>Объём прошивки превышает допустимый</source>
        <translation>Firmware size is over the limit</translation>
    </message>
    <message>
        <source>Неверный ответ на передачу объёма прошивки</source>
        <translation>Wrong reply to the firmware size</translation>
    </message>
    <message>
        <source>Был получен ответ</source>
        <translation>Reply received</translation>
    </message>
    <message>
        <source>Не удалось передать размер пакета</source>
        <translation>Could not send the packet size</translation>
    </message>
    <message>
        <source>Ответ от вариатора о размере пакета получен не был</source>
        <translation>No reply from the variator to the packet size</translation>
    </message>
    <message>
        <source>Размер пакета был передан и получен правильный ответ</source>
        <translation>Packet size sent and the right reply received</translation>
    </message>
    <message>
        <source>Размер пакета недопустим</source>
        <translation>Packet size not allowed</translation>
    </message>
    <message>
        <source>Неверный ответ на передачу размера пакета</source>
        <translation>Wrong reply to the packet size</translation>
    </message>
    <message>
        <source>Ответ от вариатора об успешной очистке FLASH получен не был</source>
        <translation>The variator did not confirm that the FLASH was erased</translation>
    </message>
    <message>
        <source>Прочитали меньше байт, чем должны были в подтверждении об очистке FLASH</source>
        <translation>Fewer bytes read than expected in the FLASH erase confirmation</translation>
    </message>
    <message>
        <source>FLASH очищена</source>
        <translation>FLASH erased</translation>
    </message>
    <message>
        <source>FLASH не очищена</source>
        <translation>FLASH not erased</translation>
    </message>
    <message>
        <source>Неверный ответ на запрос об очистке FLASH</source>
        <translation>Wrong reply to the FLASH erase request</translation>
    </message>
    <message>
        <source>Не удалось передать подтверждение того, что прошивка записана верно.</source>
        <translation>Could not send the confirmation that the firmware was written correctly.</translation>
    </message>
    <message>
        <source>Подтверждение от вариатора получено не было.</source>
        <translation>No confirmation from the variator.</translation>
    </message>
    <message>
        <source>Прочитали меньше байт подтверждения, чем должны были</source>
        <translation>Fewer confirmation bytes read than expected</translation>
    </message>
    <message>
        <source>От вариатора было получено подтверждение о целостности прошивки и готовности к её запуску</source>
        <translation>The variator confirmed that the firmware is complete and ready to run</translation>
    </message>
    <message>
        <source>Прошивка вариатора успешно обновлена.</source>
        <translation>Variator firmware updated successfully.</translation>
    </message>
    <message>
        <source>Неверный ответ на подтверждение о правильности</source>
        <translation>Wrong reply to the correctness confirmation</translation>
    </message>
    <message>
        <source>Ход процесса обновления</source>
        <translation>Update progress</translation>
    </message>
    <message>
        <source>Окно служебной информации</source>
        <translation>Service information</translation>
    </message>
    <message>
        <source>Файл прошивки выбран</source>
        <translation>Firmware file chosen</translation>
    </message>
    <message>
        <source>Файл прошивки невозможно открыть!</source>
        <translation>The firmware file cannot be opened!</translation>
    </message>
    <message>
        <source>Файл превышает размер буфера</source>
        <translation>The file is larger than the buffer</translation>
    </message>
    <message>
        <source>Ошибка чтения файла</source>
        <translation>File read error</translation>
    </message>
    <message>
        <source>Достигнут конец файла</source>
        <translation>End of file reached</translation>
    </message>
    <message>
        <source>Размер прошивки равен нулю, или не кратен четырём.</source>
        <translation>The firmware size is zero or not a multiple of four.</translation>
    </message>
    <message>
        <source>Требования к содержимому файла прошивки выполнены.</source>
        <translation>The firmware file content is valid.</translation>
    </message>
    <message>
        <source>Не смогли отправить данные прошивки</source>
        <translation>Could not send the firmware data</translation>
    </message>
    <message>
        <source>Записали меньше байт, чем должны были</source>
        <translation>Fewer bytes written than expected</translation>
    </message>
    <message>
        <source>ConnectionStage 4. Не удалось очистить буферы приема-передачи пакета</source>
        <translation>ConnectionStage 4. Could not purge the packet transmit/receive buffers</translation>
    </message>
    <message>
        <source>Ответные данные прошивки от вариатора получены не были</source>
        <translation>No firmware reply data from the variator</translation>
    </message>
    <message>
        <source>байт прочитано</source>
        <translation>bytes read</translation>
    </message>
    <message>
        <source>Байт не верен</source>
        <translation>Wrong byte</translation>
    </message>
    <message>
        <source>Достигли окончания с подтверждением правильности получения всех пакетов прошивки</source>
        <translation>Finished: every firmware packet confirmed as received correctly</translation>
    </message>
    <message>
        <source>Достигли окончания БЕЗ ПОДТВЕРЖДЕНИЯ правильности получения всех пакетов прошивки</source>
        <translation>Finished WITHOUT CONFIRMATION that every firmware packet was received correctly</translation>
    </message>
    <message>
        <source>Осталось записать байт:</source>
        <translation>Bytes left to write:</translation>
    </message>
    <message>
        <source>Размер файла прошивки (%1 байт) не кратен четырём: такая прошивка не может быть целой. %2</source>
        <translation>The firmware file size (%1 bytes) is not a multiple of four: such a firmware cannot be complete. %2</translation>
    </message>
    <message>
        <source>Файл прошивки больше %1 байт: вариатору будут переданы только первые %1 байт. %2</source>
        <translation>The firmware file is larger than %1 bytes: only the first %1 bytes will go to the variator. %2</translation>
    </message>
    <message>
        <source>Попытка открыть порт %1 не увенчалась успехом</source>
        <translation>Could not open port %1</translation>
    </message>
    <message>
        <source>Открыт порт %1. Выполнен запрос. Ожидаем ответ вариатора.</source>
        <translation>Port %1 open. Request sent. Waiting for the variator to reply.</translation>
    </message>
    <message>
        <source>%1, либо версия загрузчика  %2</source>
        <translation>%1, or the loader version is  %2</translation>
    </message>
    <message>
        <source>%1 байт размер файла прошивки</source>
        <translation>Firmware file size: %1 bytes</translation>
    </message>
    <message>
        <source>Передали вариатору %1 байт. Ждём от вариатора подтверждение получения.</source>
        <translation>Sent %1 bytes to the variator. Waiting for it to confirm receipt.</translation>
    </message>
    <message>
        <source>Получено подтверждение предыдущего пакета. Осталось записать %1 байт из %2</source>
        <translation>Previous packet confirmed. %1 of %2 bytes left to write</translation>
    </message>
</context>
<context>
    <name>link</name>
    <message>
        <source>Дождитесь окончания текущего обмена с вариатором: команда не выполнена.</source>
        <translation>Wait for the current exchange with the variator to finish: command not carried out.</translation>
    </message>
    <message>
        <source>UARTdataExchangeForTovrel: Вариатор не отвечает на запрос чтения или записи</source>
        <translation>UARTdataExchangeForTovrel: the variator does not answer a read or write request</translation>
    </message>
    <message>
        <source>Вариатор не отвечает: три запроса подряд остались без ответа. Обмен прерван, проверьте подключение.</source>
        <translation>The variator does not answer: three requests in a row got no reply. Exchange stopped, check the connection.</translation>
    </message>
    <message>
        <source>Линия искажает данные: на три запроса подряд пришли пакеты с неверной контрольной суммой. Обмен прерван, проверьте кабель и подключение.</source>
        <translation>The line corrupts data: three requests in a row got packets with a bad checksum. Exchange stopped, check the cable and the connection.</translation>
    </message>
    <message>
        <source>Вариатор отвечает с опозданием: три запроса подряд не получили ответа вовремя. Обмен прерван, проверьте кабель и подключение.</source>
        <translation>The variator answers late: three requests in a row got no reply in time. Exchange stopped, check the cable and the connection.</translation>
    </message>
    <message>
        <source>Связь с вариатором потеряна: com-порт перестал отвечать (кабель отключён или адаптер извлечён). Обмен прерван, подключитесь снова.</source>
        <translation>Lost the link to the variator: the COM port stopped responding (cable unplugged or adapter removed). Exchange stopped, connect again.</translation>
    </message>
    <message>
        <source>Не удалось подключиться: com-порт занят другой программой</source>
        <translation>Could not connect: the COM port is in use by another program</translation>
    </message>
    <message>
        <source>Эти com-порты заняты другой программой, закройте её и подключитесь снова: </source>
        <translation>These COM ports are in use by another program, close it and connect again: </translation>
    </message>
    <message>
        <source>Автоматически определить com-порт и подключиться к вариатору не удалось. Вариатор не должен находится в режиме работы по микропереключателям (1-й микропереключатель должен быть отключен). </source>
        <translation>Could not find the COM port and connect to the variator automatically. The variator must not be running on its DIP switches (DIP switch 1 must be off). </translation>
    </message>
    <message>
        <source>UARTdataExchangeForTovrel: Вариатор сообщает о получении пакета с неверной контрольной суммой</source>
        <translation>UARTdataExchangeForTovrel: the variator reports a packet with a bad checksum</translation>
    </message>
    <message>
        <source>UARTdataExchangeForTovrel: На запрос чтения или записи вариатор ответил пакетом(ами) с неверной контрольной суммой</source>
        <translation>UARTdataExchangeForTovrel: the variator answered a read or write request with bad-checksum packet(s)</translation>
    </message>
    <message>
        <source>Подключен</source>
        <translation>Connected</translation>
    </message>
    <message>
        <source>Не подключен</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>Устанавливается подключение, ожидайте</source>
        <translation>Connecting, please wait</translation>
    </message>
    <message>
        <source>Вариатор в режиме смены прошивки</source>
        <translation>Variator in firmware update mode</translation>
    </message>
    <message>
        <source>Вариатор в режиме записи осциллограмм</source>
        <translation>Variator in oscillogram mode</translation>
    </message>
    <message>
        <source>Неверный номер порта</source>
        <translation>Wrong port number</translation>
    </message>
    <message>
        <source>Вариатор уже подключен</source>
        <translation>Variator already connected</translation>
    </message>
    <message>
        <source>Не удалось подключиться</source>
        <translation>Could not connect</translation>
    </message>
    <message>
        <source>Не удалось изменить таймаут 1</source>
        <translation>Could not change timeout 1</translation>
    </message>
    <message>
        <source>Не удалось очистить com-порт.</source>
        <translation>Could not purge the COM port.</translation>
    </message>
    <message>
        <source>Вариатор подключен</source>
        <translation>Variator connected</translation>
    </message>
    <message>
        <source>Не удалось изменить таймаут 2</source>
        <translation>Could not change timeout 2</translation>
    </message>
    <message>
        <source>Компорт открыт. Вариатор находится в режиме обновления прошивки.</source>
        <translation>COM port open. The variator is in firmware update mode.</translation>
    </message>
    <message>
        <source>Не удалось изменить таймаут 3</source>
        <translation>Could not change timeout 3</translation>
    </message>
    <message>
        <source>Компорт открыт. Вариатор находится в режиме записи осциллограмм. Убедитесь, что прошивка осциллографа под нужный тип датчика (индуктивный или Холла) и приступайте к записи осциллограммы.</source>
        <translation>COM port open. The variator is in oscillogram mode. Make sure the oscilloscope firmware suits the sensor type (inductive or Hall) and start recording the oscillogram.</translation>
    </message>
    <message>
        <source>Не удалось изменить таймаут 4</source>
        <translation>Could not change timeout 4</translation>
    </message>
    <message>
        <source>Компорт открыт. Вариатор не подключен</source>
        <translation>COM port open. Variator not connected</translation>
    </message>
    <message>
        <source>Попытка подключения к com-порту </source>
        <translation>Trying COM port </translation>
    </message>
    <message>
        <source>Получили ответ от com-порта %1 | %2</source>
        <translation>Reply from COM port %1 | %2</translation>
    </message>
    <message>
        <source>Подключились к com-порту %1</source>
        <translation>Connected to COM port %1</translation>
    </message>
    <message>
        <source>Попытка подключения к com-порту %1</source>
        <translation>Trying COM port %1</translation>
    </message>
    <message>
        <source>Вторая попытка подключения к com-порту %1</source>
        <translation>Second try on COM port %1</translation>
    </message>
    <message>
        <source>Третья попытка подключения к com-порту %1</source>
        <translation>Third try on COM port %1</translation>
    </message>
    <message>
        <source>Отсоединяемся от com-порта %1</source>
        <translation>Disconnecting from COM port %1</translation>
    </message>
    <message>
        <source>Нет прав на доступ к %1. Добавьте пользователя в группу dialout: sudo usermod -aG dialout $USER, затем выйдите из системы и войдите снова.</source>
        <translation>No permission to open %1. Add the user to the dialout group: sudo usermod -aG dialout $USER, then log out and back in.</translation>
    </message>
    <message>
        <source>%1номер слишком велик</source>
        <translation>%1number too high</translation>
    </message>
    <message>
        <source>%1устройство не назначено</source>
        <translation>%1no device assigned</translation>
    </message>
    <message>
        <source>%1%2 — не найден</source>
        <translation>%1%2 — not found</translation>
    </message>
    <message>
        <source>%1%2 — %3</source>
        <translation>%1%2 — %3</translation>
    </message>
    <message>
        <source>%1%2 — недоступен: %3</source>
        <translation>%1%2 — unavailable: %3</translation>
    </message>
    <message>
        <source>Начальная конфигурация</source>
        <translation>Start-up</translation>
    </message>
    <message>
        <source>Опции подключения</source>
        <translation>Connection options</translation>
    </message>
    <message>
        <source>Продолжить</source>
        <translation>Continue</translation>
    </message>
</context>
<context>
    <name>live</name>
    <message>
        <source>Рабочая точка</source>
        <translation>Operating point</translation>
    </message>
    <message>
        <source>Следить за двигателем</source>
        <translation>Follow the engine</translation>
    </message>
    <message>
        <source>След</source>
        <translation>Trail</translation>
    </message>
    <message>
        <source>Без следа</source>
        <translation>No trail</translation>
    </message>
    <message>
        <source>%1 с</source>
        <translation>%1 s</translation>
    </message>
</context>
<context>
    <name>maps</name>
    <message>
        <source>Карта УОЗ для газа</source>
        <translation>LPG advance map</translation>
    </message>
    <message>
        <source>Карта УОЗ для бензина</source>
        <translation>Petrol advance map</translation>
    </message>
    <message>
        <source>Карта TPS для газа</source>
        <translation>LPG TPS map</translation>
    </message>
    <message>
        <source>Карта TPS для бензина</source>
        <translation>Petrol TPS map</translation>
    </message>
    <message>
        <source>Карта TPS для газа </source>
        <translation>LPG TPS map </translation>
    </message>
    <message>
        <source>Таблица УОЗ для газа</source>
        <translation>LPG advance table</translation>
    </message>
    <message>
        <source>Таблица УОЗ для бензина</source>
        <translation>Petrol advance table</translation>
    </message>
    <message>
        <source>Таблица TPS для газа</source>
        <translation>LPG TPS table</translation>
    </message>
    <message>
        <source>Таблица TPS для бензина</source>
        <translation>Petrol TPS table</translation>
    </message>
    <message>
        <source>Изменение карты с большим шагом</source>
        <translation>Big steps</translation>
    </message>
    <message>
        <source>Двигать всю карту</source>
        <translation>Move the whole map</translation>
    </message>
    <message>
        <source>Отрицательные значения</source>
        <translation>Negative values</translation>
    </message>
    <message>
        <source>Шаблон данных</source>
        <translation>Default maps</translation>
    </message>
    <message>
        <source>3D карта УОЗ для газа</source>
        <translation>LPG advance 3D</translation>
    </message>
    <message>
        <source>3D карта УОЗ для бензина</source>
        <translation>Petrol advance 3D</translation>
    </message>
    <message>
        <source>Построение трёхмерных карт опережения зажигания для газа</source>
        <translation>Draw the 3D ignition advance maps for LPG</translation>
    </message>
    <message>
        <source>Перед записью данных в вариатоор, завершите чтение параметров реального времени.</source>
        <translation>Stop the live data reading before writing to the variator.</translation>
    </message>
    <message>
        <source>Перед записью данных в вариатоор, завершите чтение текущего значения TPS.</source>
        <translation>Stop the TPS reading before writing to the variator.</translation>
    </message>
    <message>
        <source>Чтение газовой карты из вариатора</source>
        <translation>Reading the LPG map from the variator</translation>
    </message>
    <message>
        <source>Запись газовой карты в вариатор</source>
        <translation>Writing the LPG map to the variator</translation>
    </message>
    <message>
        <source>WritePLGMap: функция UARTdataExchangeForTovrel возвращает неверное значение</source>
        <translation>WritePLGMap: UARTdataExchangeForTovrel returned a wrong value</translation>
    </message>
    <message>
        <source>Чтение бензиновой карты из вариатора</source>
        <translation>Reading the petrol map from the variator</translation>
    </message>
    <message>
        <source>Запись бензиновой карты в вариатор</source>
        <translation>Writing the petrol map to the variator</translation>
    </message>
    <message>
        <source>WritePetrolMap: функция UARTdataExchangeForTovrel возвращает неверное значение</source>
        <translation>WritePetrolMap: UARTdataExchangeForTovrel returned a wrong value</translation>
    </message>
    <message>
        <source>Чтение газовой карты TPS</source>
        <translation>Reading the LPG TPS map</translation>
    </message>
    <message>
        <source>Запись газовой карты TPS в вариатор</source>
        <translation>Writing the LPG TPS map to the variator</translation>
    </message>
    <message>
        <source>WritePLGLoadDependenceMap: функция UARTdataExchangeForTovrel возвращает неверное значение</source>
        <translation>WritePLGLoadDependenceMap: UARTdataExchangeForTovrel returned a wrong value</translation>
    </message>
    <message>
        <source>Чтение бензиновой карты TPS</source>
        <translation>Reading the petrol TPS map</translation>
    </message>
    <message>
        <source>Запись бензиновой карты TPS в вариатор</source>
        <translation>Writing the petrol TPS map to the variator</translation>
    </message>
    <message>
        <source>WritePetrolLoadDependenceMap: функция UARTdataExchangeForTovrel возвращает неверное значение</source>
        <translation>WritePetrolLoadDependenceMap: UARTdataExchangeForTovrel returned a wrong value</translation>
    </message>
    <message>
        <source>газовая карта</source>
        <translation>the LPG map</translation>
    </message>
    <message>
        <source>бензиновая карта</source>
        <translation>the petrol map</translation>
    </message>
    <message>
        <source>газовая карта TPS</source>
        <translation>the LPG TPS map</translation>
    </message>
    <message>
        <source>бензиновая карта TPS</source>
        <translation>the petrol TPS map</translation>
    </message>
    <message>
        <source>Предварительная запись карты в вариатор без сохранения при отключении</source>
        <translation>Try the map in the variator (not kept after power-off)</translation>
    </message>
    <message>
        <source>(текст)</source>
        <translation>(text)</translation>
    </message>
    <message>
        <source>Запись отменена, в вариатор ничего не отправлено: %1 (%2), точка %3 из %4 (x = %5) ещё не прочитана из вариатора.</source>
        <translation>Write cancelled, nothing sent to the variator: %1 (%2), point %3 of %4 (x = %5) has not been read from the variator yet.</translation>
    </message>
    <message>
        <source>Запись отменена, в вариатор ничего не отправлено: %1 (%2), точка %3 из %4 (x = %5): значение %6 вне допустимых пределов от -%7 до %7.</source>
        <translation>Write cancelled, nothing sent to the variator: %1 (%2), point %3 of %4 (x = %5): value %6 is outside the allowed range -%7 to %7.</translation>
    </message>
    <message>
        <source>Файл %1 слишком велик для файла конфигурации: %2 байт, допустимо не больше %3.</source>
        <translation>File %1 is too large for a configuration file: %2 bytes, at most %3 allowed.</translation>
    </message>
    <message>
        <source>Файл %1 не является документом XML: %2 (строка %3, позиция %4).</source>
        <translation>File %1 is not an XML document: %2 (line %3, column %4).</translation>
    </message>
    <message>
        <source>Файл %1 не является файлом конфигурации вариатора: в корневом элементе &quot;%2&quot; %3 дочерних узлов, нужно %4 (Settings и четыре карты).</source>
        <translation>File %1 is not a variator configuration file: the root element &quot;%2&quot; has %3 child nodes, %4 needed (Settings and four maps).</translation>
    </message>
    <message>
        <source>карты %1 (узел %2 корневого элемента)</source>
        <translation>of map %1 (node %2 of the root element)</translation>
    </message>
    <message>
        <source>%1: текст &quot;%2&quot; и 80 точек</source>
        <translation>%1: the text &quot;%2&quot; and 80 points</translation>
    </message>
    <message>
        <source>%1: 80 точек</source>
        <translation>%1: 80 points</translation>
    </message>
    <message>
        <source>Файл конфигурации %1: у %2 %3 дочерних узлов, нужно %4.</source>
        <translation>Configuration file %1: %2 has %3 child nodes, %4 needed.</translation>
    </message>
    <message>
        <source>число вне допустимого диапазона: </source>
        <translation>number out of range: </translation>
    </message>
    <message>
        <source>нет числа: </source>
        <translation>no number: </translation>
    </message>
    <message>
        <source>не десятичное число: </source>
        <translation>not a decimal number: </translation>
    </message>
    <message>
        <source>Файл конфигурации %1: в точке %2 %3 %4%5.</source>
        <translation>Configuration file %1: point %2 %3 %4%5.</translation>
    </message>
    <message>
        <source>Не удалось открыть файл %1: %2.</source>
        <translation>Could not open file %1: %2.</translation>
    </message>
    <message>
        <source>%1 не является файлом.</source>
        <translation>%1 is not a file.</translation>
    </message>
    <message>
        <source>Не удалось прочитать файл %1.</source>
        <translation>Could not read file %1.</translation>
    </message>
    <message>
        <source>Не удалось сохранить файл %1: %2</source>
        <translation>Could not save file %1: %2</translation>
    </message>
    <message>
        <source>%1 (%2), точка %3 из %4</source>
        <translation>%1 (%2), point %3 of %4</translation>
    </message>
    <message>
        <source>Не все точки карт прочитаны из вариатора, первая из них: %1. Сохранить файл всё равно?</source>
        <translation>Not every map point has been read from the variator, the first one missing: %1. Save the file anyway?</translation>
    </message>
    <message>
        <source>Файл не сохранён: %1 не прочитана из вариатора.</source>
        <translation>File not saved: %1 has not been read from the variator.</translation>
    </message>
</context>
<context>
    <name>oscilloscope</name>
    <message>
        <source>Подключить к вариатору и отобразить осциллограмму</source>
        <translation>Connect to the variator and show the oscillogram</translation>
    </message>
    <message>
        <source>Идёт запись осциллограммы, ожидайте</source>
        <translation>Recording the oscillogram, please wait</translation>
    </message>
    <message>
        <source>Приступаем к записи осциллограмм. Процесс длится около минуты.</source>
        <translation>Starting the oscillogram recording. It takes about a minute.</translation>
    </message>
    <message>
        <source>Вариатор необходимо обновить прошивкой осциллографа.</source>
        <translation>The variator needs the oscilloscope firmware.</translation>
    </message>
    <message>
        <source>Вариатор не подключен.</source>
        <translation>Variator not connected.</translation>
    </message>
    <message>
        <source>Отправили запрос вариатору, 60 секунд ждём поступление первого импульса.</source>
        <translation>Request sent to the variator, waiting 60 seconds for the first pulse.</translation>
    </message>
    <message>
        <source>Данные от вариатора поступают. Ждите окончания записи.</source>
        <translation>Data coming in from the variator. Wait for the recording to finish.</translation>
    </message>
    <message>
        <source>Вариатор прекратил отправку данных</source>
        <translation>The variator stopped sending data</translation>
    </message>
    <message>
        <source>Запись оциллограммы завершена вариатором.</source>
        <translation>Oscillogram recording ended by the variator.</translation>
    </message>
    <message>
        <source>Запись оциллограммы завершена.</source>
        <translation>Oscillogram recording finished.</translation>
    </message>
    <message>
        <source>Запись осциллограммы отменена.</source>
        <translation>Oscillogram recording cancelled.</translation>
    </message>
    <message>
        <source>Вариатор 60 секунд не присылает кадров инициализации. Запись осциллограммы прервана.</source>
        <translation>No initialisation frames from the variator for 60 seconds. Oscillogram recording stopped.</translation>
    </message>
    <message>
        <source>Вариатор не прекращает передачу данных. Запись осциллограммы прервана.</source>
        <translation>The variator does not stop sending data. Oscillogram recording stopped.</translation>
    </message>
    <message>
        <source>Связь с вариатором потеряна. Запись осциллограммы прервана.</source>
        <translation>Lost the link to the variator. Oscillogram recording stopped.</translation>
    </message>
    <message>
        <source>1.1. При равномерной работе двигателя на холостом ходу, нажмите на кнопку &quot;Подключить к вариатору и отобразить </source>
        <translation>1.1. With the engine idling steadily, press the button &quot;Connect to the variator and show the </translation>
    </message>
    <message>
        <source>осциллограмму&quot; для записи осциллограммы в файл &quot;signal.txt&quot;, находящийся в той же директории, что и файл </source>
        <translation>oscillogram&quot; to record the oscillogram into the file &quot;signal.txt&quot; in the same folder as the </translation>
    </message>
    <message>
        <source>терминальной программы. По окончании записи двигатель может заглохнуть. </source>
        <translation>terminal program. The engine may stall when the recording ends. </translation>
    </message>
    <message>
        <source>       ---------  Дополнительно (необязательно):  -----------</source>
        <translation>       ---------  Extra (optional):  -----------</translation>
    </message>
    <message>
        <source>1.1. Заглушите двигатель. (Питание на вариатор не должно пропадать, иначе подключиться к вариатору будет невозможно).</source>
        <translation>1.1. Stop the engine. (Keep the variator powered, or you will not be able to connect to it.)</translation>
    </message>
    <message>
        <source>1.1. Выберите опцию &quot;32 bit mode&quot; в правом нижнем углу, установив соответствующую галочку.</source>
        <translation>1.1. Tick the &quot;32 bit mode&quot; option in the bottom right corner.</translation>
    </message>
    <message>
        <source>1.1. Нажмите на кнопку &quot;Подключить к вариатору и отобразить осциллограмму&quot;. </source>
        <translation>1.1. Press the button &quot;Connect to the variator and show the oscillogram&quot;. </translation>
    </message>
    <message>
        <source>1.2. Запустите двигатель. </source>
        <translation>1.2. Start the engine. </translation>
    </message>
    <message>
        <source>1.3. Дождитесь окончания записи. Двигатель при этом может заглохнуть. Если нет, заглушите двигатель. </source>
        <translation>1.3. Wait for the recording to finish. The engine may stall; if it does not, stop it. </translation>
    </message>
    <message>
        <source>1.4. Переименуйте файл осциллограммы &quot;signal32.txt&quot; в файл &quot;start.signal32.txt&quot;.</source>
        <translation>1.4. Rename the oscillogram file &quot;signal32.txt&quot; to &quot;start.signal32.txt&quot;.</translation>
    </message>
    <message>
        <source>2.1. Повторно запустите двигатель.</source>
        <translation>2.1. Start the engine again.</translation>
    </message>
    <message>
        <source>Выберите опцию &quot;32 bit mode&quot; в правом нижнем углу, установив соответствующую галочку.</source>
        <translation>Tick the &quot;32 bit mode&quot; option in the bottom right corner.</translation>
    </message>
    <message>
        <source>2.2. При равномерной работе двигателя на холостых оборатах, нажмите на кнопку &quot;подключить к вариатору и </source>
        <translation>2.2. With the engine idling steadily, press the button &quot;Connect to the variator and </translation>
    </message>
    <message>
        <source>отобразить осциллограмму&quot;.   </source>
        <translation>show the oscillogram&quot;.   </translation>
    </message>
    <message>
        <source>2.3. По окончанию записи, осциллограмма будет сохранена в файле signal32.txt.</source>
        <translation>2.3. When the recording ends, the oscillogram is saved in the file signal32.txt.</translation>
    </message>
    <message>
        <source>для детального анализа.</source>
        <translation>for a detailed analysis.</translation>
    </message>
    <message>
        <source>1.2. Отправьте файл &quot;signal.txt&quot; на адрес %1 для детального анализа.</source>
        <translation>1.2. Send the file &quot;signal.txt&quot; to %1 for a detailed analysis.</translation>
    </message>
    <message>
        <source>Отправьте файлы &quot;signal.txt&quot;, &quot;start.signal32.txt&quot; и signal32.txt на адрес %1</source>
        <translation>Send the files &quot;signal.txt&quot;, &quot;start.signal32.txt&quot; and signal32.txt to %1</translation>
    </message>
    <message>
        <source>Прошли %1 шаг инициализации. Ожидайте...</source>
        <translation>Initialisation step %1 passed. Please wait...</translation>
    </message>
    <message>
        <source>Финально прошли %1 шаг инициализации. Ожидайте...</source>
        <translation>Final initialisation step %1 passed. Please wait...</translation>
    </message>
    <message>
        <source>Байт принят неверно. Должен быть 0xAA, а приняли: %1 !!!</source>
        <translation>Wrong byte received. Expected 0xAA, got: %1 !!!</translation>
    </message>
    <message>
        <source>Записали %1 периодов осциллограммы. Ждите окончания записи.</source>
        <translation>Recorded %1 oscillogram periods. Wait for the recording to finish.</translation>
    </message>
    <message>
        <source>Не удалось записать файл осциллограммы &quot;%1&quot;: %2. Запись осциллограммы прервана, прежний файл не изменён.</source>
        <translation>Could not write the oscillogram file &quot;%1&quot;: %2. Oscillogram recording stopped, the previous file is unchanged.</translation>
    </message>
    <message>
        <source>Опция &quot;32 bit mode&quot; определяет  режим записи осциллограммы. %1</source>
        <translation>The &quot;32 bit mode&quot; option sets  the oscillogram recording mode. %1</translation>
    </message>
</context>
<context>
    <name>restore</name>
    <message>
        <source>Файл %1 создан другой программой: корневой элемент &quot;%2&quot; вместо &quot;variator60_2&quot;.</source>
        <translation>File %1 was made by another program: its root element is &quot;%2&quot;, not &quot;variator60_2&quot;.</translation>
    </message>
    <message>
        <source>%1
Точка восстановления не принята, ничего не записано.</source>
        <translation>%1
Restore point refused, nothing was written.</translation>
    </message>
    <message>
        <source>Не удалось сохранить точку восстановления в папке %1: %2</source>
        <translation>Could not save a restore point in the folder %1: %2</translation>
    </message>
    <message>
        <source>Запись в EEPROM не выполнена: без точки восстановления изменения остались только в рабочей памяти вариатора.</source>
        <translation>EEPROM write not done: without a restore point the changes stay in the variator&apos;s working memory only.</translation>
    </message>
    <message>
        <source>Файл не загружен: без точки восстановления карты остались прежними.</source>
        <translation>File not loaded: without a restore point the maps are left as they were.</translation>
    </message>
    <message>
        <source>Восстановление не выполнено: без точки восстановления карты остались прежними.</source>
        <translation>Restore not done: without a restore point the maps are left as they were.</translation>
    </message>
    <message>
        <source>Обновление прошивки не начато: резервная копия конфигурации не сохранена, вариатор не переключался.</source>
        <translation>Firmware update not started: the configuration backup was not saved, the variator was not switched.</translation>
    </message>
    <message>
        <source>Не удалось прочитать конфигурацию вариатора для резервной копии перед обновлением прошивки. Обновить прошивку без резервной копии?</source>
        <translation>Could not read the variator&apos;s configuration for a backup before the firmware update. Update the firmware without a backup?</translation>
    </message>
    <message>
        <source>Резервная копия конфигурации перед обновлением прошивки: %1</source>
        <translation>Configuration backup before the firmware update: %1</translation>
    </message>
    <message>
        <source>при записи в EEPROM</source>
        <translation>at the EEPROM write</translation>
    </message>
    <message>
        <source>перед загрузкой файла %1</source>
        <translation>before loading the file %1</translation>
    </message>
    <message>
        <source>перед восстановлением из %1</source>
        <translation>before restoring from %1</translation>
    </message>
    <message>
        <source>перед обновлением прошивки</source>
        <translation>before the firmware update</translation>
    </message>
    <message>
        <source>%1: прошивка обновлена успешно.</source>
        <translation>%1: firmware updated successfully.</translation>
    </message>
    <message>
        <source>%1: прошивка не обновлена.</source>
        <translation>%1: firmware NOT updated.</translation>
    </message>
    <message>
        <source>%1 Конфигурация вариатора отличается от резервной копии %2:
%3
Восстановить её из резервной копии?</source>
        <translation>%1 The variator&apos;s configuration differs from the backup %2:
%3
Restore it from the backup?</translation>
    </message>
    <message>
        <source>Конфигурация восстановлена из %1 и записана в EEPROM.</source>
        <translation>Configuration restored from %1 and written to EEPROM.</translation>
    </message>
    <message>
        <source>После восстановления конфигурация вариатора всё ещё отличается от %1:
%2</source>
        <translation>After the restore the variator&apos;s configuration still differs from %1:
%2</translation>
    </message>
    <message>
        <source>%1: отличаются точек: %2, наибольшая разница %3, средняя %4</source>
        <translation>%1: %2 points differ, largest difference %3, mean %4</translation>
    </message>
    <message>
        <source>%1: %2 и %3</source>
        <translation>%1: %2 and %3</translation>
    </message>
    <message>
        <source>нет</source>
        <translation>none</translation>
    </message>
    <message>
        <source>Время задержки старта</source>
        <translation>Start delay time</translation>
    </message>
    <message>
        <source>АЦП ДПДЗ при минимальной нагрузке</source>
        <translation>TPS ADC at minimum load</translation>
    </message>
    <message>
        <source>АЦП ДПДЗ при максимальной нагрузке</source>
        <translation>TPS ADC at maximum load</translation>
    </message>
    <message>
        <source>Отличий нет.</source>
        <translation>No differences.</translation>
    </message>
    <message>
        <source>Восстановление остановлено: вариатор не подтвердил точки ДПДЗ, в EEPROM ничего не записано.</source>
        <translation>Restore stopped: the variator did not confirm the TPS points, nothing was written to EEPROM.</translation>
    </message>
    <message>
        <source>Сравнение с %1:
%2</source>
        <translation>Compared with %1:
%2</translation>
    </message>
    <message>
        <source>Взять карту «%1» из %2?</source>
        <translation>Take the map &quot;%1&quot; from %2?</translation>
    </message>
    <message>
        <source>Взять «%1» = %2 из %3?</source>
        <translation>Take &quot;%1&quot; = %2 from %3?</translation>
    </message>
    <message>
        <source>вариатор</source>
        <translation>the connected variator</translation>
    </message>
    <message>
        <source>Конфигурацию вариатора прочитать не удалось: сравнение не выполнено.</source>
        <translation>Could not read the variator&apos;s configuration: no compare was made.</translation>
    </message>
    <message>
        <source>Записать конфигурацию из %1 в вариатор и в EEPROM?</source>
        <translation>Write the configuration from %1 to the variator and to EEPROM?</translation>
    </message>
</context>
<context>
    <name>settings</name>
    <message>
        <source>Несколько секунд считывать параметры реального времени</source>
        <translation>Read live data for a few seconds</translation>
    </message>
    <message>
        <source>Обязательно!!! Повторно нажмите для завершения считывания перед дальнейшими действиями!!!</source>
        <translation>Important!!! Press again to stop reading before doing anything else!!!</translation>
    </message>
    <message>
        <source>Вариатор отключен</source>
        <translation>Variator disconnected</translation>
    </message>
    <message>
        <source>Чтение параметров реального времени не запущено: сначала завершите фиксацию значений TPS (повторно нажмите кнопку фиксации).</source>
        <translation>Live data reading not started: first stop the TPS tracking (press the tracking button again).</translation>
    </message>
    <message>
        <source>Начать фиксировать минимальное и максимальное значения. </source>
        <translation>Start tracking the lowest and highest values. </translation>
    </message>
    <message>
        <source>Идёт сохранение...</source>
        <translation>Saving...</translation>
    </message>
    <message>
        <source>Сохранить в энергонезависимую память EEPROM вариатора как значение при максимальной нагрузке.</source>
        <translation>Store in the variator&apos;s EEPROM as the full-load value.</translation>
    </message>
    <message>
        <source>Сохранить в энергонезависимую память EEPROM вариатора как значение при минимальной нагрузке.</source>
        <translation>Store in the variator&apos;s EEPROM as the no-load value.</translation>
    </message>
    <message>
        <source>Фиксация значений TPS не запущена: сначала завершите чтение параметров реального времени (повторно нажмите кнопку считывания).</source>
        <translation>TPS tracking not started: first stop the live data reading (press the reading button again).</translation>
    </message>
    <message>
        <source>SaveADCManualValue: функция UARTdataExchangeForTovrel возвращает неверное значение</source>
        <translation>SaveADCManualValue: UARTdataExchangeForTovrel returned a wrong value</translation>
    </message>
    <message>
        <source>SaveADCMaxButtonClick: функция UARTdataExchangeForTovrel возвращает неверное значение</source>
        <translation>SaveADCMaxButtonClick: UARTdataExchangeForTovrel returned a wrong value</translation>
    </message>
    <message>
        <source>SaveADCMinButtonClick: функция UARTdataExchangeForTovrel возвращает неверное значение</source>
        <translation>SaveADCMinButtonClick: UARTdataExchangeForTovrel returned a wrong value</translation>
    </message>
    <message>
        <source>ГАЗ</source>
        <translation>LPG</translation>
    </message>
    <message>
        <source>БЕНЗИН</source>
        <translation>PETROL</translation>
    </message>
    <message>
        <source>ВЫПОЛНЕНА</source>
        <translation>LOCKED</translation>
    </message>
    <message>
        <source>БОЛЬШЕ ИМПУЛЬСОВ</source>
        <translation>TOO MANY PULSES</translation>
    </message>
    <message>
        <source>МЕНЬШЕ ИМПУЛЬСОВ</source>
        <translation>TOO FEW PULSES</translation>
    </message>
    <message>
        <source>Первый микроперключатель включён, поэтому вариатор работает по переключателям, игнорируя внутренние таблицы. Для корректной работы с терминальной программой он должен быть выключен.</source>
        <translation>DIP switch 1 is on, so the variator runs on its switches and ignores its internal maps. Switch it off to work with the terminal program.</translation>
    </message>
    <message>
        <source>Прошивка с ограниченной функциональностью. Требуется обновление.</source>
        <translation>Limited firmware. An update is needed.</translation>
    </message>
    <message>
        <source>Требуется заново обновить прошивку.</source>
        <translation>The firmware must be flashed again.</translation>
    </message>
    <message>
        <source>Настройки вариатора</source>
        <translation>Variator settings</translation>
    </message>
    <message>
        <source>Настраиваемые параметры, хранящиеся в энергонезависимой памяти вариатора</source>
        <translation>Settings kept in the variator&apos;s EEPROM</translation>
    </message>
    <message>
        <source>Чтение параметров из EEPROM вариатора</source>
        <translation>Read settings from the variator EEPROM</translation>
    </message>
    <message>
        <source>Сохранение параметров в EEPROM вариатора</source>
        <translation>Save settings to the variator EEPROM</translation>
    </message>
    <message>
        <source>Время от момента срабатывания газового клапана до включения опережения зажигания, секунд</source>
        <translation>Delay from the LPG valve opening to the ignition advance coming in, seconds</translation>
    </message>
    <message>
        <source>25 секунд - максимум.</source>
        <translation>25 seconds at most.</translation>
    </message>
    <message>
        <source>Значение ADC сигнала TPS  при максимальной нагрузке</source>
        <translation>TPS ADC value  at full load</translation>
    </message>
    <message>
        <source>Значение ADC сигнала TPS  при минимальной нагрузке</source>
        <translation>TPS ADC value  at no load</translation>
    </message>
    <message>
        <source>время включения опережения</source>
        <translation>advance start delay</translation>
    </message>
    <message>
        <source>Из вариатора скопировано 9 журналов: следующие журналы в этом сеансе программы не копируются. Чтобы скопировать их, перезапустите программу.</source>
        <translation>9 logs copied from the variator: further logs are not copied in this program session. Restart the program to copy them.</translation>
    </message>
    <message>
        <source>%1% Карта углов зависимости от оборотов передаётся без изменения</source>
        <translation>%1% Advance-by-rpm map applied unchanged</translation>
    </message>
    <message>
        <source>%1% По сигналу TPS углы обнуляем</source>
        <translation>%1% Advance zeroed by the TPS signal</translation>
    </message>
    <message>
        <source>%1% </source>
        <translation>%1% </translation>
    </message>
    <message>
        <source>%1% По сигналу TPS ЗНАК ОПЕРЕЖЕНИЯ ИНВЕРТИРОВАН</source>
        <translation>%1% ADVANCE SIGN INVERTED by the TPS signal</translation>
    </message>
    <message>
        <source>%1 град (опережение зажигания)</source>
        <translation>%1 deg (ignition advance)</translation>
    </message>
    <message>
        <source>%1 град (опережение не вносится)</source>
        <translation>%1 deg (no advance added)</translation>
    </message>
    <message>
        <source>%1 град (запаздывание зажигания)</source>
        <translation>%1 deg (ignition retard)</translation>
    </message>
    <message>
        <source>%1 об/мин</source>
        <translation>%1 rpm</translation>
    </message>
    <message>
        <source>Добавление нового каталога вызвало ошибку : %1</source>
        <translation>Creating the new folder failed with error : %1</translation>
    </message>
    <message>
        <source>Папка программы закрыта для записи, журналы вариатора сохраняются в папке %1</source>
        <translation>The program folder is read-only, variator logs are saved in the folder %1</translation>
    </message>
    <message>
        <source>%1 (%2): точки %3</source>
        <translation>%1 (%2): points %3</translation>
    </message>
    <message>
        <source>Вариатор не подтвердил запись: %1. Сохранить параметры в EEPROM всё равно?</source>
        <translation>The variator did not confirm the write: %1. Save the settings to EEPROM anyway?</translation>
    </message>
    <message>
        <source>Параметры не сохранены в EEPROM: вариатор не подтвердил запись (%1).</source>
        <translation>Settings not saved to EEPROM: the variator did not confirm the write (%1).</translation>
    </message>
    <message>
        <source>Не удалось записать файл журнала: %1</source>
        <translation>Could not write the log file: %1</translation>
    </message>
    <message>
        <source>Журнал не скопирован: вариатор не ответил на чтение записи журнала. Файл не создан. Журнал № %1</source>
        <translation>Log not copied: the variator did not answer a log record read. No file created. Log No. %1</translation>
    </message>
</context>
<context>
    <name>ui</name>
    <message>
        <source>Настройки вариатора</source>
        <translation>Variator settings</translation>
    </message>
    <message>
        <source>Карта УОЗ для газа</source>
        <translation>LPG advance map</translation>
    </message>
    <message>
        <source>Таблица УОЗ для газа</source>
        <translation>LPG advance table</translation>
    </message>
    <message>
        <source>Карта УОЗ для бензина</source>
        <translation>Petrol advance map</translation>
    </message>
    <message>
        <source>Таблица УОЗ для бензина</source>
        <translation>Petrol advance table</translation>
    </message>
    <message>
        <source>Карта TPS для газа </source>
        <translation>LPG TPS map </translation>
    </message>
    <message>
        <source>Таблица TPS для газа</source>
        <translation>LPG TPS table</translation>
    </message>
    <message>
        <source>Карта TPS для бензина</source>
        <translation>Petrol TPS map</translation>
    </message>
    <message>
        <source>Таблица TPS для бензина</source>
        <translation>Petrol TPS table</translation>
    </message>
    <message>
        <source>3D карта УОЗ для газа</source>
        <translation>LPG advance 3D</translation>
    </message>
    <message>
        <source>3D карта УОЗ для бензина</source>
        <translation>Petrol advance 3D</translation>
    </message>
    <message>
        <source>Обновление прошивки</source>
        <translation>Firmware update</translation>
    </message>
    <message>
        <source>Справка по программе</source>
        <translation>Program help</translation>
    </message>
    <message>
        <source>Запись осциллограмм</source>
        <translation>Oscilloscope</translation>
    </message>
    <message>
        <source>Дополнительные настройки TPS</source>
        <translation>TPS setup</translation>
    </message>
    <message>
        <source>Сохранение параметров в EEPROM вариатора</source>
        <translation>Save settings to the variator EEPROM</translation>
    </message>
    <message>
        <source>Чтение параметров из EEPROM вариатора</source>
        <translation>Read settings from the variator EEPROM</translation>
    </message>
    <message>
        <source>COM порт</source>
        <translation>COM port</translation>
    </message>
    <message>
        <source>Процесс обмена данными</source>
        <translation>Data exchange in progress</translation>
    </message>
    <message>
        <source>Не подключен</source>
        <translation>Not connected</translation>
    </message>
    <message>
        <source>Шаблон данных</source>
        <translation>Default maps</translation>
    </message>
    <message>
        <source>Подключение</source>
        <translation>Connection</translation>
    </message>
    <message>
        <source>Подключиться</source>
        <translation>Connect</translation>
    </message>
    <message>
        <source>Автовыбор</source>
        <translation>Find automatically</translation>
    </message>
    <message>
        <source>Отключиться</source>
        <translation>Disconnect</translation>
    </message>
    <message>
        <source>Файл</source>
        <translation>File</translation>
    </message>
    <message>
        <source>Открыть</source>
        <translation>Open</translation>
    </message>
    <message>
        <source>Сохранить</source>
        <translation>Save</translation>
    </message>
    <message>
        <source>Обновление</source>
        <translation>Update</translation>
    </message>
    <message>
        <source>Справка</source>
        <translation>Help</translation>
    </message>
    <message>
        <source>Идёт обновление прошивки вариатора. Закрыть программу можно только после его окончания, иначе вариатор останется в режиме загрузчика.</source>
        <translation>The variator firmware is being updated. The program can close only when the update has finished, or the variator stays in its loader.</translation>
    </message>
    <message>
        <source>Идёт запись в вариатор. Программа закроется, как только запись и сохранение закончатся.</source>
        <translation>Writing to the variator. The program closes as soon as the write and the EEPROM save have finished.</translation>
    </message>
    <message>
        <source>Да</source>
        <translation>Yes</translation>
    </message>
    <message>
        <source>Нет</source>
        <translation>No</translation>
    </message>
    <message>
        <source>устройство не назначено</source>
        <translation>no device assigned</translation>
    </message>
    <message>
        <source>номер слишком велик</source>
        <translation>number too high</translation>
    </message>
    <message>
        <source>Демонстрация: имитатор вариатора на COM%1 (с двигателем и загрузчиком), прошивка осциллографа на COM%2, в %3.
Образ прошивки для страницы обновления: %4</source>
        <translation>Demo: simulated variator on COM%1 (with engine and loader), oscilloscope firmware on COM%2, in %3.
Firmware image for the update page: %4</translation>
    </message>
    <message>
        <source>Карта TPS для газа</source>
        <translation>LPG TPS map</translation>
    </message>
    <message>
        <source>Скорость вращения коленвала (об/мин)</source>
        <translation>Crankshaft speed (rpm)</translation>
    </message>
    <message>
        <source>Вносимый угол опережения зажигания (в градусах).</source>
        <translation>Ignition advance added (degrees).</translation>
    </message>
    <message>
        <source>Нажатие на педаль газа.      0-педаль полностью отпущена.     80-педаль полностью нажата.</source>
        <translation>Throttle pedal position.      0 - pedal released.     80 - pedal fully pressed.</translation>
    </message>
    <message>
        <source>(100 - берём 100% от угла из карты УОЗ от оборотов)</source>
        <translation>(100 - take 100% of the angle from the advance-by-rpm map)</translation>
    </message>
    <message>
        <source>Отрицательные значения</source>
        <translation>Negative values</translation>
    </message>
    <message>
        <source>Изменение карты с большим шагом</source>
        <translation>Big steps</translation>
    </message>
    <message>
        <source>Двигать всю карту</source>
        <translation>Move the whole map</translation>
    </message>
    <message>
        <source>Частота вращения двигателя (об/мин)</source>
        <translation>Engine speed (rpm)</translation>
    </message>
    <message>
        <source>Величина УОЗ</source>
        <translation>Ignition advance</translation>
    </message>
    <message>
        <source>Построение трёхмерных карт опережения зажигания для бензина</source>
        <translation>Draw the 3D ignition advance maps for petrol</translation>
    </message>
    <message>
        <source>Построение трёхмерных карт опережения зажигания для газа</source>
        <translation>Draw the 3D ignition advance maps for LPG</translation>
    </message>
    <message>
        <source>Настраиваемые параметры, хранящиеся в энергонезависимой памяти вариатора</source>
        <translation>Settings kept in the variator&apos;s EEPROM</translation>
    </message>
    <message>
        <source>Время от момента срабатывания газового клапана до включения опережения зажигания, секунд</source>
        <translation>Delay from the LPG valve opening to the ignition advance coming in, seconds</translation>
    </message>
    <message>
        <source>25 секунд - максимум.</source>
        <translation>25 seconds at most.</translation>
    </message>
    <message>
        <source>Значение ADC сигнала TPS  при максимальной нагрузке</source>
        <translation>TPS ADC value  at full load</translation>
    </message>
    <message>
        <source>Сохранить текущее значение ADC, как значение при полностью нажатой педали газа</source>
        <translation>Store the present ADC value as the pedal fully pressed value</translation>
    </message>
    <message>
        <source>Значение ADC сигнала TPS  при минимальной нагрузке</source>
        <translation>TPS ADC value  at no load</translation>
    </message>
    <message>
        <source>Сохранить текущее значение ADC, как значение при полностью отпущеной педали газа</source>
        <translation>Store the present ADC value as the pedal released value</translation>
    </message>
    <message>
        <source>Параметры реального времени</source>
        <translation>Live data</translation>
    </message>
    <message>
        <source>Текущее значение ADC сигнала TPS</source>
        <translation>TPS ADC value now</translation>
    </message>
    <message>
        <source>Вносимый вариатором угол опережения зажигания</source>
        <translation>Ignition advance added by the variator</translation>
    </message>
    <message>
        <source>Текущий режим работы (газ/бензин)</source>
        <translation>Running on (LPG/petrol)</translation>
    </message>
    <message>
        <source>Текущий остаток времени до установки &quot;газовых&quot; углов после срабатывания ГК</source>
        <translation>Time left until the LPG advance comes in after the LPG valve opened</translation>
    </message>
    <message>
        <source>Синхронизация</source>
        <translation>Synchronisation</translation>
    </message>
    <message>
        <source>Поступление фронтов сигнала CMP1</source>
        <translation>CMP1 signal edges</translation>
    </message>
    <message>
        <source>Поступление фронтов сигнала CMP2</source>
        <translation>CMP2 signal edges</translation>
    </message>
    <message>
        <source>Температура CPU</source>
        <translation>CPU temperature</translation>
    </message>
    <message>
        <source>Коэффициент адаптации сигнала Calculated CPS</source>
        <translation>Calculated CPS adaptation factor</translation>
    </message>
    <message>
        <source>Текущее нажатие на педаль газа (TPS), %</source>
        <translation>Throttle position now (TPS), %</translation>
    </message>
    <message>
        <source>Текущая корректировка по TPS, %</source>
        <translation>TPS correction now, %</translation>
    </message>
    <message>
        <source>Величина корректировки по  сигналу TPS</source>
        <translation>Correction by  the TPS signal</translation>
    </message>
    <message>
        <source>(Текущая корректировка по TPS 100% означает, что значения величин из  карты зависимости углов опережения от оборотов берутся без изменений) </source>
        <translation>(A TPS correction of 100% means the angles from the  advance-by-rpm map are used unchanged) </translation>
    </message>
    <message>
        <source>Автоматическое определение параметров</source>
        <translation>Automatic detection</translation>
    </message>
    <message>
        <source>Текущее  значение ADC сигнала TPS: </source>
        <translation>TPS ADC value  now: </translation>
    </message>
    <message>
        <source>Считанное максимальное значение ADC сигнала TPS: </source>
        <translation>Highest TPS ADC value seen: </translation>
    </message>
    <message>
        <source>Сохранить в энергонезависимую память EEPROM вариатора как значение при максимальной нагрузке. </source>
        <translation>Store in the variator&apos;s EEPROM as the full-load value. </translation>
    </message>
    <message>
        <source>Считанное минимальное  значение ADC сигнала TPS: </source>
        <translation>Lowest  TPS ADC value seen: </translation>
    </message>
    <message>
        <source>Сохранить в энергонезависимую память EEPROM вариатора как значение при минимальной нагрузке.  </source>
        <translation>Store in the variator&apos;s EEPROM as the no-load value.  </translation>
    </message>
    <message>
        <source>Поменять местами минимальное и максимальное значения. Необходимо в том случае, если при нажатии на педаль газа, или при увеличении нагрузки, значение TPS не увеличивается, а уменьшается.  </source>
        <translation>Swap the lowest and highest values. Needed when the TPS value falls instead of rising as the pedal goes down or the load grows.  </translation>
    </message>
    <message>
        <source>Ручная запись параметров</source>
        <translation>Manual entry</translation>
    </message>
    <message>
        <source>Вручную установить максимальное значение ADC сигнала TPS: </source>
        <translation>Set the highest TPS ADC value by hand: </translation>
    </message>
    <message>
        <source>Сохранить в энергонезависимую память EEPROM вариатора как значение при максимальной нагрузке. . </source>
        <translation>Store in the variator&apos;s EEPROM as the full-load value. . </translation>
    </message>
    <message>
        <source>Вручную установить минимальное значение ADC сигнала TPS: </source>
        <translation>Set the lowest TPS ADC value by hand: </translation>
    </message>
    <message>
        <source>Сохранить в энергонезависимую память EEPROM вариатора как значение при минимальной нагрузке. </source>
        <translation>Store in the variator&apos;s EEPROM as the no-load value. </translation>
    </message>
    <message>
        <source>Ход процесса обновления</source>
        <translation>Update progress</translation>
    </message>
    <message>
        <source>Окно служебной информации</source>
        <translation>Service information</translation>
    </message>
    <message>
        <source>%1 — нет прав доступа (группа dialout)</source>
        <translation>%1 — no permission (dialout group)</translation>
    </message>
    <message>
        <source>%1 — недоступен</source>
        <translation>%1 — unavailable</translation>
    </message>
    <message>
        <source>%1 — не найден</source>
        <translation>%1 — not found</translation>
    </message>
    <message>
        <source>DirectSend</source>
        <translation>DirectSend</translation>
    </message>
    <message>
        <source>need_good_tahoe</source>
        <translation>need_good_tahoe</translation>
    </message>
    <message>
        <source>Adaptations Counter</source>
        <translation>Adaptations Counter</translation>
    </message>
    <message>
        <source>Детальная информация о работе терминальной программы  в техническом руководстве, а здесь кратко и понятно - для быстрого 
начала работы.

1. При запуске первым делом нажимаем кнопку &quot;Чтение данных из вариатора&quot;. 
2. Нажав, например, на вкладку &quot;УОЗ для газа&quot; мы видим линию графика, которую можно редактировать. Если линию не видно, в 
правом верхнем углу нажимаем кнопку &quot;Шаблон данных&quot; и карты опережения заполняются значениями по умолчанию. .
По умолчанию, в правом верхнем углу установлена галочка &quot;двигать график целиком.&quot; Для того, чтобы сместить линию целиком, 
щёлкаем мышью по любой из точек линии и стрелками смещаем график вверх, или вниз. График смещается полностью.
Для смещения определённных точек, снимаем галку &quot;двигать весь график&quot;, тыкаем мышкой по графику и стрелками &quot;вправо&quot; и 
&quot;влево&quot; выбираем нужную точку, а стрелками &quot;вверх&quot; и &quot;вниз&quot; изменяем значение графика в выбранной точке.  

Если диапазона вертикальной оси не достаточно (необходимо изменять угол больше, чем на 12 градусов), 
наведите курсор на область построения графика и при нажатой правой кнопке мыши вращайте колёсико мыши, 
или двигайте курсор вверх или вниз. 

------------------------------------ !-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!---------------------------------
По окончанию редактирования необходимых параметров, обязательно нажимаем кнопку &quot;запись данных в вариатор&quot;. Если этого не 
сделать, данные не будут 
сохранены в энергонезависимой памяти вариатора и будут сброшены при закрытии терминальной программы. </source>
        <translation>The technical manual describes the terminal program in detail; here is the short version to get you 
started quickly.

1. After start-up, first press the button &quot;Read settings from the variator EEPROM&quot;. 
2. Open a map tab, for example &quot;LPG advance map&quot;: the chart line there can be edited. If there is no line, press 
&quot;Default maps&quot; in the top right corner and the advance maps are filled with the default values. .
By default &quot;Move the whole map&quot; is ticked in the top right corner. To shift the whole line, 
click any point of the line and move the chart up or down with the arrow keys. The whole chart moves.
To change single points, untick &quot;Move the whole map&quot;, click the chart, pick the point with the &quot;right&quot; and 
&quot;left&quot; arrow keys and change its value with the &quot;up&quot; and &quot;down&quot; arrow keys.  

If the vertical axis is too short (you need to change the angle by more than 12 degrees), 
point at the chart, hold the right mouse button and turn the mouse wheel, 
or move the pointer up or down. 

------------------------------------ !-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!-!---------------------------------
When you have finished editing, always press the button &quot;Save settings to the variator EEPROM&quot;. If you do not, 
the data will not be 
kept in the variator&apos;s EEPROM and will be lost when the terminal program closes. </translation>
    </message>
    <message>
        <source>Сравнить с файлом...</source>
        <translation>Compare with a file...</translation>
    </message>
    <message>
        <source>Сравнить с вариатором</source>
        <translation>Compare with the variator</translation>
    </message>
    <message>
        <source>Закончить сравнение</source>
        <translation>End the compare</translation>
    </message>
    <message>
        <source>Точки восстановления...</source>
        <translation>Restore points...</translation>
    </message>
    <message>
        <source>Точки восстановления</source>
        <translation>Restore points</translation>
    </message>
    <message>
        <source>Дата</source>
        <translation>Date</translation>
    </message>
    <message>
        <source>Примечание</source>
        <translation>Note</translation>
    </message>
    <message>
        <source>Путь</source>
        <translation>Path</translation>
    </message>
    <message>
        <source>Сравнить с редактором...</source>
        <translation>Compare with the editor...</translation>
    </message>
    <message>
        <source>Сравнить с вариатором...</source>
        <translation>Compare with the variator...</translation>
    </message>
    <message>
        <source>Восстановить</source>
        <translation>Restore</translation>
    </message>
    <message>
        <source>Закрыть</source>
        <translation>Close</translation>
    </message>
</context>
<context>
    <name>viewer</name>
    <message>
        <source>Просмотр записей и журналов...</source>
        <translation>Log viewer...</translation>
    </message>
    <message>
        <source>Просмотр записей и журналов</source>
        <translation>Log viewer</translation>
    </message>
    <message>
        <source>Открыть...</source>
        <translation>Open...</translation>
    </message>
    <message>
        <source>Открыть запись или журнал вариатора</source>
        <translation>Open a recording or a device log</translation>
    </message>
    <message>
        <source>Записи и журналы (*.csv LOG_*.txt);;Все файлы (*)</source>
        <translation>Recordings and logs (*.csv LOG_*.txt);;All files (*)</translation>
    </message>
    <message>
        <source>Сохранить PNG...</source>
        <translation>Save PNG...</translation>
    </message>
    <message>
        <source>Сохранить рисунки в PNG</source>
        <translation>Save the pictures as PNG</translation>
    </message>
    <message>
        <source>Рисунки PNG (*.png)</source>
        <translation>PNG pictures (*.png)</translation>
    </message>
    <message>
        <source>Рисунки сохранены: %1</source>
        <translation>Pictures saved: %1</translation>
    </message>
    <message>
        <source>Не удалось сохранить %1</source>
        <translation>Could not save %1</translation>
    </message>
    <message>
        <source>Чтение %1...</source>
        <translation>Reading %1...</translation>
    </message>
    <message>
        <source>Файл не открыт: %1</source>
        <translation>File not opened: %1</translation>
    </message>
    <message>
        <source>Строка %1 не прочитана (%2), показано то, что прочитано</source>
        <translation>Line %1 could not be read (%2); showing what was read</translation>
    </message>
    <message>
        <source>%1: %2 проходов</source>
        <translation>%1: %2 passes shown</translation>
    </message>
    <message>
        <source>%1: %2 записей журнала</source>
        <translation>%1: %2 log entries</translation>
    </message>
    <message>
        <source>Синхронизация:</source>
        <translation>Synchronisation:</translation>
    </message>
    <message>
        <source>все проходы</source>
        <translation>all passes</translation>
    </message>
    <message>
        <source>только с синхронизацией</source>
        <translation>synchronised only</translation>
    </message>
    <message>
        <source>Топливо:</source>
        <translation>Fuel:</translation>
    </message>
    <message>
        <source>газ и бензин</source>
        <translation>gas and petrol</translation>
    </message>
    <message>
        <source>газ</source>
        <translation>gas</translation>
    </message>
    <message>
        <source>бензин</source>
        <translation>petrol</translation>
    </message>
    <message>
        <source>Время, с</source>
        <translation>Time, s</translation>
    </message>
    <message>
        <source>Номер записи</source>
        <translation>Entry number</translation>
    </message>
    <message>
        <source>Обороты, об/мин</source>
        <translation>Engine speed, rpm</translation>
    </message>
    <message>
        <source>Дроссель, %</source>
        <translation>Throttle, %</translation>
    </message>
    <message>
        <source>УОЗ, °</source>
        <translation>Ignition advance, °</translation>
    </message>
    <message>
        <source>Синхр. / газ</source>
        <translation>Sync / gas</translation>
    </message>
    <message>
        <source>УОЗ вариатора</source>
        <translation>Advance applied by the variator</translation>
    </message>
    <message>
        <source>Значение карты</source>
        <translation>Map value</translation>
    </message>
    <message>
        <source>Синхронизация</source>
        <translation>Synchronisation</translation>
    </message>
    <message>
        <source>На газе</source>
        <translation>On gas</translation>
    </message>
    <message>
        <source>Обороты и УОЗ над картой: %1</source>
        <translation>Engine speed and advance over the map: %1</translation>
    </message>
    <message>
        <source>Карта</source>
        <translation>Map</translation>
    </message>
    <message>
        <source>Проходы</source>
        <translation>Passes</translation>
    </message>
    <message>
        <source>Время в точке, с</source>
        <translation>Time at point, s</translation>
    </message>
</context>
</TS>
