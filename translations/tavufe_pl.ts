<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pl">
<context>
    <name>page</name>
    <message>
        <source>Language</source>
        <translation>Język</translation>
    </message>
    <message>
        <source>Delete skin files on phone first, this program deletes the remaining skin folder only.</source>
        <translation>Najpierw usuń pliki skórki w telefonie; ten program usuwa tylko pozostały folder skórki.</translation>
    </message>
    <message>
        <source>The file stays on this computer: nothing is uploaded.</source>
        <translation>Plik zostaje na tym komputerze: nic nie jest wysyłane.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otwórz</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Otwórz...</translation>
    </message>
    <message>
        <source>Open a superfile (.shx or .sbf)</source>
        <translation>Otwórz plik superfile (.shx lub .sbf)</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Raport</translation>
    </message>
    <message>
        <source>Skin folders</source>
        <translation>Foldery skórek</translation>
    </message>
    <message>
        <source>Up and Down select a folder; Delete deletes it.</source>
        <translation>Strzałki w górę i w dół zaznaczają folder; Delete go usuwa.</translation>
    </message>
    <message>
        <source>Delete Skin Folder</source>
        <translation>Usuń folder skórki</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Cofnij</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Ponów</translation>
    </message>
    <message>
        <source>Bytes a delete turns to FF</source>
        <translation>Bajty, które usunięcie zamieni na FF</translation>
    </message>
    <message>
        <source>Code groups a save writes</source>
        <translation>Grupy kodu zapisywane przy zapisie</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Zapisz</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>SHX superfile (*.shx)</source>
        <translation>Superfile SHX (*.shx)</translation>
    </message>
    <message>
        <source>SBF superfile (*.sbf)</source>
        <translation>Superfile SBF (*.sbf)</translation>
    </message>
    <message>
        <source>Flex code group (*.smg)</source>
        <translation>Grupa kodu Flex (*.smg)</translation>
    </message>
    <message>
        <source>Flex code group (*.bin)</source>
        <translation>Grupa kodu Flex (*.bin)</translation>
    </message>
    <message>
        <source>Review Changes</source>
        <translation>Przejrzyj zmiany</translation>
    </message>
    <message>
        <source>Findings</source>
        <translation>Wyniki sprawdzenia</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>OSTRZEŻENIE</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Anuluj</translation>
    </message>
    <message>
        <source>Save Anyway</source>
        <translation>Zapisz mimo to</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Odrzuć</translation>
    </message>
    <message>
        <source>Select a folder to see the bytes “Delete Skin Folder” turns to FF.</source>
        <translation>Zaznacz folder, aby zobaczyć bajty, które „Usuń folder skórki” zamieni na FF.</translation>
    </message>
    <message>
        <source>or drop a superfile (.shx or .sbf) here</source>
        <translation>albo upuść tutaj plik superfile (.shx lub .sbf)</translation>
    </message>
    <message>
        <source>Checksums OK</source>
        <translation>Sumy kontrolne poprawne</translation>
    </message>
    <message>
        <source>the file grew while it was read</source>
        <translation>plik urósł podczas odczytu</translation>
    </message>
    <message>
        <source>the file shrank while it was read</source>
        <translation>plik zmalał podczas odczytu</translation>
    </message>
    <message>
        <source>The changes to %1 have not been saved.
Do you want to save them?</source>
        <translation>Zmiany w %1 nie zostały zapisane.
