<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="ru">
<context>
    <name>page</name>
    <message>
        <source>Language</source>
        <translation>Язык</translation>
    </message>
    <message>
        <source>Delete skin files on phone first, this program deletes the remaining skin folder only.</source>
        <translation>Сначала удалите файлы скина на телефоне: эта программа удаляет только оставшуюся папку скина.</translation>
    </message>
    <message>
        <source>The file stays on this computer: nothing is uploaded.</source>
        <translation>Файл остаётся на этом компьютере: ничего не загружается в сеть.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Открыть...</translation>
    </message>
    <message>
        <source>Open a superfile (.shx or .sbf)</source>
        <translation>Открыть суперфайл (.shx или .sbf)</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Отчёт</translation>
    </message>
    <message>
        <source>Skin folders</source>
        <translation>Папки скинов</translation>
    </message>
    <message>
        <source>Up and Down select a folder; Delete deletes it.</source>
        <translation>Стрелки вверх и вниз выбирают папку; Delete удаляет её.</translation>
    </message>
    <message>
        <source>Delete Skin Folder</source>
        <translation>Удалить папку скина</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Повторить</translation>
    </message>
    <message>
        <source>Bytes a delete turns to FF</source>
        <translation>Байты, которые удаление превратит в FF</translation>
    </message>
    <message>
        <source>Code groups a save writes</source>
        <translation>Кодовые группы, которые записывает сохранение</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Сохранить</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Тип</translation>
    </message>
    <message>
        <source>SHX superfile (*.shx)</source>
        <translation>Суперфайл SHX (*.shx)</translation>
    </message>
    <message>
        <source>SBF superfile (*.sbf)</source>
        <translation>Суперфайл SBF (*.sbf)</translation>
    </message>
    <message>
        <source>Flex code group (*.smg)</source>
        <translation>Кодовая группа Flex (*.smg)</translation>
    </message>
    <message>
        <source>Flex code group (*.bin)</source>
        <translation>Кодовая группа Flex (*.bin)</translation>
    </message>
    <message>
        <source>Review Changes</source>
        <translation>Просмотреть изменения</translation>
    </message>
    <message>
        <source>Findings</source>
        <translation>Результаты проверки</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>ОК</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>ПРЕДУПРЕЖДЕНИЕ</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Отмена</translation>
    </message>
    <message>
        <source>Save Anyway</source>
        <translation>Всё равно сохранить</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Не сохранять</translation>
    </message>
    <message>
        <source>Select a folder to see the bytes “Delete Skin Folder” turns to FF.</source>
        <translation>Выберите папку, чтобы увидеть байты, которые «Удалить папку скина» превратит в FF.</translation>
    </message>
    <message>
        <source>or drop a superfile (.shx or .sbf) here</source>
        <translation>или перетащите сюда суперфайл (.shx или .sbf)</translation>
    </message>
    <message>
        <source>Checksums OK</source>
        <translation>Контрольные суммы в порядке</translation>
    </message>
    <message>
        <source>the file grew while it was read</source>
        <translation>файл увеличился во время чтения</translation>
    </message>
    <message>
        <source>the file shrank while it was read</source>
        <translation>файл уменьшился во время чтения</translation>
    </message>
    <message>
        <source>The changes to %1 have not been saved.
Do you want to save them?</source>
        <translation>Изменения в %1 не сохранены.
