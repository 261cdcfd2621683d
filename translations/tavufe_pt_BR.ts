<?xml version="1.0" encoding="utf-8"?>
<!DOCTYPE TS>
<TS version="2.1" language="pt_BR">
<context>
    <name>page</name>
    <message>
        <source>Language</source>
        <translation>Idioma</translation>
    </message>
    <message>
        <source>Delete skin files on phone first, this program deletes the remaining skin folder only.</source>
        <translation>Exclua primeiro os arquivos do skin no telefone; este programa só exclui a pasta de skin que sobrou.</translation>
    </message>
    <message>
        <source>The file stays on this computer: nothing is uploaded.</source>
        <translation>O arquivo fica neste computador: nada é enviado.</translation>
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
        <translation>Abrir um superfile (.shx ou .sbf)</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Relatório</translation>
    </message>
    <message>
        <source>Skin folders</source>
        <translation>Pastas de skin</translation>
    </message>
    <message>
        <source>Up and Down select a folder; Delete deletes it.</source>
        <translation>Para cima e Para baixo selecionam uma pasta; Delete a exclui.</translation>
    </message>
    <message>
        <source>Delete Skin Folder</source>
        <translation>Excluir pasta de skin</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Desfazer</translation>
    </message>
    <message>
        <source>Redo</source>
        <translation>Refazer</translation>
    </message>
    <message>
        <source>Bytes a delete turns to FF</source>
        <translation>Bytes que uma exclusão transforma em FF</translation>
    </message>
    <message>
        <source>Code groups a save writes</source>
        <translation>Grupos de código que um salvamento grava</translation>
    </message>
    <message>
        <source>Save</source>
        <translation>Salvar</translation>
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
        <translation>Revisar alterações</translation>
    </message>
    <message>
        <source>Findings</source>
        <translation>Constatações</translation>
    </message>
    <message>
        <source>OK</source>
        <translation>OK</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>AVISO</translation>
    </message>
    <message>
        <source>Cancel</source>
        <translation>Cancelar</translation>
    </message>
    <message>
        <source>Save Anyway</source>
        <translation>Salvar mesmo assim</translation>
    </message>
    <message>
        <source>Discard</source>
        <translation>Descartar</translation>
    </message>
    <message>
        <source>Select a folder to see the bytes “Delete Skin Folder” turns to FF.</source>
        <translation>Selecione uma pasta para ver os bytes que “Excluir pasta de skin” transforma em FF.</translation>
    </message>
    <message>
        <source>or drop a superfile (.shx or .sbf) here</source>
        <translation>ou solte um superfile (.shx ou .sbf) aqui</translation>
    </message>
    <message>
        <source>Checksums OK</source>
        <translation>Somas de verificação corretas</translation>
    </message>
    <message>
        <source>the file grew while it was read</source>
        <translation>o arquivo cresceu durante a leitura</translation>
    </message>
    <message>
        <source>the file shrank while it was read</source>
        <translation>o arquivo diminuiu durante a leitura</translation>
    </message>
    <message>
        <source>The changes to %1 have not been saved.
Do you want to save them?</source>
        <translation>As alterações em %1 não foram salvas.
