#!/usr/bin/env python3
"""Writes docs/part-json.schema.json and docs/product-json.schema.json.

The two schemas describe what the core reads, key by key. They are generated from one
description here so that the product schema carries the very same item definitions (a
tool-call schema cannot $ref another file). Run with --check to compare instead of write.

Kept to the keywords that language-model tool-call schemas accept: type, properties,
required, enum, const, items, minItems, maxItems, minimum, exclusiveMinimum, minLength,
additionalProperties, anyOf, $defs and $ref within the same document, description,
default. Not used: oneOf, allOf, not, if/then/else, patternProperties, dependentRequired,
unevaluatedProperties, format, type arrays, $ref to other files.
"""
import json
import os
import sys

DOCS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "docs")
DIALECT = "https://json-schema.org/draft/2020-12/schema"


def num(description, default=None, **extra):
    s = {"type": "number", "description": description}
    if default is not None:
        s["default"] = default
    s.update(extra)
    return s


def boolean(description, default=None):
    s = {"type": "boolean", "description": description}
    if default is not None:
        s["default"] = default
    return s


def string(description, **extra):
    s = {"type": "string", "description": description}
    s.update(extra)
    return s


def ref(name):
    return {"$ref": "#/$defs/" + name}


def ids(description):
    return {"$ref": "#/$defs/idList", "description": description}


def obj(properties, required=(), description=None):
    s = {"type": "object", "properties": properties, "additionalProperties": False}
    if required:
        s["required"] = list(required)
    if description:
        s["description"] = description
    return s


# Keys that the pipeline reads on every item to order the build: an item is built after
# every item it names under them. Handlers read some of them as well.
ORDERING = {
    "features": ids("Ids of items to build first (a pattern's or mirror's sources)."),
    "featureIds": ids("Ids of items to build first; used only to order the build."),
    "mirrorFeature": ids("Ids of items to build first; used only to order the build."),
    "sketches": ids("Ids of the profile sketches (the first one is the profile; a loft takes all as sections)."),
    "sketchIds": ids("Ids of items to build first; used only to order the build."),
    "stetches": ids("Misspelt \"sketches\", read when \"sketches\" is absent or empty."),
    "boolSolids": ids("Ids of the feature items whose bodies the boolean combines with (remove/common target)."),
    "targetIds": ids("Read when \"boolSolids\" is absent or empty, like it."),
    "profile": ids("A sweep's profile sketch (first element)."),
    "sketchPath": ids("A sweep's path sketch (first element)."),
    "locations": ids("Ids to build first (a hole's locations may also be points)."),
    "featureId": string("Id of an item to build first; a hole drills this feature's body when no boolSolids are given."),
    "sketchId": string("Id of the profile sketch, read when \"sketches\" and \"stetches\" are absent or empty."),
    "stetchId": string("Misspelt \"sketchId\", read after it."),
}

BOOL_TYPE = {
    "type": "string",
    "enum": ["add", "remove", "common", "new"],
    "description": "How the feature combines with the body before it: add (fuse; the default of the first feature), remove (cut from the boolSolids target, else the current body), common (intersect), new (a body of its own). Absent: the feature stands in the current body.",
}


def item(type_schema, properties, required=(), description=None):
    props = {
        "type": type_schema,
        "id": string("Unique id of the item; other items name it.", minLength=1),
        "name": string("Name of the host object; the id when absent or empty."),
    }
    props.update(ORDERING)
    props.update(properties)
    return obj(props, ["type", "id"] + list(required), description)


def feature(type_name, properties, required=(), description=None):
    props = {"boolType": ref("boolType")}
    props.update(properties)
    return item({"const": type_name}, props, required, description)


POINT2 = obj({"x": num("mm, along the sketch's horizontal direction"),
              "y": num("mm, along the sketch's vertical direction"),
              "z": num("Only compared between spline points.")},
             ["x", "y"], "A 2D sketch point in mm.")
