// The page around the converter's module: it forwards the buttons, the
// picked files and the options to the module and draws what the module
// tells it (Module.page below). What to say and when is the module's.
"use strict";
(() => {
  const $ = (id) => document.getElementById(id);
  // Larger files are not copied into the page's memory: the import names them
  // as too large.
  const largestFile = 512 * 1024 * 1024;
  let module = null;
  let busy = false;
  let unreadableDevices = 0;
  const messages = [];

  const page = {
    showMemo(text) { $("infoMemo").value = text; },
    showDiveList(text) {
      const list = $("diveList");
      const options = document.createDocumentFragment();
      if (text !== "") {
        for (const line of text.split("\n")) options.append(new Option(line));
      }
      list.replaceChildren(options);
    },
    showSelectedDive(index) { $("diveList").selectedIndex = index; },
    addHistoryLine(line) {
      const option = document.createElement("option");
      option.value = line;
      $("historyLines").append(option);
    },
    showFilePanel(text) { $("filePanel").textContent = text; },
    showProgress(max, position) {
      const bar = $("progressBar");
      bar.max = max > 0 ? max : 100;
      bar.value = position;
    },
    showMessage(title, text, buttons, details) {
      messages.push({ title, text, buttons, details });
      if (!$("messageBox").open) nextMessage();
    },
    download(bytes, name, type) {
      const url = URL.createObjectURL(new Blob([bytes], { type }));
      const link = document.createElement("a");
      link.href = url;
      link.download = name;
      document.body.append(link);
      link.click();
      link.remove();
      setTimeout(() => URL.revokeObjectURL(url), 60000);
    },
    // A file whose every opening fails with the given error number.
    makeUnreadableFile(path, error) {
      const FS = module.FS;
      const device = FS.makedev(64, unreadableDevices++);
      FS.registerDevice(device, { open() { throw new FS.ErrnoError(error); } });
      FS.mkdev(path, 0o444, device);
    },
  };

  // The message boxes, one after another; Enter presses the default button.
  const buttonSets = [[["OK", 0]], [["OK", 0], ["Cancel", 1]]];
  let current = null;
  function nextMessage() {
    current = messages.shift();
    if (!current) return;
    $("messageTitle").textContent = current.title;
    $("messageText").textContent = current.text;
    $("messageDetails").textContent = current.details;
    $("messageDetails").hidden = current.details === "";
    const row = $("messageButtons");
    row.replaceChildren();
    for (const [caption, answer] of buttonSets[current.buttons]) {
      const button = document.createElement("button");
      button.type = "button";
      button.textContent = caption;
      button.addEventListener("click", () => answerMessage(answer));
      row.append(button);
    }
    $("messageBox").showModal();
    row.firstChild.focus();
  }
  function answerMessage(answer) {
    const asked = current;
    $("messageBox").close();
    current = null;
    if (asked.buttons === 1) run("Working…", () => module._quellmar_answer(answer));
    nextMessage();
  }
  // Escape closes the box: Cancel for a question, else OK.
  $("messageBox").addEventListener("cancel", (event) => {
    event.preventDefault();
    if (current) answerMessage(current.buttons === 1 ? 1 : 0);
  });

  // A command runs inside the module to its end; the page first shows what
  // it is doing, letting the browser paint once.
  async function run(what, command) {
    if (busy || !module) return;
    busy = true;
    document.body.setAttribute("aria-busy", "true");
    $("workStatus").textContent = what;
    $("progressBar").removeAttribute("value");
    try {
      await new Promise((done) => requestAnimationFrame(() => setTimeout(done, 0)));
      command();
    } finally {
      busy = false;
      document.body.removeAttribute("aria-busy");
      $("workStatus").textContent = "";
    }
  }

  function clearFolder(path) {
    const FS = module.FS;
    if (!FS.analyzePath(path).exists) FS.mkdirTree(path);
    for (const name of FS.readdir(path)) {
      if (name !== "." && name !== "..") FS.unlink(path + "/" + name);
    }
  }

  // Copies the picked files into folder; those that cannot be read or held
  // become files that say so when opened.
  async function copyFiles(files, folder, unreadable) {
    clearFolder(folder);
    for (const file of files) {
      if (file.size > largestFile) {
        unreadable(file.name, 1);
        continue;
      }
      try {
        const bytes = new Uint8Array(await file.arrayBuffer());
        module.FS.writeFile(folder + "/" + file.name, bytes);
      } catch (error) {
        unreadable(file.name, 0);
      }
    }
  }

  async function openFiles(files) {
    if (busy || !module || files.length === 0) return;
    $("workStatus").textContent = "Reading the files…";
    await copyFiles(files, "/export",
                    (name, tooLarge) => module.ccall("quellmar_unreadable_file", null,
                                                     ["string", "number"], [name, tooLarge]));
    await run("Importing…", () => module._quellmar_open());
  }

  function sendOptions() {
    module.ccall("quellmar_set_options", null, ["number", "number", "string"],
                 [$("noteBox").checked ? 1 : 0, $("gifBox").checked ? 1 : 0, $("pixelsEdit").value]);
  }

  $("openFiles").addEventListener("change", async (event) => {
    await openFiles([...event.target.files]);
    event.target.value = "";
  });
  $("openFolder").addEventListener("change", async (event) => {
    // Only the folder's own CSV files, not those of folders inside it.
    const csv = [...event.target.files].filter((file) =>
      /\.csv$/i.test(file.name) && file.webkitRelativePath.split("/").length === 2);
    await openFiles(csv);
    event.target.value = "";
  });
  $("closeButton").addEventListener("click", () => run("", () => module._quellmar_close()));
  $("exportButton").addEventListener("click", () => run("Exporting…", () => {
    sendOptions();
    module._quellmar_export_html();
  }));
  $("viewButton").addEventListener("click", () => run("Packing the logbook…", () => module._quellmar_view_html()));
  $("uddfButton").addEventListener("click", () => run("Exporting…", () => module._quellmar_export_uddf()));
  $("templateFiles").addEventListener("change", async (event) => {
    const files = [...event.target.files];
    event.target.value = "";
    if (busy || !module || files.length === 0) return;
    await copyFiles(files, "/quellmar/html", () => {});
    module._quellmar_use_templates(1);
    $("templatesShown").textContent = "Own templates: " + files.map((file) => file.name).join(", ");
  });
  $("bundledButton").addEventListener("click", () => {
    if (busy || !module) return;
    module._quellmar_use_templates(0);
    $("templatesShown").textContent = "Bundled templates";
  });
  // The history box shows "History" again once it loses the focus.
  $("historyBox").addEventListener("blur", (event) => { event.target.value = "History"; });

  const zone = $("dropZone");
  zone.addEventListener("dragover", (event) => {
    event.preventDefault();
    zone.classList.add("dropping");
  });
  zone.addEventListener("dragleave", () => zone.classList.remove("dropping"));
  zone.addEventListener("drop", (event) => {
    event.preventDefault();
    zone.classList.remove("dropping");
    openFiles([...event.dataTransfer.files]);
  });

  Quellmar({ page }).then((loaded) => {
    module = loaded;
    module._quellmar_start();
    document.body.dataset.ready = "true";
  });
})();
