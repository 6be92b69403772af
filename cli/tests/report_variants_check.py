#!/usr/bin/env python3
"""Writes every kind of report `kestrun draw --report` can write and checks each against
docs/kestrun-report.schema.json: with the STEP file, the glTF and STL files, files that
cannot be written, a product, the fallback cylinder, a text that is not JSON, and a
document with mistakes, whose problems the report must carry, and each of the broken
drawings of data/broken_drawings.json (every outcome an item can have)."""
import json
import subprocess
import sys
import tempfile
from pathlib import Path

import jsonschema

kestrun, schema_path, examples = sys.argv[1:4]
broken_cases = Path(sys.argv[4]) if len(sys.argv) > 4 else None
schema = json.loads(Path(schema_path).read_text())
jsonschema.Draft7Validator.check_schema(schema)
validator = jsonschema.Draft7Validator(schema)
examples = Path(examples)
failures = []

BROKEN = json.dumps({"flatNode": [
    {"type": "sketch", "id": "s1", "matrix": [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1],
     "geometries": [{"type": "circle", "center": {"x": 0, "y": 0}, "radius": 5}]},
    {"type": "extrude", "id": "e1", "sketches": ["s1"], "height": 10}],
    "bodyColors": [{"id": "E1", "color": [200, 0, 0]}]})


SKETCH = {"type": "sketch", "id": "s1", "matrix": [1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1],
          "geometries": [{"type": "line", "x1": 0, "y1": 0, "x2": 100, "y2": 0},
                         {"type": "line", "x1": 100, "y1": 0, "x2": 100, "y2": 60},
                         {"type": "line", "x1": 100, "y1": 60, "x2": 0, "y2": 60},
                         {"type": "line", "x1": 0, "y1": 60, "x2": 0, "y2": 0}]}
PAD = {"type": "extrude", "id": "e1", "sketchId": "s1", "n1Height": 10}


def broken_text(case):
    """The document of a broken-drawing case, as broken_drawings_test.cpp builds it."""
    if "text" in case:
        return case["text"]
    if "document" in case:
        return json.dumps(case["document"])
    setup = {"sketch": [SKETCH], "block": [SKETCH, PAD]}.get(case["setup"], [])
    return json.dumps({"flatNode": setup + case["items"]})


def report_of(name, tmp, source, *args, stdin=None):
    path = tmp / (name + ".report.json")
    done = subprocess.run([kestrun, "draw", source, "--report", str(path), *args], input=stdin,
                          capture_output=True, timeout=300)
    if not path.exists():
        failures.append(f"{name}: no report (exit {done.returncode}): {done.stderr[-300:]!r}")
        return None
    report = json.loads(path.read_text())
    errors = sorted(validator.iter_errors(report), key=str)
    if errors:
        failures.append(f"{name}: {[(list(e.absolute_path), e.message[:160]) for e in errors[:3]]}")
    return report


with tempfile.TemporaryDirectory() as tmp:
    tmp = Path(tmp)
    bracket = str(examples / "flanged_bracket.json")
    missing = tmp / "no" / "such" / "dir"
    report_of("report_alone", tmp, bracket)
    report_of("with_step", tmp, bracket, "--step", str(tmp / "a.step"))
    r = report_of("with_meshes", tmp, bracket, "--gltf", str(tmp / "a.glb"), "--stl", str(tmp / "a.stl"),
                  "--svg", str(tmp / "a.svg"), "--svg-items", str(tmp / "items"))
    if r and not (r["result"].get("gltfWritten") and r["result"].get("stlWritten")
                  and r["result"].get("svgWritten") and r["result"].get("svgItemsWritten") == 9):
        failures.append("with_meshes: the result does not name the written meshes")
    r = report_of("unwritable_files", tmp, bracket, "--step", str(missing / "a.step"),
                  "--gltf", str(missing / "a.glb"), "--stl", str(missing / "a.stl"),
                  "--svg", str(missing / "a.svg"), "--png", str(missing / "a.png"))
    if r and not all(k in r["result"]
                     for k in ("stepError", "gltfError", "stlError", "svgError", "pngError")):
        failures.append(f"unwritable_files: errors missing from {r['result']}")
    report_of("product", tmp, str(examples / "pin_stand_assembly.json"), "--mode", "2",
              "--step", str(tmp / "p.step"), "--gltf", str(tmp / "p.glb"), "--stl", str(tmp / "p.stl"))
    report_of("fallback_cylinder", tmp, str(examples / "no_mode.json"))
    r = report_of("not_json", tmp, "-", stdin=b'{"flatNode": [1, 2,]}')
    if r and not any(p.get("line") == 1 for p in r.get("problems", [])):
        failures.append(f"not_json: no problem with its line: {r.get('problems')}")
    r = report_of("broken", tmp, "-", stdin=BROKEN.encode())
    if r:
        e1 = [i for i in r["items"] if i["id"] == "e1"]
        problems = e1[0].get("problems", []) if e1 else []
        if not any(p["pointer"] == "/flatNode/1/height" and p["suggestion"] == 'did you mean "n1Height"?'
                   for p in problems):
            failures.append(f"broken: e1 does not carry its problem: {e1}")
        if not any(p["pointer"] == "/bodyColors/0/id" for p in r.get("problems", [])):
            failures.append(f"broken: the body colour problem is missing: {r.get('problems')}")
    outcomes = set()
    for case in json.loads(broken_cases.read_text())["cases"] if broken_cases else []:
        r = report_of("broken_" + case["name"], tmp, "-", stdin=broken_text(case).encode())
        outcomes.update(i["outcome"] for i in (r or {}).get("items", []))
    if broken_cases and outcomes != {"built", "warned", "failed", "skipped", "neverReached",
                                     "unsupported", "noEffect"}:
        failures.append(f"broken drawings: not every outcome was written: {sorted(outcomes)}")
    for example in sorted(examples.glob("*.json")):
        mode = ["--mode", "2"] if "partList" in example.read_text() else []
        r = report_of("example_" + example.stem, tmp, str(example), *mode)
        if r and example.stem != "no_mode" and (r.get("problems") or any(i.get("problems") for i in r["items"])):
            failures.append(f"example {example.name}: problems in a shipped example")

for failure in failures:
    print("FAIL:", failure)
print(f"{len(failures)} failures")
sys.exit(1 if failures else 0)