POINT3 = obj({"x": num("mm"), "y": num("mm"), "z": num("mm")}, ["x", "y", "z"], "A 3D point in mm.")
VECTOR3 = obj({"x": num(""), "y": num(""), "z": num("")}, ["x", "y", "z"], "A 3D direction; its length does not matter.")
AXIS = obj({"x": num("Origin, mm"), "y": num("Origin, mm"), "z": num("Origin, mm"),
            "dx": num("Direction"), "dy": num("Direction"), "dz": num("Direction")},
           ["x", "y", "z", "dx", "dy", "dz"], "An axis: an origin point and a direction (normalised by the core).")
MATRIX = {"type": "array", "items": {"type": "number"}, "minItems": 16, "maxItems": 16,
          "description": "4 x 4 placement, column-major: elements 0-2 the plane's horizontal direction, 4-6 its vertical direction, 8-10 its normal (used when the two directions are parallel), 12-14 its origin in mm; 3, 7, 11 and 15 are not read (write 0, 0, 0, 1)."}
TOPO_POINT = {"anyOf": [
    {"type": "array", "items": {"type": "number"}, "minItems": 2, "maxItems": 3,
     "description": "[x, y] or [x, y, z], mm"},
    obj({"x": num("mm"), "y": num("mm"), "z": num("mm, 0 when absent")}, ["x", "y"])],
    "description": "A point or vector: [x, y, z] or {\"x\", \"y\", \"z\"}."}


def geometry(type_name, properties, required, description):
    props = {"type": {"const": type_name},
             "id": string("Id that other items may name (a hole location names a vertex).")}
    props.update(properties)
    return obj(props, ["type"] + list(required), description)


CENTRE = {"center": ref("point2"), "cx": num("Centre x, mm, when \"center\" is absent"),
          "cy": num("Centre y, mm, when \"center\" is absent")}

GEOMETRIES = {
    "line": geometry("line", {"x1": num("mm"), "y1": num("mm"), "x2": num("mm"), "y2": num("mm")},
                     ["x1", "y1", "x2", "y2"], "A segment from (x1, y1) to (x2, y2)."),
    "circle": geometry("circle", dict(CENTRE, radius=num("mm, > 0", exclusiveMinimum=0)), ["radius"],
                       "A closed circle; centre from \"center\", else \"cx\"/\"cy\" (one of them is needed)."),
    "arc": geometry("arc", {"center": ref("point2"), "start": ref("point2"), "end": ref("point2"),
                            "radius": num("mm; the points give only the angles", exclusiveMinimum=0),
                            "sweep": boolean("false: counter-clockwise from start to end; true: clockwise")},
                    ["center", "start", "end", "radius", "sweep"], "A circular arc."),
    "ellipse": geometry("ellipse", dict(CENTRE, rx=num("mm", exclusiveMinimum=0), ry=num("mm", exclusiveMinimum=0),
                                        angle=num("Radians: direction of the rx axis")),
                        ["rx", "ry", "angle"], "A closed ellipse; centre as for a circle."),
    "ellipseArc": geometry("ellipseArc", {"center": ref("point2"), "start": ref("point2"), "end": ref("point2"),
                                          "sweep": boolean("As for an arc"), "rx": num("mm", exclusiveMinimum=0),
                                          "ry": num("mm", exclusiveMinimum=0), "angle": num("Radians")},
                           ["center", "start", "end", "sweep", "rx", "ry", "angle"], "An elliptical arc."),
    "spline": geometry("spline", {
        "fitPoints": {"type": "array", "items": ref("point2"), "minItems": 2, "description": "Points the spline passes through."},
        "controlPoints": {"type": "array", "items": ref("point2"), "minItems": 2, "description": "Read when fitPoints is absent."},
        "degree": {"type": "integer", "enum": [3, 5], "default": 3, "description": "3 or 5"},
        "splineType": string("Only logged."),
        "start": ref("point2"), "end": ref("point2")}, [],
        "A spline through its points (closed when the first equals the last); open ends move to start/end."),
    "vertex": geometry("vertex", {"x": num("mm"), "y": num("mm"), "position": ref("point2")}, [],
                       "A point (drawn as a 0.01 mm circle); from x/y, else \"position\". Holes name vertices as locations."),
}