Сохранить их?</translation>
    </message>
    <message>
        <source>Superfiles end in .shx or .sbf.</source>
        <translation>Суперфайлы имеют расширение .shx или .sbf.</translation>
    </message>
    <message>
        <source>Opening %1...</source>
        <translation>Открывается %1...</translation>
    </message>
    <message>
        <source>The page has no memory for a file of %1 bytes.</source>
        <translation>Странице не хватает памяти для файла размером %1 байт.</translation>
    </message>
    <message>
        <source>Findings lists every problem (%1 in all).</source>
        <translation>«Результаты проверки» перечисляют все проблемы (всего %1).</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Сохранено: %1</translation>
    </message>
    <message>
        <source>; the date parameter was ignored: %1</source>
        <translation>; параметр даты пропущен: %1</translation>
    </message>
    <message>
        <source>Review Changes — %1</source>
        <translation>Просмотр изменений — %1</translation>
    </message>
    <message>
        <source>Deleted %1</source>
        <translation>Удалено: %1</translation>
    </message>
    <message>
        <source>Redone</source>
        <translation>Повторено</translation>
    </message>
    <message>
        <source>Undone</source>
        <translation>Отменено</translation>
    </message>
    <message>
        <source>Drop one superfile at a time.</source>
        <translation>Перетаскивайте по одному суперфайлу.</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Готово</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Загрузка...</translation>
    </message>
    <message>
        <source>Rescue reads past the damaged lines and records and keeps the code groups that are whole.</source>
        <translation>«Восстановить» пропускает повреждённые строки и записи и сохраняет целые группы кода.</translation>
    </message>
    <message>
        <source>Rescue</source>
        <translation>Восстановить</translation>
    </message>
    <message>
        <source>nothing was damaged</source>
        <translation>ничего не повреждено</translation>
    </message>
    <message numerus="yes">
        <source>%n damaged record(s) in %1</source>
        <translation>
            <numerusform>%n повреждённая запись в %1</numerusform>
            <numerusform>%n повреждённые записи в %1</numerusform>
            <numerusform>%n повреждённых записей в %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n damaged line(s) in %1</source>
        <translation>
            <numerusform>%n повреждённая строка в %1</numerusform>
            <numerusform>%n повреждённые строки в %1</numerusform>
            <numerusform>%n повреждённых строк в %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Rescued: %1; %2</source>
        <translation>Восстановлено: %1; %2</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are sound</source>
        <translation>RAMDLD и Flex целы</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are damaged</source>
        <translation>RAMDLD и Flex повреждены</translation>
    </message>
    <message>
        <source>the %1 is damaged</source>
        <translation>%1 повреждён</translation>
    </message>
    <message>
        <source>%1, so nothing can be saved</source>
        <translation>%1, поэтому сохранить ничего нельзя</translation>
    </message>
    <message>
        <source>%1 (first at %2)</source>
        <translation>%1 (впервые в %2)</translation>
    </message>
    <message>
        <source>%1 [rescued]</source>
        <translation>%1 [восстановлен]</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) — see Findings</source>
        <translation>
            <numerusform>%n проблема — см. Находки</numerusform>
            <numerusform>%n проблемы — см. Находки</numerusform>
            <numerusform>%n проблем — см. Находки</numerusform>
        </translation>
    </message>
</context>
<context>
    <name>tavufe::AboutDialog</name>
    <message>
        <source>Delete skin files (.dat &amp; .ski) from the Tavu using a P2K utility 
then make a flex backup. Load flex in this program to delete 
the remaining skin folder. Flash modded flex to the Tavu.

Thanks to everyone who tested the early builds and sent in backups.

Questions and skins: ask in the modding forum
of your handset&apos;s user community.</source>
        <translation>Удалите файлы скина (.dat и .ski) с Tavu с помощью утилиты P2K,
затем сделайте резервную копию flex. Загрузите flex в эту программу, чтобы
удалить оставшуюся папку скина. Прошейте изменённый flex в Tavu.

Спасибо всем, кто испытывал ранние сборки и присылал резервные копии.

Вопросы и скины: спрашивайте на форуме моддинга
сообщества владельцев вашего телефона.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>О программе</translation>
    </message>
    <message>
        <source>By the Tavu Flex Editor developers</source>
        <translation>Разработчики Tavu Flex Editor</translation>
    </message>
    <message>
        <source>Copyright 2026 The Tavu Flex Editor developers.
Released under the MIT licence: free to use, copy, change and share,
with no warranty.</source>
        <translation>Copyright 2026 Разработчики Tavu Flex Editor.
Распространяется по лицензии MIT: можно свободно использовать, копировать,
изменять и распространять, без каких-либо гарантий.</translation>
    </message>
