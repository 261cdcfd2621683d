<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="es">
<context>
    <name>page</name>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>Delete skin files on phone first, this program deletes the remaining skin folder only.</source>
        <translation>Elimine primero los archivos del skin en el teléfono; este programa solo elimina la carpeta de skin que queda.</translation>
    </message>
    <message>
        <source>The file stays on this computer: nothing is uploaded.</source>
        <translation>El archivo se queda en este equipo: no se sube nada.</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>Open...</source>
        <translation>Abrir...</translation>
    </message>
    <message>
        <source>Open a superfile (.shx or .sbf)</source>
        <translation>Abrir un superfile (.shx o .sbf)</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Informe</translation>
    </message>
    <message>
        <source>Skin folders</source>
        <translation>Carpetas de skin</translation>
    </message>
    <message>
        <source>Up and Down select a folder; Delete deletes it.</source>
        <translation>Arriba y Abajo seleccionan una carpeta; Supr la elimina.</translation>
    </message>
    <message>
        <source>Delete Skin Folder</source>
        <translation>Eliminar carpeta de skin</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Deshacer</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Rehacer</translation>
    </message>
    <message>
        <source>Bytes a delete turns to FF</source>
        <translation>Bytes que una eliminación convierte en FF</translation>
    </message>
    <message>
        <source>Code groups a save writes</source>
        <translation>Grupos de código que escribe un guardado</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Guardar</translation>
    </message>
    <message>
        <source>Type</source>
        <translation>Tipo</translation>
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
        <translation>Grupo de código Flex (*.smg)</translation>
    </message>
    <message>
        <source>Flex code group (*.bin)</source>
        <translation>Grupo de código Flex (*.bin)</translation>
    </message>
    <message>
        <source>Review Changes</source>
        <translation>Revisar cambios</translation>
    </message>
    <message>
        <source>Findings</source>
        <translation>Hallazgos</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>Aceptar</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>ADVERTENCIA</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Save Anyway</source>
        <translation>Guardar de todos modos</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Descartar</translation>
    </message>
    <message>
        <source>Select a folder to see the bytes “Delete Skin Folder” turns to FF.</source>
        <translation>Seleccione una carpeta para ver los bytes que «Eliminar carpeta de skin» convierte en FF.</translation>
    </message>
    <message>
        <source>or drop a superfile (.shx or .sbf) here</source>
        <translation>o suelte aquí un superfile (.shx o .sbf)</translation>
    </message>
    <message>
        <source>Checksums OK</source>
        <translation>Sumas de verificación correctas</translation>
    </message>
    <message>
        <source>the file grew while it was read</source>
        <translation>el archivo creció mientras se leía</translation>
    </message>
    <message>
        <source>the file shrank while it was read</source>
        <translation>el archivo se redujo mientras se leía</translation>
    </message>
    <message>
        <source>The changes to %1 have not been saved.
Do you want to save them?</source>
        <translation>Los cambios en %1 no se han guardado.