DESCRIPTOR = obj({
    "featureId": string("Id of the feature item that made the face or edge (needed, or \"parent\")."),
    "parent": string("Read when featureId is absent."),
    "topoType": {"type": "string", "enum": ["edge", "face"]},
    "type": {"type": "string", "enum": ["line", "circle", "arc", "ellipse", "ellipseArc", "bspline", "bSplineCurve", "plane"],
             "description": "Kind of edge, or \"plane\" for a face."},
    "start": ref("topoPoint"), "end": ref("topoPoint"),
    "startPt": ref("topoPoint"), "endPt": ref("topoPoint"),
    "x1": num("mm"), "y1": num("mm"), "z1": num("mm"), "x2": num("mm"), "y2": num("mm"), "z2": num("mm"),
    "edgeCenter": ref("topoPoint"), "midPt": ref("topoPoint"), "center": ref("topoPoint"),
    "radius": num("mm"), "vDir": ref("topoPoint"), "axisDir": ref("topoPoint"),
    "normal": ref("topoPoint"), "planeNormal": ref("topoPoint"),
    "loc": ref("topoPoint"), "pointOnFace": ref("topoPoint"),
    "rx": num("mm"), "ry": num("mm"), "majorRadius": num("mm"), "minorRadius": num("mm")},
    ["topoType", "type"],
    "A face or edge of an earlier feature: line (start, end), circle (center, vDir, radius), arc (circle + start, end), ellipse (center, vDir, rx, ry, edgeCenter), plane (loc or pointOnFace, and vDir or normal).")


def descriptors(description):
    return {"type": "array", "items": ref("topoDescriptor"), "description": description}


HOLE_LOCATION = {"anyOf": [ref("point3"), {"type": "string", "description": "Id of a vertex geometry"}]}

