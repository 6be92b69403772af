#!/usr/bin/env python3
"""Runs the processor test that draws a part asking for its report, and checks the report
message it writes: a "plugin:response" whose result's summary and items have the shapes of
the `kestrun draw --report` schema, so that a front end reads one shape."""
import json
import os
import subprocess
import sys
import tempfile
from pathlib import Path

import jsonschema

tests, schema_path = sys.argv[1:3]
schema = json.loads(Path(schema_path).read_text())
with tempfile.TemporaryDirectory() as folder:
    sample = Path(folder) / "report.json"
    env = dict(os.environ, TOLVANE_REPORT_SAMPLE=str(sample))
    subprocess.run([tests, "--gtest_filter=DrawReportTest.AskedTheReportFollowsWithOneEntryPerItem"],
                   env=env, check=True, capture_output=True, timeout=120)
    message = json.loads(sample.read_text())

failures = []
if message.get("id") != "draw-report" or message.get("type") != "plugin:response" \
        or message.get("ok") is not True:
    failures.append(f"envelope: {message.get('id')} {message.get('type')} {message.get('ok')}")
report = message.get("result", {})
shapes = {
    "summary": dict(schema["properties"]["summary"], definitions=schema["definitions"]),
    "item": dict(schema["definitions"]["item"], definitions=schema["definitions"]),
}
for e in jsonschema.Draft7Validator(shapes["summary"]).iter_errors(report.get("summary")):
    failures.append(f"summary: {e.message}")
for i, item in enumerate(report.get("items", [])):
    for e in jsonschema.Draft7Validator(shapes["item"]).iter_errors(item):
        failures.append(f"item {i}: {e.message}")
if not report.get("items"):
    failures.append("no items")
for f in failures:
    print(f)
sys.exit(1 if failures else 0)