</context>
<context>
    <name>tavufe::LanguageMenu</name>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Язык</translation>
    </message>
    <message>
        <source>&amp;System Language</source>
        <translation>&amp;Системный язык</translation>
    </message>
</context>
<context>
    <name>tavufe::MainWindow</name>
    <message>
        <source>Delete Skin Folder “%1”</source>
        <translation>Удалить папку скина «%1»</translation>
    </message>
    <message>
        <source>Delete skin files on phone first, this program deletes the remaining skin folder only.</source>
        <translation>Сначала удалите файлы скина на телефоне: эта программа удаляет только оставшуюся папку скина.</translation>
    </message>
    <message>
        <source>Help — %1</source>
        <translation>Справка — %1</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Открыть...</translation>
    </message>
    <message>
        <source>Open an existing file</source>
        <translation>Открыть существующий файл</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Открыть</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Сохранить</translation>
    </message>
    <message>
        <source>Save the RAMDLD and the Flex to a superfile, or the Flex alone</source>
        <translation>Сохранить RAMDLD и Flex в суперфайл или только Flex</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>СОХРАНИТЬ</translation>
    </message>
    <message>
        <source>Save the RAMDLD and Flex code groups as a superfile, or the Flex alone</source>
        <translation>Сохранить кодовые группы RAMDLD и Flex как суперфайл или только Flex</translation>
    </message>
    <message>
        <source>&amp;Verify...</source>
        <translation>&amp;Проверить...</translation>
    </message>
    <message>
        <source>Check every checksum and record of the file as it is on disk</source>
        <translation>Проверить все контрольные суммы и записи файла в том виде, в каком он лежит на диске</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>В&amp;ыход</translation>
    </message>
    <message>
        <source>Exit this application</source>
        <translation>Выйти из программы</translation>
    </message>
    <message>
        <source>&amp;Delete Skin Folder</source>
        <translation>&amp;Удалить папку скина</translation>
    </message>
    <message>
        <source>Erase the selected folder&apos;s record: its bytes become erased flash (FF)</source>
        <translation>Стереть запись выбранной папки: её байты станут стёртой флеш-памятью (FF)</translation>
    </message>
    <message>
        <source>Re&amp;view Changes...</source>
        <translation>Просмотреть &amp;изменения...</translation>
    </message>
    <message>
        <source>List what a save would write differently from the opened file</source>
        <translation>Показать, что сохранение запишет иначе, чем в открытом файле</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Отменить</translation>
    </message>
    <message>
        <source>Put back the folder record deleted last</source>
        <translation>Вернуть последнюю удалённую запись папки</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Повторить</translation>
    </message>
    <message>
        <source>Delete the folder record again</source>
        <translation>Снова удалить запись папки</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Копировать</translation>
    </message>
    <message>
        <source>Copy the selected code-group values</source>
        <translation>Копировать выбранные значения кодовых групп</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Копировать &amp;имя</translation>
    </message>
    <message>
        <source>Copy the selected folder&apos;s name</source>
        <translation>Копировать имя выбранной папки</translation>
    </message>
    <message>
        <source>Copy &amp;Offset</source>
        <translation>Копировать с&amp;мещение</translation>
    </message>
    <message>
        <source>Copy the selected folder&apos;s location in the Flex</source>
        <translation>Копировать смещение выбранной папки во Flex</translation>
    </message>
    <message>
        <source>Cut Selected CG</source>
        <translation>Вырезать выбранную CG</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Отменить</translation>
    </message>
    <message>
        <source>Save Selected CG</source>
        <translation>Сохранить выбранную CG</translation>
    </message>
    <message>
        <source>Replace Selected CG</source>
        <translation>Заменить выбранную CG</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Содержание</translation>
    </message>
    <message>
        <source>Show the steps of the job and the keys</source>
        <translation>Показать порядок работы и клавиши</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;О программе</translation>
    </message>
    <message>
        <source>Show the program&apos;s version and help</source>
        <translation>Показать версию программы и справку</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Файл</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Недавние файлы</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Правка</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Справка</translation>
    </message>
    <message>
        <source>The language changes when the editor next starts.</source>
        <translation>Язык сменится при следующем запуске редактора.</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Файл</translation>
    </message>
    <message>
        <source>More tools</source>
        <translation>Другие инструменты</translation>
    </message>
    <message>
        <source>Opened file</source>
        <translation>Открытый файл</translation>
    </message>
    <message>
        <source>The path of the superfile shown</source>
        <translation>Путь к показанному суперфайлу</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Отчёт</translation>
    </message>
    <message>
        <source>What the superfile&apos;s header and code groups say</source>
        <translation>Что сообщают заголовок и кодовые группы суперфайла</translation>
    </message>
    <message>
        <source>Skin folders</source>
        <translation>Папки скинов</translation>
    </message>
    <message>
        <source>The folder records in the Flex code group; select one to delete it</source>
        <translation>Записи папок в кодовой группе Flex; выберите запись, чтобы удалить её</translation>
    </message>
    <message>
        <source>Record bytes</source>
        <translation>Байты записи</translation>
    </message>
    <message>
        <source>The bytes of the selected folder record that a delete turns to FF</source>
        <translation>Байты выбранной записи папки, которые удаление превратит в FF</translation>
    </message>
    <message>
        <source>Select a folder to see the bytes “Delete Skin Folder” turns to FF.</source>
        <translation>Выберите папку, чтобы увидеть байты, которые «Удалить папку скина» превратит в FF.</translation>
    </message>
    <message>
        <source>Code groups</source>
        <translation>Кодовые группы</translation>
    </message>
    <message>
        <source>The RAMDLD and Flex code groups that a save writes</source>
        <translation>Кодовые группы RAMDLD и Flex, которые записывает сохранение</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Ход выполнения</translation>
    </message>
    <message>
        <source>Checksum state</source>
        <translation>Состояние контрольных сумм</translation>
    </message>
    <message>
        <source>Click for File &gt; Verify</source>
        <translation>Щёлкните для «Файл &gt; Проверить»</translation>
    </message>
    <message>
        <source>Checksums OK</source>
        <translation>Контрольные суммы в порядке</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) — see File &gt; Verify</source>
        <translation>
            <numerusform>%n проблема — см. Файл &gt; Проверить</numerusform>
            <numerusform>%n проблемы — см. Файл &gt; Проверить</numerusform>
            <numerusform>%n проблем — см. Файл &gt; Проверить</numerusform>
        </translation>
    </message>
    <message>
        <source>Superfiles end in .shx or .sbf.</source>
        <translation>Суперфайлы имеют расширение .shx или .sbf.</translation>
    </message>
    <message>
        <source>File &gt; Verify lists every problem (%1 in all).</source>
        <translation>«Файл &gt; Проверить» перечисляет все проблемы (всего %1).</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>ПРЕДУПРЕЖДЕНИЕ</translation>
    </message>
    <message>
        <source>Could not save %1</source>
        <translation>Не удалось сохранить %1</translation>
    </message>
    <message>
        <source>Saved to %1</source>
        <translation>Сохранено в %1</translation>
    </message>
    <message numerus="yes">
        <source>; %n other hard link(s) keep(s) the old contents</source>
        <translation>
            <numerusform>; %n другая жёсткая ссылка хранит старое содержимое</numerusform>
            <numerusform>; %n другие жёсткие ссылки хранят старое содержимое</numerusform>
            <numerusform>; %n других жёстких ссылок хранят старое содержимое</numerusform>
        </translation>
    </message>
    <message>
        <source>Checked %1 as it is on disk; unsaved changes are not in it.</source>
        <translation>%1 проверен в том виде, в каком он лежит на диске; несохранённых изменений в нём нет.</translation>
    </message>
    <message>
        <source>Checked %1 as it is on disk.</source>
        <translation>%1 проверен в том виде, в каком он лежит на диске.</translation>
    </message>
    <message>
        <source>Verify — %1</source>
        <translation>Проверка — %1</translation>
    </message>
    <message>
        <source>Review Changes — %1</source>
        <translation>Просмотр изменений — %1</translation>
    </message>
    <message>
        <source>NOTICE</source>
        <translation>УВЕДОМЛЕНИЕ</translation>
    </message>
    <message>
        <source>%1: the temporary file could not be removed: %2</source>
        <translation>%1: не удалось удалить временный файл: %2</translation>
    </message>
    <message>
        <source>Open a superfile to begin: File &gt; Open (%1), or drop it onto the window.</source>
        <translation>Откройте суперфайл, чтобы начать: Файл &gt; Открыть (%1), или перетащите его в окно.</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Состояние</translation>
    </message>
    <message>
        <source>Drop one superfile at a time</source>
        <translation>Перетаскивайте по одному суперфайлу</translation>
    </message>
    <message>
        <source>%1: not a file on this computer</source>
        <translation>%1: это не файл на этом компьютере</translation>
    </message>
    <message>
        <source>%1: %2; superfiles end in .shx or .sbf</source>
        <translation>%1: %2; суперфайлы имеют расширение .shx или .sbf</translation>
    </message>
    <message>
        <source>Saved the Flex code group alone to %1 (%2, %3 bytes)</source>
        <translation>Только кодовая группа Flex сохранена в %1 (%2, %3 байт)</translation>
    </message>
    <message>
        <source>%1[*] [rescued]</source>
        <translation>%1[*] [восстановлен]</translation>
    </message>
    <message>
        <source>R&amp;escue...</source>
        <translation>&amp;Восстановить...</translation>
    </message>
    <message>
        <source>Open a damaged superfile, reading past its damaged lines and records</source>
        <translation>Открыть повреждённый суперфайл, пропуская его повреждённые строки и записи</translation>
    </message>
    <message>
        <source>Rescued: no damage found</source>
        <translation>Восстановлено: повреждений не найдено</translation>
    </message>
    <message>
        <source>Rescued: %1 damaged</source>
        <translation>Восстановлено: %1 повреждено</translation>
    </message>
    <message>
        <source>1 damaged line</source>
        <translation>1 повреждённая строка</translation>
    </message>
    <message>
        <source>1 damaged record</source>
        <translation>1 повреждённая запись</translation>
    </message>
    <message>
        <source>%1 damaged lines</source>
        <translation>Повреждённых строк: %1</translation>
    </message>
    <message>
        <source>%1 damaged records</source>
        <translation>Повреждённых записей: %1</translation>
    </message>
    <message>
        <source>Rescued: %1 in %2</source>
        <translation>Восстановлено: %1 в %2</translation>
    </message>
    <message>
        <source>the %1 is damaged</source>
        <translation>%1 повреждён</translation>
    </message>
    <message>
        <source>the %1 and the %2 are damaged</source>
        <translation>%1 и %2 повреждены</translation>
    </message>
    <message>
        <source>%1: nothing can be saved</source>
        <translation>%1: сохранить ничего нельзя</translation>
    </message>
    <message>
        <source>Nothing can be saved: %1</source>
        <translation>Сохранить ничего нельзя: %1</translation>
    </message>
    <message>
        <source>Nothing can be saved: %1, first at %2</source>
        <translation>Сохранить ничего нельзя: %1, впервые в %2</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are sound</source>
        <translation>RAMDLD и Flex целы</translation>
    </message>
    <message>
        <source>Deleting a left-over skin folder

