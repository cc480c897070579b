// The page around the converter: it hands the buttons, the picked files and
// the options to the module, which runs in a worker (see worker.js), and
// draws what the module tells it. What to say and when is the module's.
"use strict";
(() => {
  const $ = (id) => document.getElementById(id);
  let ready = false;
  let busy = false;
  const messages = [];

  const page = {
    showMemo(text) {
      const memo = $("infoMemo");
      memo.value = text;
      memo.scrollTop = memo.scrollHeight;
    },
    showDiveList(text) {
      const options = document.createDocumentFragment();
      if (text !== "") {
        for (const line of text.split("\n")) options.append(new Option(line));
      }
      $("diveList").replaceChildren(options);
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
    ready() {
      ready = true;
      document.body.dataset.ready = "true";
    },
    // The command has ended, after milliseconds (kept for the benchmark).
    done(milliseconds) {
      document.body.dataset.commandTime = milliseconds;
      busy = false;
      document.body.removeAttribute("aria-busy");
      $("workStatus").textContent = "";
    },
  };

  const source = $("workerScript").textContent;
  const worker = new Worker(URL.createObjectURL(new Blob([source], { type: "text/javascript" })));
  worker.onmessage = (event) => {
    const [name, ...args] = event.data;
    page[name](...args);
  };

  // One command at a time, as in the window; the page says what it is doing.
  function send(what, ...request) {
    if (busy || !ready) return false;
    busy = true;
    document.body.setAttribute("aria-busy", "true");
    $("workStatus").textContent = what;
    worker.postMessage(request);
    return true;
  }

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
    if (asked.buttons === 1) send("Packing the logbook…", "answer", answer);
    nextMessage();
  }
  // Escape closes the box: Cancel for a question, else OK.
  $("messageBox").addEventListener("cancel", (event) => {
    event.preventDefault();
    if (current) answerMessage(current.buttons === 1 ? 1 : 0);
  });

  function openFiles(files) {
    if (files.length > 0) send("Importing…", "open", files);
  }

  $("openFiles").addEventListener("change", (event) => {
    openFiles([...event.target.files]);
    event.target.value = "";
  });
  $("openFolder").addEventListener("change", (event) => {
    // Only the folder's own CSV files, not those of folders inside it.
    openFiles([...event.target.files].filter((file) =>
      /\.csv$/i.test(file.name) && file.webkitRelativePath.split("/").length === 2));
    event.target.value = "";
  });
  $("closeButton").addEventListener("click", () => send("", "close"));
  $("exportButton").addEventListener("click", () => send("Exporting…", "exportHtml",
    $("noteBox").checked ? 1 : 0, $("gifBox").checked ? 1 : 0, $("pixelsEdit").value));
  $("viewButton").addEventListener("click", () => send("Packing the logbook…", "viewHtml"));
  $("uddfButton").addEventListener("click", () => send("Exporting…", "exportUddf"));
  $("templateFiles").addEventListener("change", (event) => {
    const files = [...event.target.files];
    event.target.value = "";
    if (files.length > 0 && send("", "templates", files)) {
      $("templatesShown").textContent = "Own templates: " + files.map((file) => file.name).join(", ");
    }
  });
  $("bundledButton").addEventListener("click", () => {
    if (send("", "templates", null)) $("templatesShown").textContent = "Bundled templates";
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
})();