¿Desea guardarlos?</translation>
    </message>
    <message>
        <source>Superfiles end in .shx or .sbf.</source>
        <translation>Los superfiles terminan en .shx o .sbf.</translation>
    </message>
    <message>
        <source>Opening %1...</source>
        <translation>Abriendo %1...</translation>
    </message>
    <message>
        <source>The page has no memory for a file of %1 bytes.</source>
        <translation>La página no tiene memoria para un archivo de %1 bytes.</translation>
    </message>
    <message>
        <source>Findings lists every problem (%1 in all).</source>
        <translation>Hallazgos enumera todos los problemas (%1 en total).</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>Guardado %1</translation>
    </message>
    <message>
        <source>; the date parameter was ignored: %1</source>
        <translation>; se ignoró el parámetro de fecha: %1</translation>
    </message>
    <message>
        <source>Review Changes — %1</source>
        <translation>Revisar cambios — %1</translation>
    </message>
    <message>
        <source>Deleted %1</source>
        <translation>Eliminado %1</translation>
    </message>
    <message>
        <source>Redone</source>
        <translation>Rehecho</translation>
    </message>
    <message>
        <source>Undone</source>
        <translation>Deshecho</translation>
    </message>
    <message>
        <source>Drop one superfile at a time.</source>
        <translation>Suelte un solo superfile cada vez.</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Listo</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Cargando...</translation>
    </message>
    <message>
        <source>Rescue reads past the damaged lines and records and keeps the code groups that are whole.</source>
        <translation>Rescatar salta las líneas y registros dañados y conserva los grupos de código completos.</translation>
    </message>
    <message>
        <source>Rescue</source>
        <translation>Rescatar</translation>
    </message>
    <message>
        <source>nothing was damaged</source>
        <translation>nada estaba dañado</translation>
    </message>
    <message numerus="yes">
        <source>%n damaged record(s) in %1</source>
        <translation>
            <numerusform>%n registro dañado en %1</numerusform>
            <numerusform>%n registros dañados en %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n damaged line(s) in %1</source>
        <translation>
            <numerusform>%n línea dañada en %1</numerusform>
            <numerusform>%n líneas dañadas en %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Rescued: %1; %2</source>
        <translation>Rescatado: %1; %2</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are sound</source>
        <translation>el RAMDLD y el Flex están intactos</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are damaged</source>
        <translation>el RAMDLD y el Flex están dañados</translation>
    </message>
    <message>
        <source>the %1 is damaged</source>
        <translation>%1 está dañado</translation>
    </message>
    <message>
        <source>%1, so nothing can be saved</source>
        <translation>%1, así que no se puede guardar nada</translation>
    </message>
    <message>
        <source>%1 (first at %2)</source>
        <translation>%1 (primero en %2)</translation>
    </message>
    <message>
        <source>%1 [rescued]</source>
        <translation>%1 [rescatado]</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) — see Findings</source>
        <translation>
            <numerusform>%n problema — ver Hallazgos</numerusform>
            <numerusform>%n problemas — ver Hallazgos</numerusform>
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
        <translation>Elimine los archivos del skin (.dat y .ski) del Tavu con una utilidad P2K
y luego haga una copia de seguridad del flex. Cargue el flex en este programa para
eliminar la carpeta de skin que queda. Flashee el flex modificado en el Tavu.

Gracias a todos los que probaron las primeras versiones y enviaron copias de seguridad.

Preguntas y skins: pregunte en el foro de modding
de la comunidad de usuarios de su teléfono.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Acerca de</translation>
    </message>
    <message>
        <source>By the Tavu Flex Editor developers</source>
        <translation>Por los desarrolladores de Tavu Flex Editor</translation>
    </message>
    <message>
        <source>Copyright 2026 The Tavu Flex Editor developers.
Released under the MIT licence: free to use, copy, change and share,
with no warranty.</source>
        <translation>Copyright 2026 Los desarrolladores de Tavu Flex Editor.
Publicado bajo la licencia MIT: libre de usar, copiar, modificar y compartir,
sin garantía.</translation>
    </message>
</context>
<context>
    <name>tavufe::LanguageMenu</name>
    <message>
        <source>&amp;Language</source>
        <translation>&amp;Idioma</translation>
    </message>
    <message>
        <source>&amp;System Language</source>
        <translation>Idioma del &amp;sistema</translation>
    </message>