1. Delete the skin files on the handset first, then make a backup of its Flex as a
   superfile (.shx or .sbf).
2. Open it: File &gt; Open, File &gt; Open Recent, or drop it onto the window. The report shows
   what it holds; the status bar says whether its checksums hold.
3. Select the skin folder in the folder list. The pane under it shows the bytes that a
   delete turns to FF.
4. Press Delete Skin Folder. Edit &gt; Undo puts the record back.
5. File &gt; Save: SHX or SBF gives a superfile to flash back; SMG or BIN holds the Flex
   code group alone.

Keys

Ctrl+O                  Open
Ctrl+S                  Save
Delete, Alt+D           Delete Skin Folder (Delete in the folder list)
Ctrl+Z                  Undo
Ctrl+Shift+Z, Ctrl+Y    Redo
Ctrl+D                  Review Changes
Ctrl+C                  Copy the selected code-group values
Tab, Shift+Tab          Move between the controls
Shift+F10, Menu key     The folder list&apos;s commands
F1                      This help
Ctrl+Q                  Exit</source>
        <translation>Удаление оставшейся папки скина

1. Сначала удалите файлы скина на телефоне, затем сделайте резервную копию его Flex
   в виде суперфайла (.shx или .sbf).
2. Откройте её: Файл &gt; Открыть, Файл &gt; Недавние файлы или перетащите файл в окно.
   Отчёт показывает, что в нём содержится; строка состояния сообщает, в порядке ли
   контрольные суммы.
