<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="de">
<context>
    <name>page</name>
    <message>
        <source>Language</source>
        <translation>Sprache</translation>
    </message>
    <message>
        <source>Delete skin files on phone first, this program deletes the remaining skin folder only.</source>
        <translation>Löschen Sie zuerst die Skin-Dateien auf dem Telefon; dieses Programm löscht nur den übrig gebliebenen Skin-Ordner.</translation>
    </message>
    <message>
        <source>The file stays on this computer: nothing is uploaded.</source>
        <translation>Die Datei bleibt auf diesem Rechner: nichts wird hochgeladen.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Öffnen...</translation>
    </message>
    <message>
        <source>Open a superfile (.shx or .sbf)</source>
        <translation>Ein Superfile öffnen (.shx oder .sbf)</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Bericht</translation>
    </message>
    <message>
        <source>Skin folders</source>
        <translation>Skin-Ordner</translation>
    </message>
    <message>
        <source>Up and Down select a folder; Delete deletes it.</source>
        <translation>Auf und Ab wählen einen Ordner; Entf löscht ihn.</translation>
    </message>
    <message>
        <source>Delete Skin Folder</source>
        <translation>Skin-Ordner löschen</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Wiederherstellen</translation>
    </message>
    <message>
        <source>Bytes a delete turns to FF</source>
        <translation>Bytes, die ein Löschen zu FF macht</translation>
    </message>
    <message>
        <source>Code groups a save writes</source>
        <translation>Codegruppen, die ein Speichern schreibt</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Speichern</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Typ</translation>
    </message>
    <message>
        <source>SHX superfile (*.shx)</source>
        <translation>SHX-Superfile (*.shx)</translation>
    </message>
    <message>
        <source>SBF superfile (*.sbf)</source>
        <translation>SBF-Superfile (*.sbf)</translation>
    </message>
    <message>
        <source>Flex code group (*.smg)</source>
        <translation>Flex-Codegruppe (*.smg)</translation>
    </message>
    <message>
        <source>Flex code group (*.bin)</source>
        <translation>Flex-Codegruppe (*.bin)</translation>
    </message>
    <message>
        <source>Review Changes</source>
        <translation>Änderungen prüfen</translation>
    </message>
    <message>
        <source>Findings</source>
        <translation>Befunde</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>WARNUNG</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Abbrechen</translation>
    </message>
    <message>
        <source>Save Anyway</source>
        <translation>Trotzdem speichern</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Verwerfen</translation>
    </message>
    <message>
        <source>Select a folder to see the bytes “Delete Skin Folder” turns to FF.</source>
        <translation>Wählen Sie einen Ordner, um die Bytes zu sehen, die „Skin-Ordner löschen“ zu FF macht.</translation>
    </message>
    <message>
        <source>or drop a superfile (.shx or .sbf) here</source>
        <translation>oder ein Superfile (.shx oder .sbf) hierher ziehen</translation>
    </message>
    <message>
        <source>Checksums OK</source>
        <translation>Prüfsummen OK</translation>
    </message>
    <message>
        <source>the file grew while it was read</source>
        <translation>die Datei ist beim Lesen gewachsen</translation>
    </message>
    <message>
        <source>the file shrank while it was read</source>
        <translation>die Datei ist beim Lesen geschrumpft</translation>
    </message>
    <message>
        <source>The changes to %1 have not been saved.
Do you want to save them?</source>
        <translation>Die Änderungen an %1 wurden nicht gespeichert.