</context>
<context>
    <name>tavufe::MainWindow</name>
    <message>
        <source>Delete Skin Folder “%1”</source>
        <translation>Eliminar carpeta de skin «%1»</translation>
    </message>
    <message>
        <source>Delete skin files on phone first, this program deletes the remaining skin folder only.</source>
        <translation>Elimine primero los archivos del skin en el teléfono; este programa solo elimina la carpeta de skin que queda.</translation>
    </message>
    <message>
        <source>Help — %1</source>
        <translation>Ayuda — %1</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Abrir...</translation>
    </message>
    <message>
        <source>Open an existing file</source>
        <translation>Abrir un archivo existente</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>Save the RAMDLD and the Flex to a superfile, or the Flex alone</source>
        <translation>Guardar el RAMDLD y el Flex en un superfile, o solo el Flex</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>GUARDAR</translation>
    </message>
    <message>
        <source>Save the RAMDLD and Flex code groups as a superfile, or the Flex alone</source>
        <translation>Guardar los grupos de código RAMDLD y Flex como superfile, o solo el Flex</translation>
    </message>
    <message>
        <source>&amp;Verify...</source>
        <translation>&amp;Verificar...</translation>
    </message>
    <message>
        <source>Check every checksum and record of the file as it is on disk</source>
        <translation>Comprobar cada suma de verificación y cada registro del archivo tal como está en el disco</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>&amp;Salir</translation>
    </message>
    <message>
        <source>Exit this application</source>
        <translation>Salir de esta aplicación</translation>
    </message>
    <message>
        <source>&amp;Delete Skin Folder</source>
        <translation>E&amp;liminar carpeta de skin</translation>
    </message>
    <message>
        <source>Erase the selected folder&apos;s record: its bytes become erased flash (FF)</source>
        <translation>Borrar el registro de la carpeta seleccionada: sus bytes pasan a ser flash borrada (FF)</translation>
    </message>
    <message>
        <source>Re&amp;view Changes...</source>
        <translation>Re&amp;visar cambios...</translation>
    </message>
    <message>
        <source>List what a save would write differently from the opened file</source>
        <translation>Listar lo que un guardado escribiría distinto del archivo abierto</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Deshacer</translation>
    </message>
    <message>
        <source>Put back the folder record deleted last</source>
        <translation>Restaurar el último registro de carpeta eliminado</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Rehacer</translation>
    </message>
    <message>
        <source>Delete the folder record again</source>
        <translation>Eliminar de nuevo el registro de carpeta</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>Copy the selected code-group values</source>
        <translation>Copiar los valores seleccionados de los grupos de código</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Copiar &amp;nombre</translation>
    </message>
    <message>
        <source>Copy the selected folder&apos;s name</source>
        <translation>Copiar el nombre de la carpeta seleccionada</translation>
    </message>
    <message>
        <source>Copy &amp;Offset</source>
        <translation>Copiar &amp;desplazamiento</translation>
    </message>
    <message>
        <source>Copy the selected folder&apos;s location in the Flex</source>
        <translation>Copiar la posición de la carpeta seleccionada en el Flex</translation>
    </message>
    <message>
        <source>Cut Selected CG</source>
        <translation>Cortar el CG seleccionado</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Deshacer</translation>
    </message>
    <message>
        <source>Save Selected CG</source>
        <translation>Guardar el CG seleccionado</translation>
    </message>
    <message>
        <source>Replace Selected CG</source>
        <translation>Reemplazar el CG seleccionado</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Contenido</translation>
    </message>
    <message>
        <source>Show the steps of the job and the keys</source>
        <translation>Mostrar los pasos del trabajo y las teclas</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Acerca de</translation>
    </message>
    <message>
        <source>Show the program&apos;s version and help</source>
        <translation>Mostrar la versión y la ayuda del programa</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Archivo</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>Abrir &amp;reciente</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Editar</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Ay&amp;uda</translation>
    </message>
    <message>
        <source>The language changes when the editor next starts.</source>
        <translation>El idioma cambiará la próxima vez que se inicie el editor.</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Archivo</translation>
    </message>
    <message>
        <source>More tools</source>
        <translation>Más herramientas</translation>
    </message>
    <message>
        <source>Opened file</source>
        <translation>Archivo abierto</translation>
    </message>
    <message>
        <source>The path of the superfile shown</source>
        <translation>La ruta del superfile mostrado</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Informe</translation>
    </message>
    <message>
        <source>What the superfile&apos;s header and code groups say</source>
        <translation>Lo que dicen la cabecera y los grupos de código del superfile</translation>
    </message>
    <message>
        <source>Skin folders</source>
        <translation>Carpetas de skin</translation>
    </message>
    <message>
        <source>The folder records in the Flex code group; select one to delete it</source>
        <translation>Los registros de carpeta del grupo de código Flex; seleccione uno para eliminarlo</translation>
    </message>
    <message>
        <source>Record bytes</source>
        <translation>Bytes del registro</translation>
    </message>
    <message>
        <source>The bytes of the selected folder record that a delete turns to FF</source>
        <translation>Los bytes del registro de carpeta seleccionado que una eliminación convierte en FF</translation>
    </message>
    <message>
        <source>Select a folder to see the bytes “Delete Skin Folder” turns to FF.</source>
        <translation>Seleccione una carpeta para ver los bytes que «Eliminar carpeta de skin» convierte en FF.</translation>
    </message>
    <message>
        <source>Code groups</source>
        <translation>Grupos de código</translation>
    </message>
    <message>
        <source>The RAMDLD and Flex code groups that a save writes</source>
        <translation>Los grupos de código RAMDLD y Flex que escribe un guardado</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Progreso</translation>
    </message>
    <message>
        <source>Checksum state</source>
        <translation>Estado de las sumas de verificación</translation>
    </message>
    <message>
        <source>Click for File &gt; Verify</source>
        <translation>Haga clic para Archivo &gt; Verificar</translation>
    </message>
    <message>
        <source>Checksums OK</source>
        <translation>Sumas de verificación correctas</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) — see File &gt; Verify</source>
        <translation>
            <numerusform>%n problema — vea Archivo &gt; Verificar</numerusform>
            <numerusform>%n problemas — vea Archivo &gt; Verificar</numerusform>
        </translation>
    </message>
    <message>
        <source>Superfiles end in .shx or .sbf.</source>
        <translation>Los superfiles terminan en .shx o .sbf.</translation>
    </message>
    <message>
        <source>File &gt; Verify lists every problem (%1 in all).</source>
        <translation>Archivo &gt; Verificar enumera todos los problemas (%1 en total).</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>ADVERTENCIA</translation>
    </message>
    <message>
        <source>Could not save %1</source>
        <translation>No se pudo guardar %1</translation>
    </message>
    <message>
        <source>Saved to %1</source>
        <translation>Guardado en %1</translation>
    </message>
    <message numerus="yes">
        <source>; %n other hard link(s) keep(s) the old contents</source>
        <translation>
            <numerusform>; %n enlace duro más conserva el contenido anterior</numerusform>
            <numerusform>; %n enlaces duros más conservan el contenido anterior</numerusform>
        </translation>
    </message>
    <message>
        <source>Checked %1 as it is on disk; unsaved changes are not in it.</source>
        <translation>Se comprobó %1 tal como está en el disco; los cambios sin guardar no están en él.</translation>
    </message>
    <message>
        <source>Checked %1 as it is on disk.</source>
        <translation>Se comprobó %1 tal como está en el disco.</translation>
    </message>
    <message>
        <source>Verify — %1</source>
        <translation>Verificar — %1</translation>
    </message>
    <message>
        <source>Review Changes — %1</source>
        <translation>Revisar cambios — %1</translation>
    </message>
    <message>
        <source>NOTICE</source>
        <translation>AVISO</translation>
    </message>
    <message>
        <source>%1: the temporary file could not be removed: %2</source>
        <translation>%1: no se pudo eliminar el archivo temporal: %2</translation>
    </message>
    <message>
        <source>Open a superfile to begin: File &gt; Open (%1), or drop it onto the window.</source>
        <translation>Abra un superfile para empezar: Archivo &gt; Abrir (%1), o arrástrelo a la ventana.</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Estado</translation>
    </message>
    <message>
        <source>Drop one superfile at a time</source>
        <translation>Suelte un solo superfile cada vez</translation>
    </message>
    <message>
        <source>%1: not a file on this computer</source>
        <translation>%1: no es un archivo de este equipo</translation>
    </message>
    <message>
        <source>%1: %2; superfiles end in .shx or .sbf</source>
        <translation>%1: %2; los superfiles terminan en .shx o .sbf</translation>
    </message>
    <message>
        <source>Saved the Flex code group alone to %1 (%2, %3 bytes)</source>
        <translation>Solo el grupo de código Flex guardado en %1 (%2, %3 bytes)</translation>
    </message>
    <message>
        <source>%1[*] [rescued]</source>
        <translation>%1[*] [rescatado]</translation>
    </message>
    <message>
        <source>R&amp;escue...</source>
        <translation>R&amp;escatar...</translation>
    </message>
    <message>
        <source>Open a damaged superfile, reading past its damaged lines and records</source>
        <translation>Abrir un superarchivo dañado, saltando sus líneas y registros dañados</translation>
    </message>
    <message>
        <source>Rescued: no damage found</source>
        <translation>Rescatado: no se encontraron daños</translation>
    </message>
    <message>
        <source>Rescued: %1 damaged</source>
        <translation>Rescatado: %1 dañado</translation>
    </message>
    <message>
        <source>1 damaged line</source>
        <translation>1 línea dañada</translation>
    </message>
    <message>
        <source>1 damaged record</source>
        <translation>1 registro dañado</translation>
    </message>
    <message>
        <source>%1 damaged lines</source>
        <translation>%1 líneas dañadas</translation>
    </message>
    <message>
        <source>%1 damaged records</source>
        <translation>%1 registros dañados</translation>
    </message>
    <message>
        <source>Rescued: %1 in %2</source>
        <translation>Rescatado: %1 en %2</translation>
    </message>
    <message>
        <source>the %1 is damaged</source>
        <translation>%1 está dañado</translation>
    </message>
    <message>
        <source>the %1 and the %2 are damaged</source>
        <translation>%1 y %2 están dañados</translation>
    </message>
    <message>
        <source>%1: nothing can be saved</source>
        <translation>%1: no se puede guardar nada</translation>
    </message>
    <message>
        <source>Nothing can be saved: %1</source>
        <translation>No se puede guardar nada: %1</translation>
    </message>
    <message>
        <source>Nothing can be saved: %1, first at %2</source>
        <translation>No se puede guardar nada: %1, primero en %2</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are sound</source>
        <translation>el RAMDLD y el Flex están intactos</translation>
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
        <translation>Eliminar una carpeta de skin sobrante