Czy chcesz je zapisać?</translation>
    </message>
    <message>
        <source>Superfiles end in .shx or .sbf.</source>
        <translation>Pliki superfile mają rozszerzenie .shx lub .sbf.</translation>
    </message>
    <message>
        <source>Opening %1...</source>
        <translation>Otwieranie %1...</translation>
    </message>
    <message>
        <source>The page has no memory for a file of %1 bytes.</source>
        <translation>Strona nie ma pamięci na plik o rozmiarze %1 bajtów.</translation>
    </message>
    <message>
        <source>Findings lists every problem (%1 in all).</source>
        <translation>Wyniki sprawdzenia wymieniają wszystkie problemy (łącznie %1).</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Zapisano %1</translation>
    </message>
    <message>
        <source>; the date parameter was ignored: %1</source>
        <translation>; parametr daty został pominięty: %1</translation>
    </message>
    <message>
        <source>Review Changes — %1</source>
        <translation>Przegląd zmian — %1</translation>
    </message>
    <message>
        <source>Deleted %1</source>
        <translation>Usunięto %1</translation>
    </message>
    <message>
        <source>Redone</source>
        <translation>Ponowiono</translation>
    </message>
    <message>
        <source>Undone</source>
        <translation>Cofnięto</translation>
    </message>
    <message>
        <source>Drop one superfile at a time.</source>
        <translation>Upuszczaj po jednym pliku superfile.</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Gotowe</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Wczytywanie...</translation>
    </message>
    <message>
        <source>Rescue reads past the damaged lines and records and keeps the code groups that are whole.</source>
        <translation>Ratuj pomija uszkodzone wiersze i rekordy i zachowuje całe grupy kodu.</translation>
    </message>
    <message>
        <source>Rescue</source>
        <translation>Ratuj</translation>
    </message>
    <message>
        <source>nothing was damaged</source>
        <translation>nic nie było uszkodzone</translation>
    </message>
    <message numerus="yes">
        <source>%n damaged record(s) in %1</source>
        <translation>
            <numerusform>%n uszkodzony rekord w %1</numerusform>
            <numerusform>%n uszkodzone rekordy w %1</numerusform>
            <numerusform>%n uszkodzonych rekordów w %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n damaged line(s) in %1</source>
        <translation>
            <numerusform>%n uszkodzony wiersz w %1</numerusform>
            <numerusform>%n uszkodzone wiersze w %1</numerusform>
            <numerusform>%n uszkodzonych wierszy w %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Rescued: %1; %2</source>
        <translation>Uratowano: %1; %2</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are sound</source>
        <translation>RAMDLD i Flex są nienaruszone</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are damaged</source>
        <translation>RAMDLD i Flex są uszkodzone</translation>
    </message>
    <message>
        <source>the %1 is damaged</source>
        <translation>%1 jest uszkodzony</translation>
    </message>
    <message>
        <source>%1, so nothing can be saved</source>
        <translation>%1, więc nie można niczego zapisać</translation>
    </message>
    <message>
        <source>%1 (first at %2)</source>
        <translation>%1 (najpierw w %2)</translation>
    </message>
    <message>
        <source>%1 [rescued]</source>
        <translation>%1 [uratowany]</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) — see Findings</source>
        <translation>
            <numerusform>%n problem — zobacz Ustalenia</numerusform>
            <numerusform>%n problemy — zobacz Ustalenia</numerusform>
            <numerusform>%n problemów — zobacz Ustalenia</numerusform>
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
        <translation>Usuń pliki skórki (.dat i .ski) z Tavu za pomocą narzędzia P2K,
a potem zrób kopię zapasową flexa. Wczytaj flex do tego programu, aby usunąć
pozostały folder skórki. Wgraj zmodyfikowany flex do Tavu.

Dziękujemy wszystkim, którzy testowali wczesne wersje i przysyłali kopie zapasowe.

Pytania i skórki: pytaj na forum modderskim
społeczności użytkowników twojego telefonu.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>O programie</translation>
    </message>
    <message>
        <source>By the Tavu Flex Editor developers</source>
        <translation>Autorzy: twórcy Tavu Flex Editor</translation>
    </message>
    <message>
        <source>Copyright 2026 The Tavu Flex Editor developers.
Released under the MIT licence: free to use, copy, change and share,
with no warranty.</source>
        <translation>Copyright 2026 Twórcy Tavu Flex Editor.