3. Выберите папку скина в списке папок. Панель под ним показывает байты, которые
   удаление превратит в FF.
4. Нажмите «Удалить папку скина». Правка &gt; Отменить возвращает запись на место.
5. Файл &gt; Сохранить: SHX или SBF дают суперфайл для прошивки обратно; SMG или BIN
   содержат только кодовую группу Flex.

Клавиши

Ctrl+O                  Открыть
Ctrl+S                  Сохранить
Delete, Alt+У           Удалить папку скина (Delete в списке папок)
Ctrl+Z                  Отменить
Ctrl+Shift+Z, Ctrl+Y    Повторить
Ctrl+D                  Просмотреть изменения
Ctrl+C                  Копировать выбранные значения кодовых групп
Tab, Shift+Tab          Переход между элементами окна
Shift+F10, клавиша Menu Команды списка папок
F1                      Эта справка
Ctrl+Q                  Выход</translation>
    </message>
    <message>
        <source>A backup that does not open can still give up its Flex: Rescue (in the box that says why,
or File &gt; Rescue) reads past the damaged lines and keeps the code groups that are whole.</source>
        <translation>Резервная копия, которая не открывается, всё ещё может отдать свой Flex: «Восстановить» (в окне
с причиной или Файл &gt; Восстановить) пропускает повреждённые строки и сохраняет целые группы кода.</translation>
    </message>