Deseja salvá-las?</translation>
    </message>
    <message>
        <source>Superfiles end in .shx or .sbf.</source>
        <translation>Superfiles terminam em .shx ou .sbf.</translation>
    </message>
    <message>
        <source>Opening %1...</source>
        <translation>Abrindo %1...</translation>
    </message>
    <message>
        <source>The page has no memory for a file of %1 bytes.</source>
        <translation>A página não tem memória para um arquivo de %1 bytes.</translation>
    </message>
    <message>
        <source>Findings lists every problem (%1 in all).</source>
        <translation>Constatações lista todos os problemas (%1 no total).</translation>
    </message>
    <message>
        <source>Saved %1</source>
        <translation>%1 salvo</translation>
    </message>
    <message>
        <source>; the date parameter was ignored: %1</source>
        <translation>; o parâmetro de data foi ignorado: %1</translation>
    </message>
    <message>
        <source>Review Changes — %1</source>
        <translation>Revisar alterações — %1</translation>
    </message>
    <message>
        <source>Deleted %1</source>
        <translation>%1 excluído</translation>
    </message>
    <message>
        <source>Redone</source>
        <translation>Refeito</translation>
    </message>
    <message>
        <source>Undone</source>
        <translation>Desfeito</translation>
    </message>
    <message>
        <source>Drop one superfile at a time.</source>
        <translation>Solte um superfile por vez.</translation>
    </message>
    <message>
        <source>Ready</source>
        <translation>Pronto</translation>
    </message>
    <message>
        <source>Loading...</source>
        <translation>Carregando...</translation>
    </message>
    <message>
        <source>Rescue reads past the damaged lines and records and keeps the code groups that are whole.</source>
        <translation>Resgatar passa por cima das linhas e registros danificados e mantém os grupos de código inteiros.</translation>
    </message>
    <message>
        <source>Rescue</source>
        <translation>Resgatar</translation>
    </message>
    <message>
        <source>nothing was damaged</source>
        <translation>nada estava danificado</translation>
    </message>
    <message numerus="yes">
        <source>%n damaged record(s) in %1</source>
        <translation>
            <numerusform>%n registro danificado em %1</numerusform>
            <numerusform>%n registros danificados em %1</numerusform>
        </translation>
    </message>
    <message numerus="yes">
        <source>%n damaged line(s) in %1</source>
        <translation>
            <numerusform>%n linha danificada em %1</numerusform>
            <numerusform>%n linhas danificadas em %1</numerusform>
        </translation>
    </message>
    <message>
        <source>Rescued: %1; %2</source>
        <translation>Resgatado: %1; %2</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are sound</source>
        <translation>o RAMDLD e o Flex estão íntegros</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are damaged</source>
        <translation>o RAMDLD e o Flex estão danificados</translation>
    </message>
    <message>
        <source>the %1 is damaged</source>
        <translation>%1 está danificado</translation>
    </message>
    <message>
        <source>%1, so nothing can be saved</source>
        <translation>%1, então nada pode ser salvo</translation>
    </message>
    <message>
        <source>%1 (first at %2)</source>
        <translation>%1 (primeiro em %2)</translation>
    </message>
    <message>
        <source>%1 [rescued]</source>
        <translation>%1 [resgatado]</translation>
    </message>
    <message>
        <source>%1: %2</source>
        <translation>%1: %2</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) — see Findings</source>
        <translation>
            <numerusform>%n problema — veja Constatações</numerusform>
            <numerusform>%n problemas — veja Constatações</numerusform>
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
        <translation>Exclua os arquivos do skin (.dat e .ski) do Tavu com um utilitário P2K
e depois faça um backup do flex. Carregue o flex neste programa para excluir
a pasta de skin que sobrou. Grave o flex modificado no Tavu.

Obrigado a todos que testaram as primeiras versões e enviaram backups.

Dúvidas e skins: pergunte no fórum de modding
da comunidade de usuários do seu aparelho.</translation>
    </message>
    <message>
        <source>About</source>
        <translation>Sobre</translation>
    </message>
    <message>
        <source>By the Tavu Flex Editor developers</source>
        <translation>Pelos desenvolvedores do Tavu Flex Editor</translation>
    </message>
    <message>
        <source>Copyright 2026 The Tavu Flex Editor developers.
Released under the MIT licence: free to use, copy, change and share,
with no warranty.</source>
        <translation>Copyright 2026 Os desenvolvedores do Tavu Flex Editor.
Distribuído sob a licença MIT: livre para usar, copiar, modificar e compartilhar,
sem garantia.</translation>
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
        <translation>Idioma do &amp;sistema</translation>
    </message>