Udostępniono na licencji MIT: wolno używać, kopiować, zmieniać i udostępniać,
bez żadnej gwarancji.</translation>
    </message>
</context>
<context>
    <name>tavufe::LanguageMenu</name>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Język</translation>
    </message>
    <message>
        <source>&amp;System Language</source>
        <translation>Język &amp;systemowy</translation>
    </message>
</context>
<context>
    <name>tavufe::MainWindow</name>
    <message>
        <source>Delete Skin Folder “%1”</source>
        <translation>Usuń folder skórki „%1”</translation>
    </message>
    <message>
        <source>Delete skin files on phone first, this program deletes the remaining skin folder only.</source>
        <translation>Najpierw usuń pliki skórki w telefonie; ten program usuwa tylko pozostały folder skórki.</translation>
    </message>
    <message>
        <source>Help — %1</source>
        <translation>Pomoc — %1</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Otwórz...</translation>
    </message>
    <message>
        <source>Open an existing file</source>
        <translation>Otwórz istniejący plik</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Otwórz</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Zapisz</translation>
    </message>
    <message>
        <source>Save the RAMDLD and the Flex to a superfile, or the Flex alone</source>
        <translation>Zapisz RAMDLD i Flex jako superfile albo sam Flex</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>ZAPISZ</translation>
    </message>
    <message>
        <source>Save the RAMDLD and Flex code groups as a superfile, or the Flex alone</source>
        <translation>Zapisz grupy kodu RAMDLD i Flex jako superfile albo sam Flex</translation>
    </message>
    <message>
        <source>&amp;Verify...</source>
        <translation>&amp;Weryfikuj...</translation>
    </message>
    <message>
        <source>Check every checksum and record of the file as it is on disk</source>
        <translation>Sprawdź każdą sumę kontrolną i każdy rekord pliku w postaci zapisanej na dysku</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>Za&amp;kończ</translation>
    </message>
    <message>
        <source>Exit this application</source>
        <translation>Zakończ ten program</translation>
    </message>
    <message>
        <source>&amp;Delete Skin Folder</source>
        <translation>&amp;Usuń folder skórki</translation>
    </message>
    <message>
        <source>Erase the selected folder&apos;s record: its bytes become erased flash (FF)</source>
        <translation>Wymaż rekord zaznaczonego folderu: jego bajty staną się wymazanym flashem (FF)</translation>
    </message>
    <message>
        <source>Re&amp;view Changes...</source>
        <translation>Przejrzyj &amp;zmiany...</translation>
    </message>
    <message>
        <source>List what a save would write differently from the opened file</source>
        <translation>Pokaż, co zapis zmieniłby względem otwartego pliku</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Cofnij</translation>
    </message>
    <message>
        <source>Put back the folder record deleted last</source>
        <translation>Przywróć ostatnio usunięty rekord folderu</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Ponów</translation>
    </message>
    <message>
        <source>Delete the folder record again</source>
        <translation>Usuń ponownie rekord folderu</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopiuj</translation>
    </message>
    <message>
        <source>Copy the selected code-group values</source>
        <translation>Kopiuj zaznaczone wartości grup kodu</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Kopiuj &amp;nazwę</translation>
    </message>
    <message>
        <source>Copy the selected folder&apos;s name</source>
        <translation>Kopiuj nazwę zaznaczonego folderu</translation>
    </message>
    <message>
        <source>Copy &amp;Offset</source>
        <translation>Kopiuj &amp;przesunięcie</translation>
    </message>
    <message>
        <source>Copy the selected folder&apos;s location in the Flex</source>
        <translation>Kopiuj położenie zaznaczonego folderu we Flexie</translation>
    </message>
    <message>
        <source>Cut Selected CG</source>
        <translation>Wytnij zaznaczoną CG</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Cofnij</translation>
    </message>
    <message>
        <source>Save Selected CG</source>
        <translation>Zapisz zaznaczoną CG</translation>
    </message>
    <message>
        <source>Replace Selected CG</source>
        <translation>Zastąp zaznaczoną CG</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Spis treści</translation>
    </message>
    <message>
        <source>Show the steps of the job and the keys</source>
        <translation>Pokaż kroki pracy i klawisze</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;O programie</translation>
    </message>
    <message>
        <source>Show the program&apos;s version and help</source>
        <translation>Pokaż wersję programu i pomoc</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Plik</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>O&amp;statnio otwierane</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Edycja</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Pomo&amp;c</translation>
    </message>
    <message>
        <source>The language changes when the editor next starts.</source>
        <translation>Język zmieni się przy następnym uruchomieniu edytora.</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Plik</translation>
    </message>
    <message>
        <source>More tools</source>
        <translation>Więcej narzędzi</translation>
    </message>
    <message>
        <source>Opened file</source>
        <translation>Otwarty plik</translation>
    </message>
    <message>
        <source>The path of the superfile shown</source>
        <translation>Ścieżka wyświetlanego superfile</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Raport</translation>
    </message>
    <message>
        <source>What the superfile&apos;s header and code groups say</source>
        <translation>Co mówią nagłówek i grupy kodu superfile</translation>
    </message>
    <message>
        <source>Skin folders</source>
        <translation>Foldery skórek</translation>
    </message>
    <message>
        <source>The folder records in the Flex code group; select one to delete it</source>
        <translation>Rekordy folderów w grupie kodu Flex; zaznacz jeden, aby go usunąć</translation>
    </message>
    <message>
        <source>Record bytes</source>
        <translation>Bajty rekordu</translation>
    </message>
    <message>
        <source>The bytes of the selected folder record that a delete turns to FF</source>
        <translation>Bajty zaznaczonego rekordu folderu, które usunięcie zamieni na FF</translation>
    </message>
    <message>
        <source>Select a folder to see the bytes “Delete Skin Folder” turns to FF.</source>
        <translation>Zaznacz folder, aby zobaczyć bajty, które „Usuń folder skórki” zamieni na FF.</translation>
    </message>
    <message>
        <source>Code groups</source>
        <translation>Grupy kodu</translation>
    </message>
    <message>
        <source>The RAMDLD and Flex code groups that a save writes</source>
        <translation>Grupy kodu RAMDLD i Flex zapisywane przy zapisie</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Postęp</translation>
    </message>
    <message>
        <source>Checksum state</source>
        <translation>Stan sum kontrolnych</translation>
    </message>
    <message>
        <source>Click for File &gt; Verify</source>
        <translation>Kliknij, aby wykonać Plik &gt; Weryfikuj</translation>
    </message>
    <message>
        <source>Checksums OK</source>
        <translation>Sumy kontrolne poprawne</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) — see File &gt; Verify</source>
        <translation>
            <numerusform>%n problem — zob. Plik &gt; Weryfikuj</numerusform>
            <numerusform>%n problemy — zob. Plik &gt; Weryfikuj</numerusform>
            <numerusform>%n problemów — zob. Plik &gt; Weryfikuj</numerusform>
        </translation>
    </message>
    <message>
        <source>Superfiles end in .shx or .sbf.</source>
        <translation>Pliki superfile mają rozszerzenie .shx lub .sbf.</translation>
    </message>
    <message>
        <source>File &gt; Verify lists every problem (%1 in all).</source>
        <translation>Plik &gt; Weryfikuj wymienia wszystkie problemy (łącznie %1).</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>OSTRZEŻENIE</translation>
    </message>
    <message>
        <source>Could not save %1</source>
        <translation>Nie można zapisać %1</translation>
    </message>
    <message>
        <source>Saved to %1</source>
        <translation>Zapisano w %1</translation>
    </message>
    <message numerus="yes">
        <source>; %n other hard link(s) keep(s) the old contents</source>
        <translation>
            <numerusform>; %n inne dowiązanie twarde zachowuje starą zawartość</numerusform>
            <numerusform>; %n inne dowiązania twarde zachowują starą zawartość</numerusform>
            <numerusform>; %n innych dowiązań twardych zachowuje starą zawartość</numerusform>
        </translation>
    </message>
    <message>
        <source>Checked %1 as it is on disk; unsaved changes are not in it.</source>
        <translation>Sprawdzono %1 w postaci zapisanej na dysku; niezapisane zmiany nie są w nim uwzględnione.</translation>
    </message>
    <message>
        <source>Checked %1 as it is on disk.</source>
        <translation>Sprawdzono %1 w postaci zapisanej na dysku.</translation>
    </message>
    <message>
        <source>Verify — %1</source>
        <translation>Weryfikacja — %1</translation>
    </message>
    <message>
        <source>Review Changes — %1</source>
        <translation>Przegląd zmian — %1</translation>
    </message>
    <message>
        <source>NOTICE</source>
        <translation>INFORMACJA</translation>
    </message>
    <message>
        <source>%1: the temporary file could not be removed: %2</source>
        <translation>%1: nie można usunąć pliku tymczasowego: %2</translation>
    </message>
    <message>
        <source>Open a superfile to begin: File &gt; Open (%1), or drop it onto the window.</source>
        <translation>Otwórz plik superfile, aby zacząć: Plik &gt; Otwórz (%1), albo upuść go na okno.</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Stan</translation>
    </message>
    <message>
        <source>Drop one superfile at a time</source>
        <translation>Upuszczaj po jednym pliku superfile</translation>
    </message>
    <message>
        <source>%1: not a file on this computer</source>
        <translation>%1: to nie jest plik na tym komputerze</translation>
    </message>
    <message>
        <source>%1: %2; superfiles end in .shx or .sbf</source>
        <translation>%1: %2; pliki superfile mają rozszerzenie .shx lub .sbf</translation>
    </message>
    <message>
        <source>Saved the Flex code group alone to %1 (%2, %3 bytes)</source>
        <translation>Zapisano tylko grupę kodu Flex w %1 (%2, %3 bajtów)</translation>
    </message>
    <message>
        <source>%1[*] [rescued]</source>
        <translation>%1[*] [uratowany]</translation>
    </message>
    <message>
        <source>R&amp;escue...</source>
        <translation>&amp;Ratuj...</translation>
    </message>
    <message>
        <source>Open a damaged superfile, reading past its damaged lines and records</source>
        <translation>Otwórz uszkodzony superplik, pomijając jego uszkodzone wiersze i rekordy</translation>
    </message>
    <message>
        <source>Rescued: no damage found</source>
        <translation>Uratowano: nie znaleziono uszkodzeń</translation>
    </message>
    <message>
        <source>Rescued: %1 damaged</source>
        <translation>Uratowano: %1 uszkodzone</translation>
    </message>
    <message>
        <source>1 damaged line</source>
        <translation>1 uszkodzony wiersz</translation>
    </message>
    <message>
        <source>1 damaged record</source>
        <translation>1 uszkodzony rekord</translation>
    </message>
    <message>
        <source>%1 damaged lines</source>
        <translation>Uszkodzone wiersze: %1</translation>
    </message>
    <message>
        <source>%1 damaged records</source>
        <translation>Uszkodzone rekordy: %1</translation>
    </message>
    <message>
        <source>Rescued: %1 in %2</source>
        <translation>Uratowano: %1 w %2</translation>
    </message>
    <message>
        <source>the %1 is damaged</source>
        <translation>%1 jest uszkodzony</translation>
    </message>
    <message>
        <source>the %1 and the %2 are damaged</source>
        <translation>%1 i %2 są uszkodzone</translation>
    </message>
    <message>
        <source>%1: nothing can be saved</source>
        <translation>%1: nie można niczego zapisać</translation>
    </message>
    <message>
        <source>Nothing can be saved: %1</source>
        <translation>Nie można niczego zapisać: %1</translation>
    </message>
    <message>
        <source>Nothing can be saved: %1, first at %2</source>
        <translation>Nie można niczego zapisać: %1, najpierw w %2</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are sound</source>
        <translation>RAMDLD i Flex są nienaruszone</translation>
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
        <translation>Usuwanie pozostałego folderu skórki