Möchten Sie sie speichern?</translation>
    </message>
    <message>
        <source>Superfiles end in .shx or .sbf.</source>
        <translation>Superfiles enden auf .shx oder .sbf.</translation>
    </message>
    <message>
        <source>Opening %1...</source>
        <translation>%1 wird geöffnet...</translation>
    </message>
    <message>
        <source>The page has no memory for a file of %1 bytes.</source>
        <translation>Die Seite hat keinen Speicher für eine Datei von %1 Bytes.</translation>
    </message>
    <message>
        <source>Findings lists every problem (%1 in all).</source>
        <translation>Befunde listet jedes Problem auf (insgesamt %1).</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 gespeichert</translation>
    </message>
    <message>
        <source>; the date parameter was ignored: %1</source>
        <translation>; der Datumsparameter wurde ignoriert: %1</translation>
    </message>
    <message>
        <source>Review Changes — %1</source>
        <translation>Änderungen prüfen — %1</translation>
    </message>
    <message>
        <source>Deleted %1</source>
        <translation>%1 gelöscht</translation>
    </message>
    <message>
        <source>Redone</source>
        <translation>Wiederhergestellt</translation>
    </message>
    <message>
        <source>Undone</source>
        <translation>Rückgängig gemacht</translation>
    </message>
    <message>
        <source>Drop one superfile at a time.</source>
        <translation>Ziehen Sie jeweils nur ein Superfile hierher.</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Bereit</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Wird geladen...</translation>
    </message>
    <message>
        <source>Rescue reads past the damaged lines and records and keeps the code groups that are whole.</source>
        <translation>Retten überspringt die beschädigten Zeilen und Datensätze und behält die vollständigen Codegruppen.</translation>
    </message>
    <message>
        <source>Rescue</source>
        <translation>Retten</translation>
    </message>
    <message>
        <source>nothing was damaged</source>
        <translation>nichts war beschädigt</translation>
    </message>
    <message numerus="yes">
        <source>%n damaged record(s) in %1</source>
        <translation>
            <numerusform>%n beschädigter Datensatz in %1</numerusform>
            <numerusform>%n beschädigte Datensätze in %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n damaged line(s) in %1</source>
        <translation>
            <numerusform>%n beschädigte Zeile in %1</numerusform>
            <numerusform>%n beschädigte Zeilen in %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Rescued: %1; %2</source>
        <translation>Gerettet: %1; %2</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are sound</source>
        <translation>RAMDLD und Flex sind intakt</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are damaged</source>
        <translation>RAMDLD und Flex sind beschädigt</translation>
    </message>
    <message>
        <source>the %1 is damaged</source>
        <translation>%1 ist beschädigt</translation>
    </message>
    <message>
        <source>%1, so nothing can be saved</source>
        <translation>%1, daher kann nichts gespeichert werden</translation>
    </message>
    <message>
        <source>%1 (first at %2)</source>
        <translation>%1 (zuerst bei %2)</translation>
    </message>
    <message>
        <source>%1 [rescued]</source>
        <translation>%1 [gerettet]</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) — see Findings</source>
        <translation>
            <numerusform>%n Problem – siehe Befunde</numerusform>
            <numerusform>%n Probleme – siehe Befunde</numerusform>
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
        <translation>Löschen Sie die Skin-Dateien (.dat &amp; .ski) mit einem P2K-Werkzeug vom Tavu
und sichern Sie dann den Flex. Laden Sie den Flex in dieses Programm, um den
übrig gebliebenen Skin-Ordner zu löschen. Flashen Sie den geänderten Flex auf den Tavu.

Danke an alle, die die frühen Versionen getestet und Sicherungen geschickt haben.

Fragen und Skins: Fragen Sie im Modding-Forum
der Nutzergemeinschaft Ihres Geräts.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Über</translation>
    </message>
    <message>
        <source>By the Tavu Flex Editor developers</source>
        <translation>Von den Entwicklern des Tavu Flex Editor</translation>
    </message>
    <message>
        <source>Copyright 2026 The Tavu Flex Editor developers.
Released under the MIT licence: free to use, copy, change and share,
with no warranty.</source>
        <translation>Copyright 2026 Die Entwickler des Tavu Flex Editor.
Veröffentlicht unter der MIT-Lizenz: frei zu benutzen, zu kopieren, zu ändern und
weiterzugeben, ohne Gewährleistung.</translation>
    </message>
