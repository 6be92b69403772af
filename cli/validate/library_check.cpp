#include "validate/library_check.h"

#include <exception>

#include <valijson/adapters/rapidjson_adapter.hpp>
#include <valijson/schema.hpp>
#include <valijson/schema_parser.hpp>
#include <valijson/validation_results.hpp>
#include <valijson/validator.hpp>

namespace kestrun_validate {

namespace {

// valijson's context ("<root>", "[flatNode]", "[1]") as a JSON pointer.
std::string pointerOf(const std::vector<std::string>& context) {
  std::string out;
  for (const std::string& part : context) {
    if (part.size() >= 2 && part.front() == '[' && part.back() == ']')
      out += "/" + pointerToken(part.substr(1, part.size() - 2));
  }
  return out;
}

}  // namespace

bool libraryCheck(const rapidjson::Value& schemaJson, const rapidjson::Value& document,
                  std::vector<Problem>& out) {
  try {
    // The schemas keep to keywords that draft 7 and 2020-12 read alike.
    valijson::Schema schema;
    valijson::SchemaParser parser(valijson::SchemaParser::kDraft7);
    valijson::adapters::RapidJsonAdapter schemaAdapter(schemaJson);
    parser.populateSchema(schemaAdapter, schema);
    valijson::Validator validator;
    valijson::ValidationResults results;
    valijson::adapters::RapidJsonAdapter target(document);
    if (validator.validate(schema, target, &results)) return true;
    valijson::ValidationResults::Error error;
    while (results.popError(error))
      out.push_back({pointerOf(error.context), "", error.description, ""});
    return true;
  } catch (const std::exception& e) {
    out.push_back({"", "", std::string("the schema cannot be read: ") + e.what(), ""});
    return false;
  }
}

}  // namespace kestrun_validate