ITEMS = {
    "sketchItem": item({"type": "string", "enum": ["sketch", "Sketch"]}, {
        "matrix": ref("matrix"),
        "geometries": {"type": "array", "items": ref("geometry")}},
        [], "A sketch: 2D geometry on the plane of \"matrix\" (the XY plane when it is absent or invalid)."),
    "extrudeItem": feature("extrude", {
        "n1Height": num("First limit, mm, along direction", 0),
        "n2Height": num("Second limit, mm, the other way", 0),
        "contrary": boolean("Reverses the first limit", False),
        "contrary2": boolean("false reverses the second limit", True),
        "direction": ref("vector3")}, [],
        "A pad (or pocket with boolType remove) of the profile sketch; length n1Height + n2Height."),
    "rotateItem": feature("rotate", {
        "axis": ref("axis"),
        "angle1": num("Degrees", 0), "angle2": num("Degrees", 0),
        "rotateType": {"type": "string", "enum": ["completely", "oneDirection", "symmetry", "twoDirection"],
                       "description": "completely: 0-360; oneDirection: 0-angle1; symmetry: -angle1-angle1; twoDirection (or absent): angle1-angle2"}},
        ["axis"], "A shaft: the profile turned counter-clockwise about the axis."),
    "loftItem": feature("loft", {
        "matchConnections": {"type": "object", "additionalProperties": ref("point2"),
                             "description": "Per section sketch id, the closing point {x, y} on its plane."}}, [],
        "A loft through the \"sketches\" in order."),
    "sweepItem": feature("sweep", {}, ["profile", "sketchPath"], "A rib: the first \"profile\" sketch swept along the first \"sketchPath\" sketch."),
    "filletItem": feature("fillet", {"radius": num("mm", 0), "filletTopos": descriptors("The edges to round.")},
                          ["radius", "filletTopos"], "A constant-radius fillet."),
    "chamferItem": feature("chamfer", {
        "chamferType": {"type": "string", "enum": ["equidistant", "twoDistance", "distanceAndAngle"]},
        "distance": num("mm (equidistant, distanceAndAngle)", 0),
        "distance1": num("mm (twoDistance), on the edge's first face", 0),
        "distance2": num("mm (twoDistance)", 0),
        "angle": num("Degrees (distanceAndAngle)", 0),
        "contrary": boolean("Puts the first length on the other face", False),
        "chamferTopos": descriptors("The edges to bevel.")},
        ["chamferType", "chamferTopos"], "A chamfer."),
    "shellItem": feature("shell", {"thickness": num("mm, inward", 1),
                                   "shellFaces": descriptors("Faces left open; none gives a closed cavity.")}, [],
                         "A shell."),
    "draftItem": feature("draft", {"angle": num("Degrees", 0), "neutralPlane": ref("topoDescriptor"),
                                   "draftFaces": descriptors("The faces to tilt.")},
                         ["angle", "neutralPlane", "draftFaces"],
                         "A draft: faces lean inward along the neutral plane descriptor's vDir (the pull direction)."),
    "holeItem": feature("hole", {
        "holeType": {"type": "string", "enum": ["simple", "taperedHole", "counterbore", "chamferedHole"], "default": "simple"},
        "diameter": num("mm", 10, exclusiveMinimum=0), "depth": num("mm from the support face", 20, exclusiveMinimum=0),
        "tipAngle": num("Degrees, full included angle of the V bottom; 0 flat", 0),
        "counterboreDiameter": num("mm", 0), "counterboreDepth": num("mm", 0),
        "chamferedHoleDiameter": num("mm", 0), "chamferedHoleAngle": num("Degrees, full included angle", 0),
        "locations": {"type": "array", "items": ref("holeLocation"), "minItems": 1, "maxItems": 100,
                      "description": "Points on the support face, or vertex geometry ids."},
        "direction": obj({"dx": num(""), "dy": num(""), "dz": num(""), "x": num(""), "y": num(""), "z": num("")}, [],
                         "The drilling direction {dx, dy, dz}; a plain {x, y, z} is the face's outward normal (the hole goes the other way). Default (0, 0, 1).")},
        ["locations"], "Holes at the locations."),
    "linearArrayItem": feature("linearArray", {
        "direct": ref("axis"), "direct2": ref("axis"), "axis": ref("axis"),
        "itemNumber": {"type": "integer", "minimum": 1, "description": "Instances along direct, the source included", "default": 1},
        "itemNumber2": {"type": "integer", "minimum": 1, "description": "Instances along direct2", "default": 1},
        "distance": num("mm between instances", 0), "distance2": num("mm between instances", 0),
        "isCenter": boolean("The source is the middle instance (count becomes 2n-1)", False),
        "isCenter2": boolean("As isCenter, second direction", False),
        "secondDirection": boolean("Use direct2/itemNumber2/distance2", False)},
        ["features", "direct"], "A linear pattern of the \"features\"."),
    "polarArrayItem": feature("polarArray", {
        "direct": ref("axis"), "direct2": ref("axis"), "axis": ref("axis"),
        "itemNumber": {"type": "integer", "minimum": 1, "description": "Instances, the source included", "default": 1},
        "angle": num("Degrees covered; 360 steps angle/n, otherwise angle/(n-1)", 0),
        "clockwise": boolean("false: right-handed about the axis direction", False)},
        ["features", "axis"], "A circular pattern of the \"features\"."),
    "mirrorFeatureItem": feature("mirrorFeature", {"plane": ref("matrix")}, ["features", "plane"],
                                 "A mirror of the \"features\" about the plane of \"plane\" (a matrix like a sketch's)."),
}