1. Najpierw usuń pliki skórki w telefonie, a potem zrób kopię zapasową jego Flexa
   jako superfile (.shx lub .sbf).
2. Otwórz ją: Plik &gt; Otwórz, Plik &gt; Ostatnio otwierane albo upuść plik na okno. Raport
   pokazuje, co zawiera; pasek stanu mówi, czy sumy kontrolne się zgadzają.
3. Zaznacz folder skórki na liście folderów. Panel pod nią pokazuje bajty, które
   usunięcie zamieni na FF.
4. Naciśnij „Usuń folder skórki”. Edycja &gt; Cofnij przywraca rekord.
5. Plik &gt; Zapisz: SHX lub SBF daje superfile do ponownego wgrania; SMG lub BIN zawiera
   tylko grupę kodu Flex.

Klawisze

Ctrl+O                  Otwórz
Ctrl+S                  Zapisz
Delete, Alt+U           Usuń folder skórki (Delete na liście folderów)
Ctrl+Z                  Cofnij
Ctrl+Shift+Z, Ctrl+Y    Ponów
Ctrl+D                  Przejrzyj zmiany
Ctrl+C                  Kopiuj zaznaczone wartości grup kodu
Tab, Shift+Tab          Przechodzenie między kontrolkami
Shift+F10, klawisz Menu Polecenia listy folderów
F1                      Ta pomoc
Ctrl+Q                  Zakończ</translation>
    </message>
    <message>
        <source>A backup that does not open can still give up its Flex: Rescue (in the box that says why,
or File &gt; Rescue) reads past the damaged lines and keeps the code groups that are whole.</source>
        <translation>Kopia, której nie da się otworzyć, może nadal oddać swój Flex: Ratuj (w oknie z przyczyną
lub Plik &gt; Ratuj) pomija uszkodzone wiersze i zachowuje całe grupy kodu.</translation>
    </message>