</context>
<context>
    <name>tavufe::QtDialogs</name>
    <message>
        <source>WARNING</source>
        <translation>ПРЕДУПРЕЖДЕНИЕ</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Отмена</translation>
    </message>
    <message>
        <source>Save &amp;Anyway</source>
        <translation>&amp;Всё равно сохранить</translation>
    </message>
    <message>
        <source>The changes to %1 have not been saved.
Do you want to save them?</source>
        <translation>Изменения в %1 не сохранены.
Сохранить их?</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Сохранить</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Не сохранять</translation>
    </message>
    <message>
        <source>&amp;Review Changes</source>
        <translation>&amp;Просмотреть изменения</translation>
    </message>
    <message>
        <source>%1 holds %2, which this save does not write.
Replace it anyway?</source>
        <translation>%1 содержит %2, а это сохранение их не запишет.
Всё равно заменить?</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Заменить</translation>
    </message>
    <message>
        <source>SuperFiles (shx-sbf) (*.shx *.sbf)</source>
        <translation>Суперфайлы (shx-sbf) (*.shx *.sbf)</translation>
    </message>
    <message>
        <source>SHX Files (*.shx)</source>
        <translation>Файлы SHX (*.shx)</translation>
    </message>
    <message>
        <source>SBF Files (*.sbf)</source>
        <translation>Файлы SBF (*.sbf)</translation>
    </message>
    <message>
        <source>SHX superfile (*.shx)</source>
        <translation>Суперфайл SHX (*.shx)</translation>
    </message>
    <message>
        <source>SBF superfile (*.sbf)</source>
        <translation>Суперфайл SBF (*.sbf)</translation>
    </message>
    <message>
        <source>Flex code group only (*.smg)</source>
        <translation>Только кодовая группа Flex (*.smg)</translation>
    </message>
    <message>
        <source>Flex code group only, raw (*.bin)</source>
        <translation>Только кодовая группа Flex, без обработки (*.bin)</translation>
    </message>
    <message>
        <source>Rescue reads past the damaged lines and keeps the code groups that are whole.</source>
        <translation>«Восстановить» пропускает повреждённые строки и сохраняет целые группы кода.</translation>
    </message>
    <message>
        <source>&amp;Rescue</source>
        <translation>&amp;Восстановить</translation>
    </message>
