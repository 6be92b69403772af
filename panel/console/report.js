// The draw's per-item report as the console shows it: one row per item (id, type, outcome,
// messages) and, under an item, each list of topology descriptors it carries as JSON text
// with a Copy button. The functions that read the report touch no page, so that they can be
// tested on their own (panel/tests/report_view_test.js).
(function (root) {
  "use strict";

  // Keys of an item that hold lists of other things than descriptors.
  var NOT_DESCRIPTORS = { messages: true, objects: true, problems: true };

  function isDescriptorList(value) {
    return Array.isArray(value) && value.length > 0 && value.every(function (entry) {
      return entry !== null && typeof entry === "object" && !Array.isArray(entry);
    });
  }

  // Every list of descriptor objects in an item, whatever its key ("faces", "edges",
  // "descriptors", ...), in key order: [{key, json, entries}], json being the list's compact
  // text and entries each descriptor's own, the text a later item takes as it stands.
  function descriptorLists(item) {
    var lists = [];
    if (!item || typeof item !== "object") return lists;
    Object.keys(item).forEach(function (key) {
      if (NOT_DESCRIPTORS[key] || !isDescriptorList(item[key])) return;
      lists.push({ key: key, json: JSON.stringify(item[key]),
                   entries: item[key].map(function (entry) { return JSON.stringify(entry); }) });
    });
    return lists;
  }

  // What a row shows of an item; missing fields read as empty.
  function itemRow(item) {
    item = item || {};
    var messages = Array.isArray(item.messages) ? item.messages.map(String) : [];
    if (messages.length === 0 && typeof item.reason === "string" && item.reason) {
      messages = [item.reason];
    }
    return {
      id: String(item.id || ""),
      type: String(item.type || ""),
      name: String(item.name || ""),
      outcome: String(item.outcome || ""),
      messages: messages,
      descriptors: descriptorLists(item)
    };
  }

  // The rows and the summary line of a "draw-report" message; `error` instead when the
  // add-in said why there is no report.
  function readReport(message) {
    if (!message || message.ok !== true) {
      var error = (message && message.error) || {};
      return { rows: [], error: (error.code || "report") + ": " + (error.message || "no report") };
    }
    var report = message.result || {};
    var items = Array.isArray(report.items) ? report.items : [];
    var s = report.summary || {};
    var counts = ["built", "warned", "failed", "skipped", "neverReached", "unsupported",
                  "noEffect"].filter(function (key) { return s[key] > 0; })
      .map(function (key) { return s[key] + " " + key; });
    var summary = items.length + " items" + (counts.length ? ": " + counts.join(", ") : "");
    if (report.result && report.result.message) summary += " \u2014 " + report.result.message;
    return { rows: items.map(itemRow), summary: summary };
  }

  var api = { descriptorLists: descriptorLists, itemRow: itemRow, readReport: readReport };
  if (typeof module !== "undefined" && module.exports) module.exports = api;
  else root.tolvaneReport = api;
})(this);