BODY_COLOR = obj({"id": string("Id of a feature item."),
                  "color": {"type": "array", "items": {"type": "number", "minimum": 0, "maximum": 255}, "minItems": 3,
                            "description": "[red, green, blue], 0-255; further elements are ignored."}},
                 ["id", "color"])


def part_defs():
    defs = {"idList": {"type": "array", "items": {"type": "string"}, "description": "Ids of items."},
            "boolType": BOOL_TYPE, "point2": POINT2, "point3": POINT3, "vector3": VECTOR3, "axis": AXIS,
            "matrix": MATRIX, "topoPoint": TOPO_POINT, "topoDescriptor": DESCRIPTOR, "holeLocation": HOLE_LOCATION,
            "bodyColor": BODY_COLOR}
    for name, g in GEOMETRIES.items():
        defs[name + "Geometry"] = g
    defs["geometry"] = {"anyOf": [ref(name + "Geometry") for name in GEOMETRIES]}
    defs.update(ITEMS)
    defs["item"] = {"anyOf": [ref(name) for name in ITEMS]}
    return defs


ITEM_LIST = {"type": "array", "items": ref("item"), "description": "The items: sketches and features, each after the items it names."}


def part_schema():
    return {
        "$schema": DIALECT,
        "$id": "https://tolvane.invalid/part-json.schema.json",
        "title": "Part JSON",
        "description": "One Part: a flat list of sketches and features. The item list is \"flatNode\" (or \"sequences\"; a bare array of items is read too). Lengths in mm, sketch angles in radians, feature angles in degrees.",
        "type": "object",
        "properties": {
            "mode": {"type": "string", "enum": ["part"], "description": "Forces the part mode."},
            "flatNode": ITEM_LIST,
            "sequences": dict(ITEM_LIST, description="Read when there is no \"flatNode\" array."),
            "bodyColors": {"type": "array", "items": ref("bodyColor")},
        },
        "additionalProperties": False,
        "$defs": part_defs(),
    }


def product_schema():
    entry = obj({
        "id": string("Unique id of the entry; the instance name when \"name\" is absent.", minLength=1),
        "name": string("Instance name."),
        "refId": string("Id of another entry whose part this instance shows (then no item list)."),
        "matrix": {"type": "array", "items": {"type": "number"}, "minItems": 16, "maxItems": 16,
                   "description": "4 x 4 placement stored row by row: rotation in the first three columns, translation (mm) in elements 3, 7 and 11."},
        "flatNode": ITEM_LIST,
        "sequences": dict(ITEM_LIST, description="Read when there is no \"flatNode\" array."),
        "bodyColors": {"type": "array", "items": ref("bodyColor")}},
        ["id"], "One instance: a part of its own (flatNode or sequences) or another entry's (refId).")
    defs = part_defs()
    defs["partEntry"] = entry
    return {
        "$schema": DIALECT,
        "$id": "https://tolvane.invalid/product-json.schema.json",
        "title": "Product JSON",
        "description": "An assembly: each entry of partList is drawn as a Part of its own (or shows another entry's part) and placed as a named instance.",
        "type": "object",
        "properties": {
            "mode": {"type": "string", "enum": ["product"]},
            "name": string("Name of the root product; Product1 when absent."),
            "partList": {"type": "array", "items": ref("partEntry"), "minItems": 1, "maxItems": 10000},
        },
        "required": ["partList"],
        "additionalProperties": False,
        "$defs": defs,
    }


def main():
    check = "--check" in sys.argv
    stale = []
    for name, schema in (("part-json.schema.json", part_schema()), ("product-json.schema.json", product_schema())):
        text = json.dumps(schema, indent=2) + "\n"
        path = os.path.join(DOCS, name)
        if check:
            with open(path) as f:
                if f.read() != text:
                    stale.append(name)
        else:
            with open(path, "w") as f:
                f.write(text)
    if stale:
        print("out of date (run scripts/json_schemas.py):", ", ".join(stale))
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
