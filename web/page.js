// The page's behaviour: it shows what the module's Session returns and passes the user's
// choices on. Everything the editor decides is decided in the module.
Module.onRuntimeInitialized = function () {
  "use strict";
  const $ = (id) => document.getElementById(id);
  const session = new Module.Session();
  const dateParameter = new URLSearchParams(location.search).get("date");
  const reportTexts = Module.reportTexts();
  // The report as the module gave it, kept to be shown again in another language.
  let report = [];
  let selected = -1;
  let opened = false;
  let reading = false;
  // What a rescue read of the open document found: the status line's summary, and why
  // nothing can be saved ("" when a save may write it); null after a plain open.
  let rescue = null;

  function setStatus(text) { $("status").textContent = text; }
  // Said to a screen reader only: the visible status keeps the checksum summary.
  function announce(text) { $("announce").textContent = text; }

  function fillHead(table, titles) {
    const row = table.tHead.rows[0];
    row.replaceChildren(...titles.map((t) => {
      const th = document.createElement("th");
      th.scope = "col";
      th.textContent = t;
      return th;
    }));
  }

  function fillBody(table, rows) {
    table.tBodies[0].replaceChildren(...rows.map((cells) => {
      const tr = document.createElement("tr");
      for (const c of cells) {
        const td = document.createElement("td");
        td.textContent = c;
        tr.appendChild(td);
      }
      return tr;
    }));
  }

  // `rescuable` adds the Rescue button and what it does; the box's returnValue says which
  // button closed it.
  function showText(title, text, rescuable = false) {
    $("message-title").textContent = title;
    $("message-text").textContent = text;
    $("message-rescue").hidden = !rescuable;
    $("message-rescue-note").hidden = !rescuable;
    $("message").setAttribute("aria-describedby",
      rescuable ? "message-text message-rescue-note" : "message-text");
    $("message").returnValue = "";
    $("message").showModal();
  }

  // A box with the window's title text and the details under it; the title is the module's
  // status or notice, shown in the page's language.
  function showMessage(title, details, rescuable = false) {
    setStatus(systemText(title));
    showText(systemText(title), details || "", rescuable);
  }

  // The texts of a rescued document, kept together: what was damaged and whether a save can
  // write the document (`blocked`, from rescueBlocked), in the facts the command line gives.
  function rescueSummary(result, blocked) {
    const count = result.damaged.reduce((n, g) => n + g.lines, 0);
    const names = result.damaged.map((g) => g.name).join(", ");
    const what = result.damaged.length === 0 ? qsTr("nothing was damaged")
      : fillIn(result.records ? qsTr("%n damaged record(s) in %1", "", count)
        : qsTr("%n damaged line(s) in %1", "", count), names);
    return fillIn(qsTr("Rescued: %1; %2"), what, blocked || qsTr("the RAMDLD and the Flex are sound"));
  }

  // Why a save cannot write the rescued document, or "": the RAMDLD or the Flex is damaged,
  // and missing bytes cannot be saved.
  function rescueBlocked(result) {
    const written = result.damaged.filter((g) => g.written);
    if (written.length === 0) return "";
    const which = written.length > 1 ? qsTr("the RAMDLD and the Flex are damaged")
      : fillIn(qsTr("the %1 is damaged"), written[0].name);
    const place = written.map((g) => g.place).find(Boolean);
    const blocked = fillIn(qsTr("%1, so nothing can be saved"), which);
    return place ? fillIn(qsTr("%1 (first at %2)"), blocked, place) : blocked;
  }

  function rescuedTitle(name) { return fillIn(qsTr("%1 [rescued]"), name); }

  function updateActions() {
    $("delete-folder").disabled = !session.canDelete(selected);
    $("undo").disabled = !session.canUndo();
    $("redo").disabled = !session.canRedo();
    const blocked = opened && rescue ? rescue.blocked : "";
    $("save").disabled = !opened || Boolean(blocked);
    $("save").title = blocked ? fillIn(qsTr("%1: %2"), systemText(session.saveNotice()), blocked) : "";
    $("review").disabled = !opened;
    const name = $("file-name").dataset.name;
    document.title = (session.modified() ? "* " : "") +
      (name ? (rescue ? rescuedTitle(name) : name) + " - " : "") + "Tavu Flex Editor";
  }

  function select(index) {
    const table = $("folders");
    const rows = table.tBodies[0].rows;
    selected = index >= 0 && index < rows.length ? index : -1;
    for (let k = 0; k < rows.length; ++k) {
      rows[k].setAttribute("aria-selected", k === selected ? "true" : "false");
    }
    if (selected >= 0) {
      // Its first cell, so that a list wider than its box stays scrolled to the row's start.
      rows[selected].cells[0].scrollIntoView({ block: "nearest", inline: "nearest" });
      // The selected row is what a screen reader reads out while the list has the focus.
      table.setAttribute("aria-activedescendant", rows[selected].id);
    } else {
      table.removeAttribute("aria-activedescendant");
    }
    const lines = session.preview(selected);
    $("preview").textContent = lines.length ? lines.join("\n")
      : qsTr("Select a folder to see the bytes \u201CDelete Skin Folder\u201D turns to FF.");
    $("preview").classList.toggle("placeholder", !lines.length);
    updateActions();
  }

  // The list comes back with nothing selected, so that a second press cannot delete the
  // neighbour that moved up.
  function relist() {
    fillBody($("folders"), session.folders());
    [...$("folders").tBodies[0].rows].forEach((row, k) => { row.id = "folder-" + (k + 1); });
    select(-1);
  }

  // The page as it starts: untitled, with no report, folders, preview, code groups or findings.
  function showNoDocument() {
    $("file-name").textContent = qsTr("or drop a superfile (.shx or .sbf) here");
    delete $("file-name").dataset.name;
    rescue = null;
    report = [];
    showReport();
    $("findings").textContent = "";
    fillBody($("code-groups"), []);
    relist();
  }

  // Labels and the module's own values in the page's language; what the file holds as it is.
  function showReport() {
    $("report").textContent = report.map((line, i) => reportLine(reportTexts, i, line)).join("\n");
  }

  function showFindings() {
    $("findings").textContent = session.findings().join("\n");
  }

  function checkSummary(problems) {
    return problems === 0 ? qsTr("Checksums OK")
      : qsTr("%n problem(s) \u2014 see Findings", "", problems);
  }

  // The file's pieces go into the module as they come, and SHX text is read there while the
  // browser is still reading the rest.
  async function readInto(file) {
    const reader = file.stream().getReader();
    let got = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      if (value.length > file.size - got) throw new Error(qsTr("the file grew while it was read"));
      session.incoming().set(value, got);
      got += value.length;
      session.received(got);
    }
    if (got !== file.size) throw new Error(qsTr("the file shrank while it was read"));
  }

  function closed(box) {
    return new Promise((resolve) => box.addEventListener("close", resolve, { once: true }));
  }

  // The window's question before unsaved deletes are lost: Save, Discard or Cancel, and
  // Review Changes, after which it asks again.
  function askUnsaved() {
    return new Promise((resolve) => {
      const box = $("unsaved");
      $("unsaved-text").textContent = fillIn(
        qsTr("The changes to %1 have not been saved.\nDo you want to save them?"),
        $("file-name").dataset.name);
      box.returnValue = "";
      closed(box).then(() => resolve(box.returnValue || "cancel"));
      box.showModal();
    });
  }

  // `rescueRead` reads past damaged lines and records; a plain open that a rescue may open
  // offers one in its message box, on the same picked file.
  async function openFile(file, rescueRead = false) {
    if (reading) return;
    const refuseByName = (notice) => showMessage(notice,
      file.name + "\n" + qsTr("Superfiles end in .shx or .sbf."));
    // A file refused by its name is refused before any question about the open one.
    const refused = session.typeNotice(file.name);
    if (refused) {
      refuseByName(refused);
      return;
    }
    while (session.modified()) {
      const answer = await askUnsaved();
      if (answer === "cancel") return;
      if (answer === "discard") break;
      if (answer === "review") {
        // The question comes back once the review is closed.
        review();
        if ($("message").open) await closed($("message"));
      } else if (!(await save())) {
        return;
      }
    }
    setStatus(fillIn(qsTr("Opening %1..."), file.name));
    performance.mark("open-start");
    const begun = session.beginOpen(file.size, file.name, rescueRead);
    if (begun.notice) {
      refuseByName(begun.notice);
      return;
    }
    // The open has begun and the module has closed the last file: nothing of it stays to be
    // used, whether or not this one opens, and nothing can be deleted or saved while it comes in.
    opened = false;
    showNoDocument();
    if (begun.status) {
      showMessage(begun.status, file.name + "\n" + (begun.reason ||
        fillIn(qsTr("The page has no memory for a file of %1 bytes."), file.size.toLocaleString("en"))));
      return;
    }
    reading = true;
    let result;
    try {
      await readInto(file);
      result = session.finishOpen();
    } catch (error) {
      showMessage(session.abandonOpen(), file.name + "\n" + error.message);
      return;
    } finally {
      reading = false;
    }
    // A file that does not open leaves the page empty but for what its check found; the box
    // says where and why the read stopped, as the window's does.
    showFindings();
    if (!result.loaded) {
      const more = result.problems > 1
        ? fillIn(qsTr("Findings lists every problem (%1 in all)."), result.problems) : "";
      const rescuable = result.rescuable && !rescueRead;
      showMessage(result.status, [file.name, result.cause, more].filter(Boolean).join("\n"),
        rescuable);
      if (rescuable) {
        await closed($("message"));
        if ($("message").returnValue === "rescue") await openFile(file, true);
      }
      return;
    }
    $("file-name").textContent = file.name;
    $("file-name").dataset.name = file.name;
    report = result.report;
    showReport();
    fillBody($("code-groups"), result.codeGroups);
    const blocked = result.rescued ? rescueBlocked(result) : "";
    rescue = result.rescued ? { summary: rescueSummary(result, blocked), blocked } : null;
    opened = true;
    relist();
    // A save is offered as the type that was opened, as the window offers it.
    $("save-type").value = file.name.slice(file.name.lastIndexOf(".") + 1).toLowerCase();
    setStatus(rescue ? rescue.summary : checkSummary(result.problems));
    // Seen in the browser's performance tools, and by bench/web.sh.
    performance.measure("open", "open-start");
  }

  function download(bytes, name) {
    const url = URL.createObjectURL(new Blob([bytes], { type: "application/octet-stream" }));
    const a = document.createElement("a");
    a.href = url;
    a.download = name;
    document.body.appendChild(a);
    a.click();
    a.remove();
    setTimeout(() => URL.revokeObjectURL(url), 60000);
  }

  function askDamaged(question) {
    return new Promise((resolve) => {
      const box = $("question");
      $("question-text").textContent = question;
      box.returnValue = "";
      box.addEventListener("close", () => resolve(box.returnValue === "save"), { once: true });
      box.showModal();
    });
  }

  // Whether the document was saved.
  async function save() {
    if (opened && rescue && rescue.blocked) setStatus($("save").title);
    if ($("save").disabled) return false;
    const notice = session.saveNotice();
    if (notice) {
      showMessage(notice, "");
      return false;
    }
    const question = session.damagedSaveQuestion();
    if (question && !(await askDamaged(question))) return false;
    const result = session.save($("save-type").value, dateParameter !== null, dateParameter || "");
    // The view into the module's memory is copied before anything else runs in the module.
    if (result.bytes.length > 0) download(result.bytes, result.name);
    if (result.status) {
      showMessage(result.status, result.name);
    } else {
      setStatus(fillIn(qsTr("Saved %1"), result.name) + (result.dateIgnoredBecause
        ? fillIn(qsTr("; the date parameter was ignored: %1"), result.dateIgnoredBecause) : ""));
      showFindings();
    }
    updateActions();
    return !result.status;
  }

  // What a save as the opened file's type would write differently from it; nothing is saved.
  function review() {
    if ($("review").disabled) return;
    const result = session.review(dateParameter !== null, dateParameter || "");
    const name = $("file-name").dataset.name;
    if (result.notice || result.status) showMessage(result.notice || result.status, name);
    else showText(fillIn(qsTr("Review Changes \u2014 %1"), name), result.lines.join("\n"));
  }

  function deleteSelected() {
    const name = selected >= 0 ? $("folders").tBodies[0].rows[selected].cells[1].textContent : "";
    if (session.deleteFolder(selected)) {
      relist();
      $("folders").focus();
      announce(fillIn(qsTr("Deleted %1"), name));
    }
  }

  // Undo and redo, from the keys or the buttons; a button that has nothing left to do hands
  // the focus to the list.
  function undoOrRedo(redo) {
    if (!(redo ? session.redo() : session.undo())) return;
    relist();
    announce(redo ? qsTr("Redone") : qsTr("Undone"));
    if (document.activeElement && document.activeElement.disabled) $("folders").focus();
  }

  // What the page made from the module's texts, again in the language just chosen.
  function showInLanguage() {
    fillHead($("folders"), Module.folderTitles().map(systemText));
    fillHead($("code-groups"), Module.codeGroupTitles().map(systemText));
    showReport();
    if (!$("file-name").dataset.name) {
      $("file-name").textContent = qsTr("or drop a superfile (.shx or .sbf) here");
    }
    select(selected);
  }

  startLanguages($("language"), showInLanguage);
  showInLanguage();

  $("file-input").addEventListener("change", (e) => {
    if (e.target.files.length === 1) openFile(e.target.files[0]);
    e.target.value = "";
  });
  const zone = document.body;
  zone.addEventListener("dragover", (e) => { e.preventDefault(); $("drop-zone").classList.add("dragging"); });
  zone.addEventListener("dragleave", () => $("drop-zone").classList.remove("dragging"));
  zone.addEventListener("drop", (e) => {
    e.preventDefault();
    $("drop-zone").classList.remove("dragging");
    if (e.dataTransfer.files.length === 1) openFile(e.dataTransfer.files[0]);
    else if (e.dataTransfer.files.length > 1) setStatus(qsTr("Drop one superfile at a time."));
  });
  $("folders").addEventListener("click", (e) => {
    const row = e.target.closest("tbody tr");
    if (row) select(row.sectionRowIndex);
  });
  $("folders").addEventListener("keydown", (e) => {
    const count = $("folders").tBodies[0].rows.length;
    if (e.key === "ArrowDown") select(Math.min(count - 1, selected + 1));
    else if (e.key === "ArrowUp") select(Math.max(0, selected - 1));
    else if (e.key === "Delete") deleteSelected();
    else return;
    e.preventDefault();
  });
  $("delete-folder").addEventListener("click", deleteSelected);
  $("undo").addEventListener("click", () => undoOrRedo(false));
  $("redo").addEventListener("click", () => undoOrRedo(true));
  $("save").addEventListener("click", save);
  $("review").addEventListener("click", review);
  document.addEventListener("keydown", (e) => {
    if (!(e.ctrlKey || e.metaKey) || document.querySelector("dialog[open]")) return;
    const key = e.key.toLowerCase();
    if (key === "z" && !e.shiftKey) undoOrRedo(false);
    else if ((key === "z" && e.shiftKey) || key === "y") undoOrRedo(true);
    else if (key === "s") save();
    else if (key === "d") review();
    else if (key === "o") $("file-input").click();
    else return;
    e.preventDefault();
  });
  window.addEventListener("beforeunload", (e) => { if (session.modified()) e.preventDefault(); });
  updateActions();
  setStatus(qsTr("Ready"));
  document.body.dataset.ready = "true";
  performance.mark("ready");
};
