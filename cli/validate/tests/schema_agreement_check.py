#!/usr/bin/env python3
"""The published schemas and the core agree:

1. docs/*-json.schema.json are what scripts/json_schemas.py makes, valid JSON Schema
   2020-12, and use none of the keywords tool-call schemas reject.
2. Every word the core's readers may look up (each identifier-like string literal in
   core/, outside its tests) is a key or a value of the schemas, or one of the few words
   below that are host names and log words, not JSON: a key the core starts to read
   fails this until the schema has it.
3. Every shipped example validates with python3-jsonschema, an independent validator.
4. Every example and test document the core builds without warnings also passes
   `kestrun validate` and python3-jsonschema.
"""
import json
import re
import subprocess
import sys
import tempfile
from pathlib import Path

import jsonschema

kestrun, source = sys.argv[1], Path(sys.argv[2])
failures = []

# Literals of core/ that are not JSON: host object names and suffixes, log words,
# environment variables, loft parameter names.
NOT_KEYS = {
    "Body", "C", "Default", "MARDEL_REMOVE_EXTRUDE_OVERSHOOT_MM", "MardelPart_", "Part",
    "Product1", "SetEndPoint", "SetStartPoint", "_", "_axis", "_body", "_cut", "_cut_", "_dir",
    "_direct1", "_direct2", "_pad", "_plane", "_point", "_sketch", "_through_bore", "default",
    "failed", "ok", "xParm", "yParm",
}
AVOIDED = {"oneOf", "allOf", "not", "if", "then", "else", "patternProperties", "dependentRequired",
           "dependentSchemas", "unevaluatedProperties", "unevaluatedItems", "format", "prefixItems"}


def fail(what):
    failures.append(what)


schemas = {}
for name in ("part", "product"):
    schemas[name] = json.loads((source / "docs" / f"{name}-json.schema.json").read_text())
    jsonschema.Draft202012Validator.check_schema(schemas[name])

done = subprocess.run([sys.executable, str(source / "scripts" / "json_schemas.py"), "--check"],
                      capture_output=True, text=True)
if done.returncode != 0:
    fail("schemas out of date: " + done.stdout.strip())


def walk(value, visit, path=""):
    if isinstance(value, dict):
        for key, sub in value.items():
            visit(key, sub, path)
            walk(sub, visit, path + "/" + key)
    elif isinstance(value, list):
        for i, sub in enumerate(value):
            walk(sub, visit, f"{path}/{i}")


words = set()


def gather(key, sub, path):
    if key in AVOIDED and not path.endswith("/properties"):
        fail(f"schema uses {key} at {path}")
    if key == "$ref" and not (isinstance(sub, str) and sub.startswith("#/$defs/")):
        fail(f"schema has an outside $ref at {path}: {sub}")
    if key == "type" and isinstance(sub, list):
        fail(f"schema has a type array at {path}")
    if key == "properties" and isinstance(sub, dict):
        words.update(sub)
    if key == "enum":
        words.update(w for w in sub if isinstance(w, str))
    if key == "const" and isinstance(sub, str):
        words.add(sub)


for schema in schemas.values():
    walk(schema, gather)

for path in sorted((source / "core").rglob("*")):
    if path.suffix not in (".cpp", ".h") or "tests" in path.parts:
        continue
    for literal in re.findall(r'"([A-Za-z_][A-Za-z0-9_]*)"', path.read_text(errors="replace")):
        if literal not in words and literal not in NOT_KEYS:
            fail(f"{path.relative_to(source)} reads \"{literal}\", which no schema names")
for word in sorted(NOT_KEYS & words):
    fail(f"\"{word}\" is listed as not a key but the schema has it")

validators = {n: jsonschema.Draft202012Validator(s) for n, s in schemas.items()}


def kind(document):
    return "product" if isinstance(document, dict) and "partList" in document else "part"


def schema_errors(document):
    return [(list(e.absolute_path), e.message[:120]) for e in validators[kind(document)].iter_errors(document)]


examples = sorted((source / "examples").rglob("*.json"))
for example in examples:
    if example.name == "no_mode.json":  # the fallback cylinder: deliberately no part at all
        continue
    errors = schema_errors(json.loads(example.read_text()))
    if errors:
        fail(f"{example.relative_to(source)}: {errors[:3]}")

# The test documents: data files and the JSON texts written out in the tests' sources.
documents = [(str(p.relative_to(source)), p.read_text()) for p in examples]
for folder in ("core/tests", "cli/tests", "occt_host/tests"):
    for path in sorted((source / folder).rglob("*")):
        if path.suffix == ".json":
            documents.append((str(path.relative_to(source)), path.read_text(errors="replace")))
        elif path.suffix == ".cpp":
            for n, m in enumerate(re.finditer(r'R"(\w*)\((.*?)\)\1"', path.read_text(errors="replace"), re.S)):
                documents.append((f"{path.relative_to(source)}#{n}", m.group(2)))



def deliberately_refused(document):
    """Documents the core draws without a warning that validation still refuses, each for a
    reason: an empty item list draws nothing (a silent success the validator names), and a
    "flatNode" that is not an array is a mistake the core ignores only to read "sequences"."""
    if isinstance(document, list):
        return not document
    lists = [document.get(k) for k in ("flatNode", "sequences") if k in document]
    return any(not isinstance(v, list) or not v for v in lists)


checked = 0
with tempfile.TemporaryDirectory() as tmp:
    for name, text in documents:
        try:
            document = json.loads(text)
        except ValueError:
            continue
        if not isinstance(document, (dict, list)):
            continue
        if isinstance(document, dict) and not {"flatNode", "sequences", "partList"} & set(document):
            continue
        if deliberately_refused(document):
            continue
        path = Path(tmp) / "doc.json"
        path.write_text(text)
        mode = ["--mode", "2"] if kind(document) == "product" else []
        drawn = subprocess.run([kestrun, "draw", str(path), "--report", "-", *mode],
                               capture_output=True, timeout=300, env={"TMPDIR": tmp, "PATH": "/usr/bin:/bin"})
        try:
            result = json.loads(drawn.stdout)["result"]
        except (ValueError, KeyError):
            continue
        if result["status"] != 0 or result["hasWarnings"] != 0:
            continue
        checked += 1
        verdict = subprocess.run([kestrun, "validate", str(path)], capture_output=True, text=True)
        if verdict.returncode != 0:
            fail(f"{name}: built without warnings but kestrun validate says {verdict.stdout[:400]}")
        wrapped = {"flatNode": document} if isinstance(document, list) else document
        errors = schema_errors(wrapped)
        if errors:
            fail(f"{name}: built without warnings but python3-jsonschema says {errors[:3]}")

print(f"{len(words)} schema words, {len(examples)} examples, {checked} documents built without warnings")
if checked < 12:
    fail(f"only {checked} documents built without warnings: the search for them is broken")
for failure in failures:
    print("FAIL:", failure)
sys.exit(1 if failures else 0)