</context>
<context>
    <name>tavufe::LanguageMenu</name>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Sprache</translation>
    </message>
    <message>
        <source>&amp;System Language</source>
        <translation>&amp;Systemsprache</translation>
    </message>
</context>
<context>
    <name>tavufe::MainWindow</name>
    <message>
        <source>Delete Skin Folder “%1”</source>
        <translation>Skin-Ordner „%1“ löschen</translation>
    </message>
    <message>
        <source>Delete skin files on phone first, this program deletes the remaining skin folder only.</source>
        <translation>Löschen Sie zuerst die Skin-Dateien auf dem Telefon; dieses Programm löscht nur den übrig gebliebenen Skin-Ordner.</translation>
    </message>
    <message>
        <source>Help — %1</source>
        <translation>Hilfe — %1</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>Ö&amp;ffnen...</translation>
    </message>
    <message>
        <source>Open an existing file</source>
        <translation>Eine vorhandene Datei öffnen</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Öffnen</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>Save the RAMDLD and the Flex to a superfile, or the Flex alone</source>
        <translation>RAMDLD und Flex als Superfile speichern, oder den Flex allein</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>SPEICHERN</translation>
    </message>
    <message>
        <source>Save the RAMDLD and Flex code groups as a superfile, or the Flex alone</source>
        <translation>Die Codegruppen RAMDLD und Flex als Superfile speichern, oder den Flex allein</translation>
    </message>
    <message>
        <source>&amp;Verify...</source>
        <translation>&amp;Prüfen...</translation>
    </message>
    <message>
        <source>Check every checksum and record of the file as it is on disk</source>
        <translation>Jede Prüfsumme und jeden Datensatz der Datei prüfen, wie sie auf dem Datenträger liegt</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Beenden</translation>
    </message>
    <message>
        <source>Exit this application</source>
        <translation>Diese Anwendung beenden</translation>
    </message>
    <message>
        <source>&amp;Delete Skin Folder</source>
        <translation>Skin-Ordner &amp;löschen</translation>
    </message>
    <message>
        <source>Erase the selected folder&apos;s record: its bytes become erased flash (FF)</source>
        <translation>Den Eintrag des gewählten Ordners löschen: seine Bytes werden zu gelöschtem Flash (FF)</translation>
    </message>
    <message>
        <source>Re&amp;view Changes...</source>
        <translation>Änderungen &amp;prüfen...</translation>
    </message>
    <message>
        <source>List what a save would write differently from the opened file</source>
        <translation>Auflisten, was ein Speichern anders schreiben würde als in der geöffneten Datei steht</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Rückgängig</translation>
    </message>
    <message>
        <source>Put back the folder record deleted last</source>
        <translation>Den zuletzt gelöschten Ordnereintrag wiederherstellen</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Wiederherstellen</translation>
    </message>
    <message>
        <source>Delete the folder record again</source>
        <translation>Den Ordnereintrag erneut löschen</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Kopieren</translation>
    </message>
    <message>
        <source>Copy the selected code-group values</source>
        <translation>Die gewählten Werte der Codegruppen kopieren</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>&amp;Namen kopieren</translation>
    </message>
    <message>
        <source>Copy the selected folder&apos;s name</source>
        <translation>Den Namen des gewählten Ordners kopieren</translation>
    </message>
    <message>
        <source>Copy &amp;Offset</source>
        <translation>&amp;Offset kopieren</translation>
    </message>
    <message>
        <source>Copy the selected folder&apos;s location in the Flex</source>
        <translation>Die Position des gewählten Ordners im Flex kopieren</translation>
    </message>
    <message>
        <source>Cut Selected CG</source>
        <translation>Gewählte CG ausschneiden</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Rückgängig</translation>
    </message>
    <message>
        <source>Save Selected CG</source>
        <translation>Gewählte CG speichern</translation>
    </message>
    <message>
        <source>Replace Selected CG</source>
        <translation>Gewählte CG ersetzen</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Inhalt</translation>
    </message>
    <message>
        <source>Show the steps of the job and the keys</source>
        <translation>Die Arbeitsschritte und die Tasten anzeigen</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>Ü&amp;ber</translation>
    </message>
    <message>
        <source>Show the program&apos;s version and help</source>
        <translation>Version und Hilfe des Programms anzeigen</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Datei</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>&amp;Zuletzt geöffnet</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Bearbeiten</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>&amp;Hilfe</translation>
    </message>
    <message>
        <source>The language changes when the editor next starts.</source>
        <translation>Die Sprache wechselt beim nächsten Start des Editors.</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Datei</translation>
    </message>
    <message>
        <source>More tools</source>
        <translation>Weitere Werkzeuge</translation>
    </message>
    <message>
        <source>Opened file</source>
        <translation>Geöffnete Datei</translation>
    </message>
    <message>
        <source>The path of the superfile shown</source>
        <translation>Der Pfad des angezeigten Superfiles</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Bericht</translation>
    </message>
    <message>
        <source>What the superfile&apos;s header and code groups say</source>
        <translation>Was Kopf und Codegruppen des Superfiles angeben</translation>
    </message>
    <message>
        <source>Skin folders</source>
        <translation>Skin-Ordner</translation>
    </message>
    <message>
        <source>The folder records in the Flex code group; select one to delete it</source>
        <translation>Die Ordnereinträge in der Flex-Codegruppe; wählen Sie einen, um ihn zu löschen</translation>
    </message>
    <message>
        <source>Record bytes</source>
        <translation>Bytes des Eintrags</translation>
    </message>
    <message>
        <source>The bytes of the selected folder record that a delete turns to FF</source>
        <translation>Die Bytes des gewählten Ordnereintrags, die ein Löschen zu FF macht</translation>
    </message>
    <message>
        <source>Select a folder to see the bytes “Delete Skin Folder” turns to FF.</source>
        <translation>Wählen Sie einen Ordner, um die Bytes zu sehen, die „Skin-Ordner löschen“ zu FF macht.</translation>
    </message>
    <message>
        <source>Code groups</source>
        <translation>Codegruppen</translation>
    </message>
    <message>
        <source>The RAMDLD and Flex code groups that a save writes</source>
        <translation>Die Codegruppen RAMDLD und Flex, die ein Speichern schreibt</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Fortschritt</translation>
    </message>
    <message>
        <source>Checksum state</source>
        <translation>Prüfsummenstatus</translation>
    </message>
    <message>
        <source>Click for File &gt; Verify</source>
        <translation>Klicken für Datei &gt; Prüfen</translation>
    </message>
    <message>
        <source>Checksums OK</source>
        <translation>Prüfsummen OK</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) — see File &gt; Verify</source>
        <translation>
            <numerusform>%n Problem — siehe Datei &gt; Prüfen</numerusform>
            <numerusform>%n Probleme — siehe Datei &gt; Prüfen</numerusform>
        </translation>
    </message>
    <message>
        <source>Superfiles end in .shx or .sbf.</source>
        <translation>Superfiles enden auf .shx oder .sbf.</translation>
    </message>
    <message>
        <source>File &gt; Verify lists every problem (%1 in all).</source>
        <translation>Datei &gt; Prüfen listet jedes Problem auf (insgesamt %1).</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>WARNUNG</translation>
    </message>
    <message>
        <source>Could not save %1</source>
        <translation>%1 konnte nicht gespeichert werden</translation>
    </message>
    <message>
        <source>Saved to %1</source>
        <translation>Gespeichert unter %1</translation>
    </message>
    <message numerus="yes">
        <source>; %n other hard link(s) keep(s) the old contents</source>
        <translation>
            <numerusform>; %n weiterer harter Link behält den alten Inhalt</numerusform>
            <numerusform>; %n weitere harte Links behalten den alten Inhalt</numerusform>
        </translation>
    </message>
    <message>
        <source>Checked %1 as it is on disk; unsaved changes are not in it.</source>
        <translation>%1 wurde so geprüft, wie die Datei auf dem Datenträger liegt; ungespeicherte Änderungen sind nicht darin.</translation>
    </message>
    <message>
        <source>Checked %1 as it is on disk.</source>
        <translation>%1 wurde so geprüft, wie die Datei auf dem Datenträger liegt.</translation>
    </message>
    <message>
        <source>Verify — %1</source>
        <translation>Prüfen — %1</translation>
    </message>
    <message>
        <source>Review Changes — %1</source>
        <translation>Änderungen prüfen — %1</translation>
    </message>
    <message>
        <source>NOTICE</source>
        <translation>HINWEIS</translation>
    </message>
    <message>
        <source>%1: the temporary file could not be removed: %2</source>
        <translation>%1: Die temporäre Datei konnte nicht entfernt werden: %2</translation>
    </message>
    <message>
        <source>Open a superfile to begin: File &gt; Open (%1), or drop it onto the window.</source>
        <translation>Öffnen Sie ein Superfile, um zu beginnen: Datei &gt; Öffnen (%1), oder ziehen Sie es auf das Fenster.</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Drop one superfile at a time</source>
        <translation>Ziehen Sie jeweils nur ein Superfile hierher</translation>
    </message>
    <message>
        <source>%1: not a file on this computer</source>
        <translation>%1: keine Datei auf diesem Rechner</translation>
    </message>
    <message>
        <source>%1: %2; superfiles end in .shx or .sbf</source>
        <translation>%1: %2; Superfiles enden auf .shx oder .sbf</translation>
    </message>
    <message>
        <source>Saved the Flex code group alone to %1 (%2, %3 bytes)</source>
        <translation>Nur die Flex-Codegruppe unter %1 gespeichert (%2, %3 Bytes)</translation>
    </message>
    <message>
        <source>%1[*] [rescued]</source>
        <translation>%1[*] [gerettet]</translation>
    </message>
    <message>
        <source>R&amp;escue...</source>
        <translation>&amp;Retten...</translation>
    </message>
    <message>
        <source>Open a damaged superfile, reading past its damaged lines and records</source>
        <translation>Eine beschädigte Superdatei öffnen und dabei ihre beschädigten Zeilen und Datensätze überspringen</translation>
    </message>
    <message>
        <source>Rescued: no damage found</source>
        <translation>Gerettet: keine Beschädigung gefunden</translation>
    </message>
    <message>
        <source>Rescued: %1 damaged</source>
        <translation>Gerettet: %1 beschädigt</translation>
    </message>
    <message>
        <source>1 damaged line</source>
        <translation>1 beschädigte Zeile</translation>
    </message>
    <message>
        <source>1 damaged record</source>
        <translation>1 beschädigter Datensatz</translation>
    </message>
    <message>
        <source>%1 damaged lines</source>
        <translation>%1 beschädigte Zeilen</translation>
    </message>
    <message>
        <source>%1 damaged records</source>
        <translation>%1 beschädigte Datensätze</translation>
    </message>
    <message>
        <source>Rescued: %1 in %2</source>
        <translation>Gerettet: %1 in %2</translation>
    </message>
    <message>
        <source>the %1 is damaged</source>
        <translation>%1 ist beschädigt</translation>
    </message>
    <message>
        <source>the %1 and the %2 are damaged</source>
        <translation>%1 und %2 sind beschädigt</translation>
    </message>
    <message>
        <source>%1: nothing can be saved</source>
        <translation>%1: nichts kann gespeichert werden</translation>
    </message>
    <message>
        <source>Nothing can be saved: %1</source>
        <translation>Nichts kann gespeichert werden: %1</translation>
    </message>
    <message>
        <source>Nothing can be saved: %1, first at %2</source>
        <translation>Nichts kann gespeichert werden: %1, zuerst bei %2</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are sound</source>
        <translation>RAMDLD und Flex sind intakt</translation>
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
        <translation>Einen übrig gebliebenen Skin-Ordner löschen

