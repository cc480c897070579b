// The worker that runs the converter's module, so that the page paints and
// takes input while a command runs. It hands what the module tells the page
// (Module.page) on to it, and the page's requests to the module; the files
// the user picked are copied into the module's memory here.
"use strict";
(() => {
  // Larger files are not copied into the module's memory: the import names
  // them as too large.
  const largestFile = 512 * 1024 * 1024;
  let module = null;
  let unreadableDevices = 0;
  const tell = (name) => (...args) => postMessage([name, ...args]);

  const page = {
    showMemo: tell("showMemo"),
    showDiveList: tell("showDiveList"),
    showSelectedDive: tell("showSelectedDive"),
    addHistoryLine: tell("addHistoryLine"),
    showFilePanel: tell("showFilePanel"),
    showProgress: tell("showProgress"),
    showMessage: tell("showMessage"),
    download(bytes, name, type) { postMessage(["download", bytes, name, type], [bytes.buffer]); },
    // A file whose every opening fails with the given error number.
    makeUnreadableFile(path, error) {
      const FS = module.FS;
      const device = FS.makedev(64, unreadableDevices++);
      FS.registerDevice(device, { open() { throw new FS.ErrnoError(error); } });
      FS.mkdev(path, 0o444, device);
    },
  };

  function clearFolder(path) {
    const FS = module.FS;
    if (!FS.analyzePath(path).exists) FS.mkdirTree(path);
    for (const name of FS.readdir(path)) {
      if (name !== "." && name !== "..") FS.unlink(path + "/" + name);
    }
  }

  // Copies the picked files into folder; unreadable(name, tooLarge) for those
  // that cannot be read or held.
  function copyFiles(files, folder, unreadable) {
    clearFolder(folder);
    const reader = new FileReaderSync();
    for (const file of files) {
      if (file.size > largestFile) {
        unreadable(file.name, 1);
        continue;
      }
      let bytes;
      try {
        bytes = new Uint8Array(reader.readAsArrayBuffer(file));
      } catch (error) {
        unreadable(file.name, 0);
        continue;
      }
      module.FS.writeFile(folder + "/" + file.name, bytes);
    }
  }

  const commands = {
    open(files) {
      copyFiles(files, "/export", (name, tooLarge) =>
        module.ccall("quellmar_unreadable_file", null, ["string", "number"], [name, tooLarge]));
      module._quellmar_open();
    },
    close() { module._quellmar_close(); },
    exportHtml(note, gif, pixels) {
      module.ccall("quellmar_set_options", null, ["number", "number", "string"], [note, gif, pixels]);
      module._quellmar_export_html();
    },
    viewHtml() { module._quellmar_view_html(); },
    exportUddf() { module._quellmar_export_uddf(); },
    answer(answer) { module._quellmar_answer(answer); },
    // The user's own templates, or the bundled ones again (files null).
    templates(files) {
      if (files) copyFiles(files, "/quellmar/html", () => {});
      module._quellmar_use_templates(files ? 1 : 0);
    },
  };

  onmessage = (event) => {
    const [name, ...args] = event.data;
    const start = performance.now();
    try {
      commands[name](...args);
    } finally {
      postMessage(["done", performance.now() - start]);
    }
  };

  Quellmar({ page }).then((loaded) => {
    module = loaded;
    module._quellmar_start();
    postMessage(["ready"]);
  });
})();