</context>
<context>
    <name>tavufe::MainWindow</name>
    <message>
        <source>Delete Skin Folder “%1”</source>
        <translation>Excluir pasta de skin “%1”</translation>
    </message>
    <message>
        <source>Delete skin files on phone first, this program deletes the remaining skin folder only.</source>
        <translation>Exclua primeiro os arquivos do skin no telefone; este programa só exclui a pasta de skin que sobrou.</translation>
    </message>
    <message>
        <source>Help — %1</source>
        <translation>Ajuda — %1</translation>
    </message>
    <message>
        <source>&amp;Open...</source>
        <translation>&amp;Abrir...</translation>
    </message>
    <message>
        <source>Open an existing file</source>
        <translation>Abrir um arquivo existente</translation>
    </message>
    <message>
        <source>Open</source>
        <translation>Abrir</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Salvar</translation>
    </message>
    <message>
        <source>Save the RAMDLD and the Flex to a superfile, or the Flex alone</source>
        <translation>Salvar o RAMDLD e o Flex em um superfile, ou só o Flex</translation>
    </message>
    <message>
        <source>SAVE</source>
        <translation>SALVAR</translation>
    </message>
    <message>
        <source>Save the RAMDLD and Flex code groups as a superfile, or the Flex alone</source>
        <translation>Salvar os grupos de código RAMDLD e Flex como superfile, ou só o Flex</translation>
    </message>
    <message>
        <source>&amp;Verify...</source>
        <translation>&amp;Verificar...</translation>
    </message>
    <message>
        <source>Check every checksum and record of the file as it is on disk</source>
        <translation>Verificar cada soma de verificação e cada registro do arquivo como está no disco</translation>
    </message>
    <message>
        <source>E&amp;xit</source>
        <translation>Sa&amp;ir</translation>
    </message>
    <message>
        <source>Exit this application</source>
        <translation>Sair deste aplicativo</translation>
    </message>
    <message>
        <source>&amp;Delete Skin Folder</source>
        <translation>E&amp;xcluir pasta de skin</translation>
    </message>
    <message>
        <source>Erase the selected folder&apos;s record: its bytes become erased flash (FF)</source>
        <translation>Apagar o registro da pasta selecionada: seus bytes viram flash apagada (FF)</translation>
    </message>
    <message>
        <source>Re&amp;view Changes...</source>
        <translation>Re&amp;visar alterações...</translation>
    </message>
    <message>
        <source>List what a save would write differently from the opened file</source>
        <translation>Listar o que um salvamento gravaria de forma diferente do arquivo aberto</translation>
    </message>
    <message>
        <source>&amp;Undo</source>
        <translation>&amp;Desfazer</translation>
    </message>
    <message>
        <source>Put back the folder record deleted last</source>
        <translation>Restaurar o último registro de pasta excluído</translation>
    </message>
    <message>
        <source>&amp;Redo</source>
        <translation>&amp;Refazer</translation>
    </message>
    <message>
        <source>Delete the folder record again</source>
        <translation>Excluir de novo o registro de pasta</translation>
    </message>
    <message>
        <source>&amp;Copy</source>
        <translation>&amp;Copiar</translation>
    </message>
    <message>
        <source>Copy the selected code-group values</source>
        <translation>Copiar os valores selecionados dos grupos de código</translation>
    </message>
    <message>
        <source>Copy &amp;Name</source>
        <translation>Copiar &amp;nome</translation>
    </message>
    <message>
        <source>Copy the selected folder&apos;s name</source>
        <translation>Copiar o nome da pasta selecionada</translation>
    </message>
    <message>
        <source>Copy &amp;Offset</source>
        <translation>Copiar &amp;deslocamento</translation>
    </message>
    <message>
        <source>Copy the selected folder&apos;s location in the Flex</source>
        <translation>Copiar a posição da pasta selecionada no Flex</translation>
    </message>
    <message>
        <source>Cut Selected CG</source>
        <translation>Recortar o CG selecionado</translation>
    </message>
    <message>
        <source>Undo</source>
        <translation>Desfazer</translation>
    </message>
    <message>
        <source>Save Selected CG</source>
        <translation>Salvar o CG selecionado</translation>
    </message>
    <message>
        <source>Replace Selected CG</source>
        <translation>Substituir o CG selecionado</translation>
    </message>
    <message>
        <source>&amp;Contents</source>
        <translation>&amp;Conteúdo</translation>
    </message>
    <message>
        <source>Show the steps of the job and the keys</source>
        <translation>Mostrar as etapas do trabalho e as teclas</translation>
    </message>
    <message>
        <source>&amp;About</source>
        <translation>&amp;Sobre</translation>
    </message>
    <message>
        <source>Show the program&apos;s version and help</source>
        <translation>Mostrar a versão e a ajuda do programa</translation>
    </message>
    <message>
        <source>&amp;File</source>
        <translation>&amp;Arquivo</translation>
    </message>
    <message>
        <source>Open &amp;Recent</source>
        <translation>Abrir &amp;recente</translation>
    </message>
    <message>
        <source>&amp;Edit</source>
        <translation>&amp;Editar</translation>
    </message>
    <message>
        <source>&amp;Help</source>
        <translation>Aj&amp;uda</translation>
    </message>
    <message>
        <source>The language changes when the editor next starts.</source>
        <translation>O idioma muda na próxima vez que o editor for iniciado.</translation>
    </message>
    <message>
        <source>File</source>
        <translation>Arquivo</translation>
    </message>
    <message>
        <source>More tools</source>
        <translation>Mais ferramentas</translation>
    </message>
    <message>
        <source>Opened file</source>
        <translation>Arquivo aberto</translation>
    </message>
    <message>
        <source>The path of the superfile shown</source>
        <translation>O caminho do superfile exibido</translation>
    </message>
    <message>
        <source>Report</source>
        <translation>Relatório</translation>
    </message>
    <message>
        <source>What the superfile&apos;s header and code groups say</source>
        <translation>O que dizem o cabeçalho e os grupos de código do superfile</translation>
    </message>
    <message>
        <source>Skin folders</source>
        <translation>Pastas de skin</translation>
    </message>
    <message>
        <source>The folder records in the Flex code group; select one to delete it</source>
        <translation>Os registros de pasta do grupo de código Flex; selecione um para excluí-lo</translation>
    </message>
    <message>
        <source>Record bytes</source>
        <translation>Bytes do registro</translation>
    </message>
    <message>
        <source>The bytes of the selected folder record that a delete turns to FF</source>
        <translation>Os bytes do registro de pasta selecionado que uma exclusão transforma em FF</translation>
    </message>
    <message>
        <source>Select a folder to see the bytes “Delete Skin Folder” turns to FF.</source>
        <translation>Selecione uma pasta para ver os bytes que “Excluir pasta de skin” transforma em FF.</translation>
    </message>
    <message>
        <source>Code groups</source>
        <translation>Grupos de código</translation>
    </message>
    <message>
        <source>The RAMDLD and Flex code groups that a save writes</source>
        <translation>Os grupos de código RAMDLD e Flex que um salvamento grava</translation>
    </message>
    <message>
        <source>Progress</source>
        <translation>Progresso</translation>
    </message>
    <message>
        <source>Checksum state</source>
        <translation>Estado das somas de verificação</translation>
    </message>
    <message>
        <source>Click for File &gt; Verify</source>
        <translation>Clique para Arquivo &gt; Verificar</translation>
    </message>
    <message>
        <source>Checksums OK</source>
        <translation>Somas de verificação corretas</translation>
    </message>
    <message numerus="yes">
        <source>%n problem(s) — see File &gt; Verify</source>
        <translation>
            <numerusform>%n problema — veja Arquivo &gt; Verificar</numerusform>
            <numerusform>%n problemas — veja Arquivo &gt; Verificar</numerusform>
        </translation>
    </message>
    <message>
        <source>Superfiles end in .shx or .sbf.</source>
        <translation>Superfiles terminam em .shx ou .sbf.</translation>
    </message>
    <message>
        <source>File &gt; Verify lists every problem (%1 in all).</source>
        <translation>Arquivo &gt; Verificar lista todos os problemas (%1 no total).</translation>
    </message>
    <message>
        <source>WARNING</source>
        <translation>AVISO</translation>
    </message>
    <message>
        <source>Could not save %1</source>
        <translation>Não foi possível salvar %1</translation>
    </message>
    <message>
        <source>Saved to %1</source>
        <translation>Salvo em %1</translation>
    </message>
    <message numerus="yes">
        <source>; %n other hard link(s) keep(s) the old contents</source>
        <translation>
            <numerusform>; %n outro link físico mantém o conteúdo antigo</numerusform>
            <numerusform>; %n outros links físicos mantêm o conteúdo antigo</numerusform>
        </translation>
    </message>
    <message>
        <source>Checked %1 as it is on disk; unsaved changes are not in it.</source>
        <translation>%1 verificado como está no disco; as alterações não salvas não estão nele.</translation>
    </message>
    <message>
        <source>Checked %1 as it is on disk.</source>
        <translation>%1 verificado como está no disco.</translation>
    </message>
    <message>
        <source>Verify — %1</source>
        <translation>Verificar — %1</translation>
    </message>
    <message>
        <source>Review Changes — %1</source>
        <translation>Revisar alterações — %1</translation>
    </message>
    <message>
        <source>NOTICE</source>
        <translation>OBSERVAÇÃO</translation>
    </message>
    <message>
        <source>%1: the temporary file could not be removed: %2</source>
        <translation>%1: não foi possível remover o arquivo temporário: %2</translation>
    </message>
    <message>
        <source>Open a superfile to begin: File &gt; Open (%1), or drop it onto the window.</source>
        <translation>Abra um superfile para começar: Arquivo &gt; Abrir (%1), ou arraste-o para a janela.</translation>
    </message>
    <message>
        <source>Status</source>
        <translation>Status</translation>
    </message>
    <message>
        <source>Drop one superfile at a time</source>
        <translation>Solte um superfile por vez</translation>
    </message>
    <message>
        <source>%1: not a file on this computer</source>
        <translation>%1: não é um arquivo deste computador</translation>
    </message>
    <message>
        <source>%1: %2; superfiles end in .shx or .sbf</source>
        <translation>%1: %2; superfiles terminam em .shx ou .sbf</translation>
    </message>
    <message>
        <source>Saved the Flex code group alone to %1 (%2, %3 bytes)</source>
        <translation>Só o grupo de código Flex salvo em %1 (%2, %3 bytes)</translation>
    </message>
    <message>
        <source>%1[*] [rescued]</source>
        <translation>%1[*] [resgatado]</translation>
    </message>
    <message>
        <source>R&amp;escue...</source>
        <translation>R&amp;esgatar...</translation>
    </message>
    <message>
        <source>Open a damaged superfile, reading past its damaged lines and records</source>
        <translation>Abrir um superarquivo danificado, passando por cima de suas linhas e registros danificados</translation>
    </message>
    <message>
        <source>Rescued: no damage found</source>
        <translation>Resgatado: nenhum dano encontrado</translation>
    </message>
    <message>
        <source>Rescued: %1 damaged</source>
        <translation>Resgatado: %1 danificado</translation>
    </message>
    <message>
        <source>1 damaged line</source>
        <translation>1 linha danificada</translation>
    </message>
    <message>
        <source>1 damaged record</source>
        <translation>1 registro danificado</translation>
    </message>
    <message>
        <source>%1 damaged lines</source>
        <translation>%1 linhas danificadas</translation>
    </message>
    <message>
        <source>%1 damaged records</source>
        <translation>%1 registros danificados</translation>
    </message>
    <message>
        <source>Rescued: %1 in %2</source>
        <translation>Resgatado: %1 em %2</translation>
    </message>
    <message>
        <source>the %1 is damaged</source>
        <translation>%1 está danificado</translation>
    </message>
    <message>
        <source>the %1 and the %2 are damaged</source>
        <translation>%1 e %2 estão danificados</translation>
    </message>
    <message>
        <source>%1: nothing can be saved</source>
        <translation>%1: nada pode ser salvo</translation>
    </message>
    <message>
        <source>Nothing can be saved: %1</source>
        <translation>Nada pode ser salvo: %1</translation>
    </message>
    <message>
        <source>Nothing can be saved: %1, first at %2</source>
        <translation>Nada pode ser salvo: %1, primeiro em %2</translation>
    </message>
    <message>
        <source>the RAMDLD and the Flex are sound</source>
        <translation>o RAMDLD e o Flex estão íntegros</translation>
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
        <translation>Excluir uma pasta de skin que sobrou