1. Löschen Sie zuerst die Skin-Dateien auf dem Gerät und sichern Sie dann seinen Flex
   als Superfile (.shx oder .sbf).
2. Öffnen Sie es: Datei &gt; Öffnen, Datei &gt; Zuletzt geöffnet, oder ziehen Sie es auf das
   Fenster. Der Bericht zeigt, was es enthält; die Statusleiste sagt, ob seine
   Prüfsummen stimmen.
3. Wählen Sie den Skin-Ordner in der Ordnerliste. Der Bereich darunter zeigt die Bytes,
   die ein Löschen zu FF macht.
4. Drücken Sie „Skin-Ordner löschen“. Bearbeiten &gt; Rückgängig stellt den Eintrag wieder her.
5. Datei &gt; Speichern: SHX oder SBF ergibt ein Superfile zum Zurückflashen; SMG oder BIN
   enthält nur die Flex-Codegruppe.

Tasten

Strg+O                  Öffnen
Strg+S                  Speichern
Entf, Alt+L             Skin-Ordner löschen (Entf in der Ordnerliste)
Strg+Z                  Rückgängig
Strg+Umschalt+Z, Strg+Y Wiederherstellen
Strg+D                  Änderungen prüfen
Strg+C                  Die gewählten Werte der Codegruppen kopieren
Tab, Umschalt+Tab       Zwischen den Bedienelementen wechseln
Umschalt+F10, Menütaste Die Befehle der Ordnerliste
F1                      Diese Hilfe
Strg+Q                  Beenden</translation>
    </message>
    <message>
        <source>A backup that does not open can still give up its Flex: Rescue (in the box that says why,
or File &gt; Rescue) reads past the damaged lines and keeps the code groups that are whole.</source>
        <translation>Eine Sicherung, die sich nicht öffnen lässt, kann ihren Flex trotzdem hergeben: Retten (im Fenster,
das den Grund nennt, oder Datei &gt; Retten) überspringt die beschädigten Zeilen und behält die
vollständigen Codegruppen.</translation>
    </message>