1. Elimine primero los archivos del skin en el teléfono y luego haga una copia de
   seguridad de su Flex como superfile (.shx o .sbf).
2. Ábralo: Archivo &gt; Abrir, Archivo &gt; Abrir reciente, o arrástrelo a la ventana. El
   informe muestra lo que contiene; la barra de estado indica si sus sumas de
   verificación son correctas.
3. Seleccione la carpeta de skin en la lista de carpetas. El panel de debajo muestra los
   bytes que una eliminación convierte en FF.
4. Pulse «Eliminar carpeta de skin». Editar &gt; Deshacer restaura el registro.
5. Archivo &gt; Guardar: SHX o SBF da un superfile para volver a flashear; SMG o BIN
   contiene solo el grupo de código Flex.

Teclas

Ctrl+O                  Abrir
Ctrl+S                  Guardar
Supr, Alt+L             Eliminar carpeta de skin (Supr en la lista de carpetas)
Ctrl+Z                  Deshacer
Ctrl+Mayús+Z, Ctrl+Y    Rehacer
Ctrl+D                  Revisar cambios
Ctrl+C                  Copiar los valores seleccionados de los grupos de código
Tab, Mayús+Tab          Moverse entre los controles
Mayús+F10, tecla Menú   Las órdenes de la lista de carpetas
F1                      Esta ayuda
Ctrl+Q                  Salir</translation>
    </message>
    <message>
        <source>A backup that does not open can still give up its Flex: Rescue (in the box that says why,
or File &gt; Rescue) reads past the damaged lines and keeps the code groups that are whole.</source>
        <translation>Una copia que no se abre aún puede entregar su Flex: Rescatar (en el cuadro que dice por qué,
o Archivo &gt; Rescatar) salta las líneas dañadas y conserva los grupos de código completos.</translation>
    </message>