1. Exclua primeiro os arquivos do skin no aparelho e depois faça um backup do Flex
   dele como superfile (.shx ou .sbf).
2. Abra-o: Arquivo &gt; Abrir, Arquivo &gt; Abrir recente, ou arraste-o para a janela. O
   relatório mostra o que ele contém; a barra de status diz se as somas de verificação
   estão corretas.
3. Selecione a pasta de skin na lista de pastas. O painel abaixo dela mostra os bytes que
   uma exclusão transforma em FF.
4. Pressione “Excluir pasta de skin”. Editar &gt; Desfazer restaura o registro.
5. Arquivo &gt; Salvar: SHX ou SBF gera um superfile para gravar de volta no aparelho; SMG
   ou BIN contém só o grupo de código Flex.

Teclas

Ctrl+O                  Abrir
Ctrl+S                  Salvar
Delete, Alt+X           Excluir pasta de skin (Delete na lista de pastas)
Ctrl+Z                  Desfazer
Ctrl+Shift+Z, Ctrl+Y    Refazer
Ctrl+D                  Revisar alterações
Ctrl+C                  Copiar os valores selecionados dos grupos de código
Tab, Shift+Tab          Mover entre os controles
Shift+F10, tecla Menu   Os comandos da lista de pastas
F1                      Esta ajuda
Ctrl+Q                  Sair</translation>
    </message>
    <message>
        <source>A backup that does not open can still give up its Flex: Rescue (in the box that says why,
or File &gt; Rescue) reads past the damaged lines and keeps the code groups that are whole.</source>
        <translation>Um backup que não abre ainda pode entregar seu Flex: Resgatar (na caixa que diz por quê,
ou Arquivo &gt; Resgatar) passa por cima das linhas danificadas e mantém os grupos de código inteiros.</translation>
    </message>