</context>
<context>
    <name>tavufe::QtDialogs</name>
    <message>
        <source>WARNING</source>
        <translation>WARNUNG</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Abbrechen</translation>
    </message>
    <message>
        <source>Save &amp;Anyway</source>
        <translation>&amp;Trotzdem speichern</translation>
    </message>
    <message>
        <source>The changes to %1 have not been saved.
Do you want to save them?</source>
        <translation>Die Änderungen an %1 wurden nicht gespeichert.
Möchten Sie sie speichern?</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Speichern</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Verwerfen</translation>
    </message>
    <message>
        <source>&amp;Review Changes</source>
        <translation>Änderungen &amp;prüfen</translation>
    </message>
    <message>
        <source>%1 holds %2, which this save does not write.
Replace it anyway?</source>
        <translation>%1 enthält %2, was dieses Speichern nicht schreibt.
Trotzdem ersetzen?</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Ersetzen</translation>
    </message>
    <message>
        <source>SuperFiles (shx-sbf) (*.shx *.sbf)</source>
        <translation>Superfiles (shx-sbf) (*.shx *.sbf)</translation>
    </message>
    <message>
        <source>SHX Files (*.shx)</source>
        <translation>SHX-Dateien (*.shx)</translation>
    </message>
    <message>
        <source>SBF Files (*.sbf)</source>
        <translation>SBF-Dateien (*.sbf)</translation>
    </message>
    <message>
        <source>SHX superfile (*.shx)</source>
        <translation>SHX-Superfile (*.shx)</translation>
    </message>
    <message>
        <source>SBF superfile (*.sbf)</source>
        <translation>SBF-Superfile (*.sbf)</translation>
    </message>
    <message>
        <source>Flex code group only (*.smg)</source>
        <translation>Nur Flex-Codegruppe (*.smg)</translation>
    </message>
    <message>
        <source>Flex code group only, raw (*.bin)</source>
        <translation>Nur Flex-Codegruppe, roh (*.bin)</translation>
    </message>
    <message>
        <source>Rescue reads past the damaged lines and keeps the code groups that are whole.</source>
        <translation>Retten überspringt die beschädigten Zeilen und behält die vollständigen Codegruppen.</translation>
    </message>
    <message>
        <source>&amp;Rescue</source>
        <translation>&amp;Retten</translation>
    </message>