</context>
<context>
    <name>tavufe::QtDialogs</name>
    <message>
        <source>WARNING</source>
        <translation>ADVERTENCIA</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>Save &amp;Anyway</source>
        <translation>&amp;Guardar de todos modos</translation>
    </message>
    <message>
        <source>The changes to %1 have not been saved.
Do you want to save them?</source>
        <translation>Los cambios en %1 no se han guardado.
¿Desea guardarlos?</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Guardar</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Descartar</translation>
    </message>
    <message>
        <source>&amp;Review Changes</source>
        <translation>&amp;Revisar cambios</translation>
    </message>
    <message>
        <source>%1 holds %2, which this save does not write.
Replace it anyway?</source>
        <translation>%1 contiene %2, que este guardado no escribe.
¿Reemplazarlo de todos modos?</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Reemplazar</translation>
    </message>
    <message>
        <source>SuperFiles (shx-sbf) (*.shx *.sbf)</source>
        <translation>Superfiles (shx-sbf) (*.shx *.sbf)</translation>
    </message>
    <message>
        <source>SHX Files (*.shx)</source>
        <translation>Archivos SHX (*.shx)</translation>
    </message>
    <message>
        <source>SBF Files (*.sbf)</source>
        <translation>Archivos SBF (*.sbf)</translation>
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
        <translation>Solo el grupo de código Flex (*.smg)</translation>
    </message>
    <message>
        <source>Flex code group only, raw (*.bin)</source>
        <translation>Solo el grupo de código Flex, en bruto (*.bin)</translation>
    </message>
    <message>
        <source>Rescue reads past the damaged lines and keeps the code groups that are whole.</source>
        <translation>Rescatar salta las líneas dañadas y conserva los grupos de código completos.</translation>
    </message>
    <message>
        <source>&amp;Rescue</source>
        <translation>&amp;Rescatar</translation>
    </message>