</context>
<context>
    <name>tavufe::SystemTexts</name>
    <message>
        <source>File Not Opened</source>
        <translation>Файл не открыт</translation>
    </message>
    <message>
        <source>Buffer Error</source>
        <translation>Ошибка буфера</translation>
    </message>
    <message>
        <source>Checksum Error</source>
        <translation>Ошибка контрольной суммы</translation>
    </message>
    <message>
        <source>Buffer Address Overflow</source>
        <translation>Переполнение адреса буфера</translation>
    </message>
    <message>
        <source>Record Error</source>
        <translation>Неверная запись</translation>
    </message>
    <message>
        <source>Address Range</source>
        <translation>Выход за диапазон адресов</translation>
    </message>
    <message>
        <source>RDL Blank or Missing</source>
        <translation>RDL пуст или отсутствует</translation>
    </message>
    <message>
        <source>File Write Error</source>
        <translation>Ошибка записи файла</translation>
    </message>
    <message>
        <source>Verify Error</source>
        <translation>Ошибка проверки</translation>
    </message>
    <message>
        <source>File Type Not Supported</source>
        <translation>Тип файла не поддерживается</translation>
    </message>
    <message>
        <source>Duplicate CG</source>
        <translation>Повторяющаяся CG</translation>
    </message>
    <message>
        <source>No File(s) Selected To Save</source>
        <translation>Не выбраны файлы для сохранения</translation>
    </message>
    <message>
        <source>No Flex Code Group</source>
        <translation>Нет кодовой группы Flex</translation>
    </message>
    <message>
        <source>Save Would Drop Code Groups</source>
        <translation>Сохранение отбросит кодовые группы</translation>
    </message>
    <message>
        <source>HEADER INFO: </source>
        <translation>ЗАГОЛОВОК: </translation>
    </message>
    <message>
        <source>Date: </source>
        <translation>Дата: </translation>
    </message>
    <message>
        <source>File: </source>
        <translation>Файл: </translation>
    </message>
    <message>
        <source>Platform: </source>
        <translation>Платформа: </translation>
    </message>
    <message>
        <source>Firmware: </source>
        <translation>Прошивка: </translation>
    </message>
    <message>
        <source>Flex: </source>
        <translation>Flex: </translation>
    </message>
    <message>
        <source>RDL: </source>
        <translation>RDL: </translation>
    </message>
    <message>
        <source>Language: </source>
        <translation>Язык: </translation>
    </message>
    <message>
        <source>Not Found</source>
        <translation>Не найдено</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Неизвестна</translation>
    </message>
    <message>
        <source> Bytes</source>
        <translation> байт</translation>
    </message>
    <message>
        <source>#</source>
        <translation>№</translation>
    </message>
    <message>
        <source>Skin Folder</source>
        <translation>Папка скина</translation>
    </message>
    <message>
        <source>CG2 Location</source>
        <translation>Смещение в CG2</translation>
    </message>
    <message>
        <source>CG</source>
        <translation>CG</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Имя</translation>
    </message>
    <message>
        <source>Start Addr</source>
        <translation>Нач. адрес</translation>
    </message>
    <message>
        <source>End Addr</source>
        <translation>Кон. адрес</translation>
    </message>
    <message>
        <source>CG Header Info</source>
        <translation>Заголовок CG</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Размер</translation>
    </message>
    <message>
        <source>Ckbuf</source>
        <translation>Ckbuf</translation>
    </message>
    <message>
        <source>Ckhdr</source>
        <translation>Ckhdr</translation>
    </message>
    <message>
        <source>Code</source>
        <translation>Код</translation>
    </message>
    <message>
        <source>Damaged Code Group</source>
        <translation>Повреждённая группа кода</translation>
    </message>
</context>
</TS>