</context>
<context>
    <name>tavufe::SystemTexts</name>
    <message>
        <source>File Not Opened</source>
        <translation>Datei nicht geöffnet</translation>
    </message>
    <message>
        <source>Buffer Error</source>
        <translation>Pufferfehler</translation>
    </message>
    <message>
        <source>Checksum Error</source>
        <translation>Prüfsummenfehler</translation>
    </message>
    <message>
        <source>Buffer Address Overflow</source>
        <translation>Pufferadressüberlauf</translation>
    </message>
    <message>
        <source>Record Error</source>
        <translation>Datensatzfehler</translation>
    </message>
    <message>
        <source>Address Range</source>
        <translation>Adressbereich überschritten</translation>
    </message>
    <message>
        <source>RDL Blank or Missing</source>
        <translation>RDL leer oder fehlt</translation>
    </message>
    <message>
        <source>File Write Error</source>
        <translation>Dateischreibfehler</translation>
    </message>
    <message>
        <source>Verify Error</source>
        <translation>Überprüfungsfehler</translation>
    </message>
    <message>
        <source>File Type Not Supported</source>
        <translation>Dateityp nicht unterstützt</translation>
    </message>
    <message>
        <source>Duplicate CG</source>
        <translation>Doppelte CG</translation>
    </message>
    <message>
        <source>No File(s) Selected To Save</source>
        <translation>Keine Datei(en) zum Speichern ausgewählt</translation>
    </message>
    <message>
        <source>No Flex Code Group</source>
        <translation>Keine Flex-Codegruppe</translation>
    </message>
    <message>
        <source>Save Would Drop Code Groups</source>
        <translation>Speichern würde Codegruppen verwerfen</translation>
    </message>
    <message>
        <source>HEADER INFO: </source>
        <translation>KOPFDATEN: </translation>
    </message>
    <message>
        <source>Date: </source>
        <translation>Datum: </translation>
    </message>
    <message>
        <source>File: </source>
        <translation>Datei: </translation>
    </message>
    <message>
        <source>Platform: </source>
        <translation>Plattform: </translation>
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
        <translation>Sprache: </translation>
    </message>
    <message>
        <source>Not Found</source>
        <translation>Nicht gefunden</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Unbekannt</translation>
    </message>
    <message>
        <source> Bytes</source>
        <translation> Bytes</translation>
    </message>
    <message>
        <source>#</source>
        <translation>#</translation>
    </message>
    <message>
        <source>Skin Folder</source>
        <translation>Skin-Ordner</translation>
    </message>
    <message>
        <source>CG2 Location</source>
        <translation>Position in CG2</translation>
    </message>
    <message>
        <source>CG</source>
        <translation>CG</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Name</translation>
    </message>
    <message>
        <source>Start Addr</source>
        <translation>Startadresse</translation>
    </message>
    <message>
        <source>End Addr</source>
        <translation>Endadresse</translation>
    </message>
    <message>
        <source>CG Header Info</source>
        <translation>CG-Kopfdaten</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Größe</translation>
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
        <translation>Code</translation>
    </message>
    <message>
        <source>Damaged Code Group</source>
        <translation>Beschädigte Codegruppe</translation>
    </message>
</context>
</TS>