</context>
<context>
    <name>tavufe::QtDialogs</name>
    <message>
        <source>WARNING</source>
        <translation>OSTRZEŻENIE</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Anuluj</translation>
    </message>
    <message>
        <source>Save &amp;Anyway</source>
        <translation>&amp;Zapisz mimo to</translation>
    </message>
    <message>
        <source>The changes to %1 have not been saved.
Do you want to save them?</source>
        <translation>Zmiany w %1 nie zostały zapisane.
Czy chcesz je zapisać?</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Zapisz</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Odrzuć</translation>
    </message>
    <message>
        <source>&amp;Review Changes</source>
        <translation>&amp;Przejrzyj zmiany</translation>
    </message>
    <message>
        <source>%1 holds %2, which this save does not write.
Replace it anyway?</source>
        <translation>%1 zawiera %2, których ten zapis nie obejmie.
Zastąpić mimo to?</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Zastąp</translation>
    </message>
    <message>
        <source>SuperFiles (shx-sbf) (*.shx *.sbf)</source>
        <translation>Pliki superfile (shx-sbf) (*.shx *.sbf)</translation>
    </message>
    <message>
        <source>SHX Files (*.shx)</source>
        <translation>Pliki SHX (*.shx)</translation>
    </message>
    <message>
        <source>SBF Files (*.sbf)</source>
        <translation>Pliki SBF (*.sbf)</translation>
    </message>
    <message>
        <source>SHX superfile (*.shx)</source>
        <translation>Superfile SHX (*.shx)</translation>
    </message>
    <message>
        <source>SBF superfile (*.sbf)</source>
        <translation>Superfile SBF (*.sbf)</translation>
    </message>
    <message>
        <source>Flex code group only (*.smg)</source>
        <translation>Tylko grupa kodu Flex (*.smg)</translation>
    </message>
    <message>
        <source>Flex code group only, raw (*.bin)</source>
        <translation>Tylko grupa kodu Flex, surowa (*.bin)</translation>
    </message>
    <message>
        <source>Rescue reads past the damaged lines and keeps the code groups that are whole.</source>
        <translation>Ratuj pomija uszkodzone wiersze i zachowuje całe grupy kodu.</translation>
    </message>
    <message>
        <source>&amp;Rescue</source>
        <translation>&amp;Ratuj</translation>
    </message>