</context>
<context>
    <name>tavufe::QtDialogs</name>
    <message>
        <source>WARNING</source>
        <translation>AVISO</translation>
    </message>
    <message>
        <source>&amp;Cancel</source>
        <translation>&amp;Cancelar</translation>
    </message>
    <message>
        <source>Save &amp;Anyway</source>
        <translation>&amp;Salvar mesmo assim</translation>
    </message>
    <message>
        <source>The changes to %1 have not been saved.
Do you want to save them?</source>
        <translation>As alterações em %1 não foram salvas.
Deseja salvá-las?</translation>
    </message>
    <message>
        <source>&amp;Save</source>
        <translation>&amp;Salvar</translation>
    </message>
    <message>
        <source>&amp;Discard</source>
        <translation>&amp;Descartar</translation>
    </message>
    <message>
        <source>&amp;Review Changes</source>
        <translation>&amp;Revisar alterações</translation>
    </message>
    <message>
        <source>%1 holds %2, which this save does not write.
Replace it anyway?</source>
        <translation>%1 contém %2, que este salvamento não grava.
Substituir mesmo assim?</translation>
    </message>
    <message>
        <source>&amp;Replace</source>
        <translation>&amp;Substituir</translation>
    </message>
    <message>
        <source>SuperFiles (shx-sbf) (*.shx *.sbf)</source>
        <translation>Superfiles (shx-sbf) (*.shx *.sbf)</translation>
    </message>
    <message>
        <source>SHX Files (*.shx)</source>
        <translation>Arquivos SHX (*.shx)</translation>
    </message>
    <message>
        <source>SBF Files (*.sbf)</source>
        <translation>Arquivos SBF (*.sbf)</translation>
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
        <translation>Só o grupo de código Flex (*.smg)</translation>
    </message>
    <message>
        <source>Flex code group only, raw (*.bin)</source>
        <translation>Só o grupo de código Flex, bruto (*.bin)</translation>
    </message>
    <message>
        <source>Rescue reads past the damaged lines and keeps the code groups that are whole.</source>
        <translation>Resgatar passa por cima das linhas danificadas e mantém os grupos de código inteiros.</translation>
    </message>
    <message>
        <source>&amp;Rescue</source>
        <translation>&amp;Resgatar</translation>
    </message>
