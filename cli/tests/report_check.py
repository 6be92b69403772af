#!/usr/bin/env python3
"""Runs `kestrun draw --report` the way a user does and checks what comes out: the report
against its JSON Schema, its summary against its items, the failed items' messages
against the log file, standard output and standard error by verbosity."""
import json
import subprocess
import sys
import tempfile
from pathlib import Path

import jsonschema

kestrun, schema_path, forty, failing = sys.argv[1:5]
schema = json.loads(Path(schema_path).read_text())
jsonschema.Draft7Validator.check_schema(schema)
failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def run(*args):
    done = subprocess.run([kestrun, "draw", *args], capture_output=True, timeout=120)
    return done.returncode, done.stdout.decode(), done.stderr.decode()


def check_report(report, log_lines, name):
    errors = sorted(jsonschema.Draft7Validator(schema).iter_errors(report), key=str)
    check(not errors, f"{name}: schema: {[e.message for e in errors[:3]]}")
    items = report["items"]
    counts = {k: sum(1 for i in items if i["outcome"] == k)
              for k in ("built", "warned", "failed", "skipped", "neverReached", "unsupported",
                        "noEffect")}
    summary = report["summary"]
    check(summary["items"] == len(items), f"{name}: summary items")
    for k, n in counts.items():
        check(summary[k] == n, f"{name}: summary {k} {summary[k]} != {n}")
    # A failed item's messages are lines of the log, word for word and in order.
    for item in items:
        if item["outcome"] != "failed":
            continue
        check(item["messages"], f"{name}: failed {item['id']} without messages")
        at = 0
        for message in item["messages"]:
            try:
                at = log_lines.index(message, at) + 1
            except ValueError:
                failures.append(f"{name}: {item['id']}: not in the log: {message}")
    return counts


with tempfile.TemporaryDirectory() as tmp:
    tmp = Path(tmp)
    # The forty-item document: report file, result line on stdout, summary alone on stderr.
    code, out, err = run(forty, "--report", str(tmp / "forty.json"), "--log", str(tmp / "forty.log"))
    check(code == 1, f"forty: exit {code}")
    report = json.loads((tmp / "forty.json").read_text())
    check(json.loads(out) == report["result"], "forty: result line differs from the report's")
    check(report["file"] == forty, "forty: file")
    log_lines = (tmp / "forty.log").read_text().split("\n")
    counts = check_report(report, log_lines, "forty")
    # "Extrude" has no handler; three 1 mm pads stand inside solid already there (cyc_a,
    # cyc_b, e_nested); s_bad's hyperbola and self_ref's cycle are problems of the document.
    check(counts == {"built": 25, "warned": 2, "failed": 0, "skipped": 5, "neverReached": 0,
                     "unsupported": 1, "noEffect": 3},
          f"forty: outcomes {counts}")
    check(report["result"]["createdCount"] == 31 and report["result"]["stepWritten"] is False,
          "forty: result")
    check(report["summary"]["volume"] > 50000, "forty: the Part's volume")
    check(err.startswith("kestrun: Part JSON imported. 36 items:") and "debug:" not in err,
          f"forty: stderr is not the summary alone: {err[:200]!r}")

    # A failing document with the report on standard output instead of the result line.
    code, out, err = run(failing, "--report", "-", "--log", str(tmp / "failing.log"))
    check(code == 2, f"failing: exit {code}")
    report = json.loads(out)
    counts = check_report(report, (tmp / "failing.log").read_text().split("\n"), "failing")
    check(counts == {"built": 2, "warned": 0, "failed": 1, "skipped": 0, "neverReached": 1,
                     "unsupported": 1, "noEffect": 0},
          f"failing: outcomes {counts}")
    check("  failed: extrude e1" in err, f"failing: stderr names no failed item: {err!r}")

    # -vv shows every line of the log on standard error, as the log file has them.
    code, out, err = run(failing, "--step", str(tmp / "f.step"), "-vv", "--log", str(tmp / "vv.log"))
    logged = (tmp / "vv.log").read_text()
    check(logged and err.startswith(logged), "-vv: stderr does not begin with the whole log")
    code, out, err = run(failing, "--step", str(tmp / "f.step"), "-v")
    check(err.count("\n") > 2 and "debug:" not in err, "-v: info and error lines without debug")

for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
