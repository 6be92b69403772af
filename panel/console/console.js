// A front end for trying the add-in by hand: sends part JSON, product JSON or STEP files
// as single or chunked transfers with FNV-1a hashes, answers retry requests, shows every
// reply and, when asked for, the draw's per-item report. Tests drive it through
// window.tolvaneConsole.
(function () {
  "use strict";
  var webview = window.chrome && window.chrome.webview;
  var sent = {};        // transfer name -> its chunks, for retries
  var replies = [];     // every reply object, in order
  var counter = 0;
  var report = null;    // the last "draw-report" message
  var copied = [];      // what each Copy button put on the clipboard: {text, ok}

  // Whether the packet that completes a json payload asks for the draw's report.
  function asksReport() {
    var box = document.getElementById("askReport");
    return !box || box.checked;
  }

  function fnv1a(text) {
    var bytes = new TextEncoder().encode(text);
    var hash = 0x811c9dc5;
    for (var i = 0; i < bytes.length; i++) {
      hash ^= bytes[i];
      hash = Math.imul(hash, 0x01000193) >>> 0;
    }
    return ("0000000" + hash.toString(16)).slice(-8);
  }

  function post(cmd, data, mode, wantsReport) {
    var packet = { cmd: cmd, data: data };
    if (mode) packet.mode = mode;
    if (wantsReport) packet.report = true;
    webview.postMessage(packet);
  }

  // Every packet of a large transfer carries its mode.
  function sendChunk(name, index, text, damaged, mode) {
    var body = { name: name, index: index, data: damaged ? text + "#" : text, hash: fnv1a(text) };
    post("transferLargeData", JSON.stringify(body), mode);
  }

  // A STEP file is inserted under its name's extension, and each base64 chunk must decode on
  // its own, so the name carries ".step" (or the picked file's ".stp") and chunks are cut at
  // whole groups of four characters.
  function sendLarge(text, mode, chunkSize, corruptIndex, extension) {
    var name = "console-" + Date.now() + "-" + (++counter);
    if (mode === "base64") {
      name += extension || ".step";
      chunkSize = Math.max(4, chunkSize - chunkSize % 4);
    }
    var chunks = [];
    for (var i = 0, end; i < text.length; i = end) {
      end = Math.min(text.length, i + chunkSize);
      // A character outside the basic plane is two code units; cut between them, each chunk
      // would carry half a character, which no chunk can encode on its own.
      var last = text.charCodeAt(end - 1);
      if (end < text.length && last >= 0xd800 && last <= 0xdbff) end++;
      chunks.push(text.slice(i, end));
    }
    if (chunks.length === 0) chunks.push("");
    var wantsReport = mode === "json" && asksReport();
    sent[name] = { chunks: chunks, mode: mode, resent: {}, report: wantsReport };
    post("transferLargeStart", JSON.stringify({ name: name, size: chunks.length }), mode);
    chunks.forEach(function (chunk, index) {
      sendChunk(name, index, chunk, index === corruptIndex, mode);
    });
    post("transferLargeEnd", JSON.stringify({ name: name }), mode, wantsReport);
    return name;
  }

  function sendSingle(text, mode) {
    post("transferSingle", text, mode, mode === "json" && asksReport());
  }

  // Re-sends what the add-in asks for, then closes the transfer again. A damaged chunk is
  // asked for twice (when it arrives and at the end); it is sent again only once.
  function answerRetry(reply) {
    var body;
    try { body = JSON.parse(reply.data); } catch (e) { return; }
    var transfer = sent[body.name];
    if (!transfer || !Array.isArray(body.data)) return;
    var missing = body.data.filter(function (index) { return !transfer.resent[index]; });
    if (missing.length === 0) return;
    missing.forEach(function (index) {
      transfer.resent[index] = true;
      sendChunk(body.name, index, transfer.chunks[index], false, transfer.mode);
    });
    post("transferLargeEnd", JSON.stringify({ name: body.name }), transfer.mode, transfer.report);
  }

  function isReport(message) {
    return message && message.type === "plugin:response" && message.id === "draw-report";
  }

  function show(reply) {
    var item = document.createElement("li");
    // The report has a section of its own; the list only notes that it came.
    item.textContent = isReport(reply) && reply.ok
      ? "plugin:response draw-report (" + ((reply.result || {}).items || []).length + " items)"
      : JSON.stringify(reply);
    if (reply.ok === false) item.className = "error";
    if (reply.cmd === "transferLargeRetry") item.className = "retry";
    var list = document.getElementById("replies");
    if (list) list.appendChild(item);
  }

  if (webview) {
    webview.addEventListener("message", function (event) {
      if (event.data && event.data.type === "host:selection") {
        showSelection(event.data.selection);
        return;
      }
      replies.push(event.data);
      show(event.data);
      if (isReport(event.data)) showReport(event.data);
      if (event.data && event.data.cmd === "transferLargeRetry") answerRetry(event.data);
    });
  }

  // The face or edge last picked in the CAD view, with the descriptor a fillet, chamfer,
  // shell or draft item would name it by.
  var selection = null;
  function showSelection(picked) {
    selection = picked;
    var summary = document.getElementById("selectionSummary");
    var descriptor = document.getElementById("selectionDescriptor");
    if (!summary || !descriptor) return;
    summary.textContent = picked ? picked.summary : "nothing selected";
    descriptor.textContent = picked && picked.descriptor
      ? JSON.stringify(picked.descriptor)
      : (picked ? "(no descriptor names a " + picked.kind + " " + picked.topoType + ")" : "");
  }

  function element(tag, className, text) {
    var node = document.createElement(tag);
    if (className) node.className = className;
    if (text !== undefined) node.textContent = text;
    return node;
  }

  // Copies through the clipboard API where the page may use it, else through a selection.
  function copyText(text, button) {
    function done(ok) {
      copied.push({ text: text, ok: ok });
      button.textContent = ok ? "Copied" : "Copy failed";
      setTimeout(function () { button.textContent = "Copy"; }, 1500);
    }
    function bySelection() {
      var area = element("textarea");
      area.value = text;
      area.style.position = "fixed";
      area.style.opacity = "0";
      document.body.appendChild(area);
      area.select();
      var ok = false;
      try { ok = document.execCommand("copy"); } catch (e) { ok = false; }
      document.body.removeChild(area);
      return ok;
    }
    if (navigator.clipboard && navigator.clipboard.writeText) {
      navigator.clipboard.writeText(text).then(function () { done(true); },
                                               function () { done(bySelection()); });
    } else {
      done(bySelection());
    }
  }

  function descriptorRow(lists) {
    var row = element("tr", "descriptors");
    var cell = element("td");
    cell.colSpan = 4;
    // One line per face or edge, each with its own Copy: a fillet or a shell takes one.
    lists.forEach(function (list) {
      var box = element("div", "descriptorList");
      box.appendChild(element("span", "descriptorKey", list.key));
      list.entries.forEach(function (entry) {
        var line = element("div", "descriptor");
        var button = element("button", "copy", "Copy");
        button.addEventListener("click", function () { copyText(entry, button); });
        line.appendChild(button);
        line.appendChild(element("pre", "descriptorJson", entry));
        box.appendChild(line);
      });
      cell.appendChild(box);
    });
    row.appendChild(cell);
    return row;
  }

  function itemRowElement(row) {
    var tr = element("tr", "item");
    tr.dataset.id = row.id;
    tr.appendChild(element("td", "id", row.name && row.name !== row.id
      ? row.id + " (" + row.name + ")" : row.id));
    tr.appendChild(element("td", "type", row.type));
    tr.appendChild(element("td", "outcome outcome-" + row.outcome, row.outcome));
    var messages = element("td", "messages");
    row.messages.forEach(function (m) { messages.appendChild(element("div", "", m)); });
    tr.appendChild(messages);
    return tr;
  }

  // The report section: a summary line and one row per item, descriptors under their item.
  function showReport(message) {
    report = message;
    var view = window.tolvaneReport.readReport(message);
    var summary = document.getElementById("reportSummary");
    var body = document.getElementById("reportRows");
    if (!summary || !body) return;
    summary.textContent = view.error || view.summary;
    summary.className = view.error ? "error" : "";
    body.textContent = "";
    view.rows.forEach(function (row) {
      body.appendChild(itemRowElement(row));
      if (row.descriptors.length) body.appendChild(descriptorRow(row.descriptors));
    });
  }

  function toBase64(buffer) {
    var bytes = new Uint8Array(buffer), text = "";
    for (var i = 0; i < bytes.length; i += 0x8000)
      text += String.fromCharCode.apply(null, bytes.subarray(i, i + 0x8000));
    return btoa(text);
  }

  var stepExtension = ".step";

  function sendFromForm() {
    var kind = document.getElementById("kind").value;
    var large = document.getElementById("transfer").value === "large";
    var size = Math.max(1, parseInt(document.getElementById("chunkSize").value, 10) || 4096);
    var corrupt = document.getElementById("corrupt").checked ? 0 : -1;
    var text = document.getElementById("payload").value;
    if (kind === "base64") sendLarge(text, "base64", size, corrupt, stepExtension);
    else if (large) sendLarge(text, "json", size, corrupt);
    else sendSingle(text, "json");
  }

  document.addEventListener("DOMContentLoaded", function () {
    document.getElementById("send").addEventListener("click", sendFromForm);
    document.getElementById("file").addEventListener("change", function (event) {
      var file = event.target.files[0];
      if (!file) return;
      var step = /\.(step|stp)$/i.test(file.name);
      if (step) stepExtension = /\.stp$/i.test(file.name) ? ".stp" : ".step";
      var reader = new FileReader();
      reader.onload = function () {
        document.getElementById("payload").value = step ? toBase64(reader.result) : reader.result;
        document.getElementById("kind").value = step ? "base64" : "json";
      };
      if (step) reader.readAsArrayBuffer(file); else reader.readAsText(file);
    });
  });

  window.tolvaneConsole = {
    fnv1a: fnv1a, sendLarge: sendLarge, sendSingle: sendSingle,
    replies: function () { return replies; }, connected: !!webview,
    selection: function () { return selection; },
    report: function () { return report; }, copied: function () { return copied; }
  };
})();