</context>
<context>
    <name>tavufe::SystemTexts</name>
    <message>
        <source>File Not Opened</source>
        <translation>Arquivo não aberto</translation>
    </message>
    <message>
        <source>Buffer Error</source>
        <translation>Erro de buffer</translation>
    </message>
    <message>
        <source>Checksum Error</source>
        <translation>Erro de soma de verificação</translation>
    </message>
    <message>
        <source>Buffer Address Overflow</source>
        <translation>Estouro de endereço de buffer</translation>
    </message>
    <message>
        <source>Record Error</source>
        <translation>Erro de registro</translation>
    </message>
    <message>
        <source>Address Range</source>
        <translation>Intervalo de endereços excedido</translation>
    </message>
    <message>
        <source>RDL Blank or Missing</source>
        <translation>RDL vazio ou ausente</translation>
    </message>
    <message>
        <source>File Write Error</source>
        <translation>Erro de gravação do arquivo</translation>
    </message>
    <message>
        <source>Verify Error</source>
        <translation>Erro de verificação</translation>
    </message>
    <message>
        <source>File Type Not Supported</source>
        <translation>Tipo de arquivo não suportado</translation>
    </message>
    <message>
        <source>Duplicate CG</source>
        <translation>CG duplicado</translation>
    </message>
    <message>
        <source>No File(s) Selected To Save</source>
        <translation>Nenhum arquivo selecionado para salvar</translation>
    </message>
    <message>
        <source>No Flex Code Group</source>
        <translation>Nenhum grupo de código Flex</translation>
    </message>
    <message>
        <source>Save Would Drop Code Groups</source>
        <translation>Salvar descartaria grupos de código</translation>
    </message>
    <message>
        <source>HEADER INFO: </source>
        <translation>INFO DO CABEÇALHO: </translation>
    </message>
    <message>
        <source>Date: </source>
        <translation>Data: </translation>
    </message>
    <message>
        <source>File: </source>
        <translation>Arquivo: </translation>
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
        <translation>Não encontrado</translation>
    </message>
    <message>
        <source>Unknown</source>
        <translation>Desconhecida</translation>
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
        <translation>Pasta de skin</translation>
    </message>
    <message>
        <source>CG2 Location</source>
        <translation>Posição em CG2</translation>
    </message>
    <message>
        <source>CG</source>
        <translation>CG</translation>
    </message>
    <message>
        <source>Name</source>
        <translation>Nome</translation>
    </message>
    <message>
        <source>Start Addr</source>
        <translation>End. inicial</translation>
    </message>
    <message>
        <source>End Addr</source>
        <translation>End. final</translation>
    </message>
    <message>
        <source>CG Header Info</source>
        <translation>Cabeçalho do CG</translation>
    </message>
    <message>
        <source>Size</source>
        <translation>Tamanho</translation>
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
        <translation>Grupo de código danificado</translation>
    </message>
</context>
</TS>
