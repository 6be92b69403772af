// The console's reading of a draw report (panel/console/report.js), without a page.
"use strict";
const test = require("node:test");
const assert = require("node:assert");
const view = require("../console/report.js");

const face = { type: "face", point: { x: 0, y: 0, z: 10 }, normal: { x: 0, y: 0, z: 1 } };

test("every list of descriptor objects is found, whatever its key", () => {
  const lists = view.descriptorLists({
    id: "f", messages: ["warning: w"], objects: ["Fillet.1"], faces: [face],
    edges: [{ type: "edge" }, { type: "edge", n: 2 }], later: [face], empty: [],
    numbers: [1, 2], nested: [[face]], problems: [{ message: "p" }]
  });
  assert.deepStrictEqual(lists.map((l) => l.key), ["faces", "edges", "later"]);
  assert.strictEqual(lists[0].json, JSON.stringify([face]));
  assert.deepStrictEqual(JSON.parse(lists[1].json), [{ type: "edge" }, { type: "edge", n: 2 }]);
  // Each descriptor's own text, to copy one alone.
  assert.deepStrictEqual(lists[1].entries.map((e) => JSON.parse(e)),
                         [{ type: "edge" }, { type: "edge", n: 2 }]);
});

test("a row shows the item's messages, else its reason", () => {
  assert.deepStrictEqual(view.itemRow({ id: "a", type: "extrude", outcome: "failed",
                                        messages: ["error: x"], reason: null }).messages,
                         ["error: x"]);
  const never = view.itemRow({ id: "b", outcome: "neverReached", messages: [],
                               reason: "depends on a, which failed" });
  assert.deepStrictEqual(never.messages, ["depends on a, which failed"]);
  assert.deepStrictEqual(never.descriptors, []);
  assert.strictEqual(view.itemRow(undefined).id, "");
});

test("the summary counts the outcomes there are, and a refusal says why", () => {
  const read = view.readReport({
    id: "draw-report", type: "plugin:response", ok: true,
    result: { result: { message: "One or more features failed to update." },
              summary: { items: 3, built: 2, failed: 1, warned: 0 },
              items: [{ id: "s", outcome: "built" }, { id: "e", outcome: "built" },
                      { id: "z", outcome: "failed", faces: [face] }] }
  });
  assert.strictEqual(read.summary,
                     "3 items: 2 built, 1 failed \u2014 One or more features failed to update.");
  assert.deepStrictEqual(read.rows.map((r) => r.outcome), ["built", "built", "failed"]);
  assert.strictEqual(read.rows[2].descriptors.length, 1);
  const refused = view.readReport({ id: "draw-report", ok: false,
                                    error: { code: "report.unavailable", message: "no sink" } });
  assert.deepStrictEqual(refused, { rows: [], error: "report.unavailable: no sink" });
});
