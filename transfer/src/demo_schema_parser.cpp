#include <charconv>
#include <cmath>
#include <optional>

#include "vantrel/demo_schema.h"
#include "vantrel/json_field_readers.h"

namespace vantrel {
namespace {

// The value position of the first key occurrence followed by ':'.
size_t ValueAt(std::string_view text, std::string_view key) {
  return FindJsonKeyValue(text, key, 0);
}

std::optional<std::string> StringValue(std::string_view text, std::string_view key) {
  size_t pos = ValueAt(text, key);
  if (pos == std::string_view::npos) return std::nullopt;
  return ReadJsonStringLiteral(text, pos);
}

// A finite number in the C locale; whatever the process locale, "1.5" is one and a half.
std::optional<double> NumberValue(std::string_view text, std::string_view key) {
  size_t pos = ValueAt(text, key);
  if (pos == std::string_view::npos) return std::nullopt;
  double value = 0;
  auto [end, error] = std::from_chars(text.data() + pos, text.data() + text.size(), value);
  if (error != std::errc() || end == text.data() + pos || !std::isfinite(value)) {
    return std::nullopt;
  }
  return value;
}

// The balanced text from the opener at `pos` to its closer, skipping string literals.
std::optional<std::string_view> BalancedAt(std::string_view text, size_t pos, char opener) {
  if (pos >= text.size() || text[pos] != opener) return std::nullopt;
  size_t depth = 0;
  bool inString = false;
  for (size_t i = pos; i < text.size(); ++i) {
    char c = text[i];
    if (inString) {
      if (c == '\\') {
        ++i;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '{' || c == '[') {
      ++depth;
    } else if ((c == '}' || c == ']') && --depth == 0) {
      return text.substr(pos, i - pos + 1);
    }
  }
  return std::nullopt;
}

std::optional<std::string_view> BalancedValue(std::string_view text, std::string_view key,
                                              char opener) {
  size_t pos = ValueAt(text, key);
  if (pos == std::string_view::npos) return std::nullopt;
  return BalancedAt(text, pos, opener);
}

// The element objects of an array text, or nothing when it is not an array of objects.
std::optional<std::vector<std::string_view>> ArrayOfObjects(std::string_view array) {
  std::vector<std::string_view> elements;
  size_t pos = SkipJsonWhitespace(array, 1);
  if (pos < array.size() && array[pos] == ']') return elements;
  while (pos < array.size()) {
    std::optional<std::string_view> element = BalancedAt(array, pos, '{');
    if (!element) return std::nullopt;
    elements.push_back(*element);
    pos = SkipJsonWhitespace(array, pos + element->size());
    if (pos < array.size() && array[pos] == ']' && pos + 1 == array.size()) return elements;
    if (pos >= array.size() || array[pos] != ',') return std::nullopt;
    pos = SkipJsonWhitespace(array, pos + 1);
  }
  return std::nullopt;
}

// Reads "x", "y" and "z" of the object under `key`; the error names what is missing.
std::string ReadTriple(std::string_view element, std::string_view key, double out[3],
                       const std::string& missingObjectMessage) {
  std::optional<std::string_view> object = BalancedValue(element, key, '{');
  if (!object) return missingObjectMessage;
  std::optional<double> x = NumberValue(*object, "x");
  std::optional<double> y = NumberValue(*object, "y");
  std::optional<double> z = NumberValue(*object, "z");
  if (!x || !y || !z) return std::string(key) + " requires x, y and z numbers";
  out[0] = *x;
  out[1] = *y;
  out[2] = *z;
  return "";
}

std::string ReadPrimitive(std::string_view element, DemoPrimitive& primitive) {
  std::optional<std::string> id = StringValue(element, "id");
  std::optional<std::string> type = StringValue(element, "type");
  if (!id || !type) return "demo primitive requires id and type";
  primitive.id = std::move(*id);
  primitive.type = std::move(*type);
  std::string error =
      ReadTriple(element, "origin", primitive.origin, "demo primitive requires origin");
  if (!error.empty()) return error;
  if (primitive.type == "box") {
    return ReadTriple(element, "size", primitive.size, "box primitive requires size");
  }
  if (primitive.type == "cylinder") {
    std::optional<double> radius = NumberValue(element, "radius");
    std::optional<double> height = NumberValue(element, "height");
    if (!radius || !height) return "cylinder primitive requires radius and height";
    primitive.radius = *radius;
    primitive.height = *height;
  }
  return "";
}

DemoSchemaParseResult Failure(std::string message) {
  DemoSchemaParseResult result;
  result.error = std::move(message);
  return result;
}

}  // namespace

DemoSchemaParseResult ParseDemoSchema(std::string_view text) {
  DemoSchemaParseResult result;
  std::optional<std::string> version = StringValue(text, "schemaVersion");
  std::optional<std::string> units = StringValue(text, "units");
  if (!version || !units) return Failure("demo schema requires schemaVersion and units");
  std::optional<std::string_view> array = BalancedValue(text, "primitives", '[');
  if (!array) return Failure("demo schema requires primitives array");
  std::optional<std::vector<std::string_view>> elements = ArrayOfObjects(*array);
  if (!elements) return Failure("demo schema primitives array is invalid");
  result.schema.schemaVersion = std::move(*version);
  result.schema.units = std::move(*units);
  for (std::string_view element : *elements) {
    DemoPrimitive primitive;
    std::string error = ReadPrimitive(element, primitive);
    if (!error.empty()) return Failure(std::move(error));
    result.schema.primitives.push_back(std::move(primitive));
  }
  result.ok = true;
  return result;
}

}  // namespace vantrel