</context>
<context>
    <name>tavufe::SystemTexts</name>
    <message>
        <source>File Not Opened</source>
        <translation>Archivo no abierto</translation>
    </message>
    <message>
        <source>Buffer Error</source>
        <translation>Error de búfer</translation>
    </message>
    <message>
        <source>Checksum Error</source>
        <translation>Error de suma de verificación</translation>
    </message>
    <message>
        <source>Buffer Address Overflow</source>
        <translation>Desbordamiento de dirección de búfer</translation>
    </message>
    <message>
        <source>Record Error</source>
        <translation>Error de registro</translation>
    </message>
    <message>
        <source>Address Range</source>
        <translation>Rango de direcciones excedido</translation>
    </message>
    <message>
        <source>RDL Blank or Missing</source>
        <translation>RDL vacío o ausente</translation>
    </message>
    <message>
        <source>File Write Error</source>
        <translation>Error de escritura del archivo</translation>
    </message>
    <message>
        <source>Verify Error</source>
        <translation>Error de verificación</translation>
    </message>
    <message>
        <source>File Type Not Supported</source>
        <translation>Tipo de archivo no admitido</translation>
    </message>
    <message>
        <source>Duplicate CG</source>
        <translation>CG duplicado</translation>
    </message>
    <message>
        <source>No File(s) Selected To Save</source>
        <translation>No hay archivos seleccionados para guardar</translation>
    </message>
    <message>
        <source>No Flex Code Group</source>
        <translation>No hay grupo de código Flex</translation>
    </message>
    <message>
        <source>Save Would Drop Code Groups</source>
        <translation>Guardar descartaría grupos de código</translation>
    </message>
    <message>
        <source>HEADER INFO: </source>
        <translation>INFO DE CABECERA: </translation>
    </message>
    <message>
        <source>Date: </source>
        <translation>Fecha: </translation>
    </message>
    <message>
        <source>File: </source>
        <translation>Archivo: </translation>
    </message>
    <message>
        <source>Platform: </source>
        <translation>Plataforma: </translation>
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
        <translation>Idioma: </translation>
    </message>
    <message>
        <source>Not Found</source>
        <translation>No encontrado</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Desconocida</translation>
    </message>
    <message>
        <source> Bytes</source>
        <translation> bytes</translation>
    </message>
    <message>
        <source>#</source>
        <translation>#</translation>
    </message>
    <message>
        <source>Skin Folder</source>
        <translation>Carpeta de skin</translation>
    </message>
    <message>
        <source>CG2 Location</source>
        <translation>Posición en CG2</translation>
    </message>
    <message>
        <source>CG</source>
        <translation>CG</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nombre</translation>
    </message>
    <message>
        <source>Start Addr</source>
        <translation>Dir. inicial</translation>
    </message>
    <message>
        <source>End Addr</source>
        <translation>Dir. final</translation>
    </message>
    <message>
        <source>CG Header Info</source>
        <translation>Cabecera del CG</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Tamaño</translation>
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
        <translation>Código</translation>
    </message>
    <message>
        <source>Damaged Code Group</source>
        <translation>Grupo de código dañado</translation>
    </message>
</context>
</TS>