</context>
<context>
    <name>tavufe::SystemTexts</name>
    <message>
        <source>File Not Opened</source>
        <translation>Nie otwarto pliku</translation>
    </message>
    <message>
        <source>Buffer Error</source>
        <translation>Błąd bufora</translation>
    </message>
    <message>
        <source>Checksum Error</source>
        <translation>Błąd sumy kontrolnej</translation>
    </message>
    <message>
        <source>Buffer Address Overflow</source>
        <translation>Przepełnienie adresu bufora</translation>
    </message>
    <message>
        <source>Record Error</source>
        <translation>Błąd rekordu</translation>
    </message>
    <message>
        <source>Address Range</source>
        <translation>Przekroczony zakres adresów</translation>
    </message>
    <message>
        <source>RDL Blank or Missing</source>
        <translation>RDL pusty lub brak</translation>
    </message>
    <message>
        <source>File Write Error</source>
        <translation>Błąd zapisu pliku</translation>
    </message>
    <message>
        <source>Verify Error</source>
        <translation>Błąd weryfikacji</translation>
    </message>
    <message>
        <source>File Type Not Supported</source>
        <translation>Nieobsługiwany typ pliku</translation>
    </message>
    <message>
        <source>Duplicate CG</source>
        <translation>Zduplikowana CG</translation>
    </message>
    <message>
        <source>No File(s) Selected To Save</source>
        <translation>Nie wybrano plików do zapisania</translation>
    </message>
    <message>
        <source>No Flex Code Group</source>
        <translation>Brak grupy kodu Flex</translation>
    </message>
    <message>
        <source>Save Would Drop Code Groups</source>
        <translation>Zapis pominąłby grupy kodu</translation>
    </message>
    <message>
        <source>HEADER INFO: </source>
        <translation>NAGŁÓWEK: </translation>
    </message>
    <message>
        <source>Date: </source>
        <translation>Data: </translation>
    </message>
    <message>
        <source>File: </source>
        <translation>Plik: </translation>
    </message>
    <message>
        <source>Platform: </source>
        <translation>Platforma: </translation>
    </message>
    <message>
        <source>Firmware: </source>
        <translation>Firmware: </translation>
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
        <translation>Język: </translation>
    </message>
    <message>
        <source>Not Found</source>
        <translation>Nie znaleziono</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Nieznana</translation>
    </message>
    <message>
        <source> Bytes</source>
        <translation> bajtów</translation>
    </message>
    <message>
        <source>#</source>
        <translation>#</translation>
    </message>
    <message>
        <source>Skin Folder</source>
        <translation>Folder skórki</translation>
    </message>
    <message>
        <source>CG2 Location</source>
        <translation>Położenie w CG2</translation>
    </message>
    <message>
        <source>CG</source>
        <translation>CG</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nazwa</translation>
    </message>
    <message>
        <source>Start Addr</source>
        <translation>Adres pocz.</translation>
    </message>
    <message>
        <source>End Addr</source>
        <translation>Adres końc.</translation>
    </message>
    <message>
        <source>CG Header Info</source>
        <translation>Nagłówek CG</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Rozmiar</translation>
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
        <translation>Kod</translation>
    </message>
    <message>
        <source>Damaged Code Group</source>
        <translation>Uszkodzona grupa kodu</translation>
    </message>
</context>
</TS>
