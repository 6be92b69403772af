// Checks a document against one of the published schemas, keyword by keyword, to say
// precisely what is wrong where: the item whose "type" picks its definition, the key
// that is misspelt and its nearest spelling, the number written as a string. Knows the
// keywords the schemas use (type, properties, required, additionalProperties, enum,
// const, items, minItems, maxItems, minimum, maximum, exclusiveMinimum, minLength, anyOf
// and $ref within the schema); the validator library gives the verdict beside it.
#pragma once

#include <string>
#include <vector>

#include <rapidjson/document.h>

#include "cli/validate/problem.h"

namespace kestrun_validate {

class SchemaWalk {
 public:
  explicit SchemaWalk(const rapidjson::Value& root) : root_(root) {}

  // Adds a problem to `out` for each way `value` breaks `schema` (a part of the root).
  void check(const rapidjson::Value& schema, const rapidjson::Value& value,
             const std::string& pointer, const std::string& item, std::vector<Problem>& out) const;
  void checkRoot(const rapidjson::Value& value, std::vector<Problem>& out) const {
    check(root_, value, "", "", out);
  }
  // The definition `name` under "$defs", or null.
  const rapidjson::Value* definition(const char* name) const;
  // Every key an object of the definition may have.
  std::vector<std::string> keysOf(const char* name) const;

 private:
  const rapidjson::Value& resolve(const rapidjson::Value& schema) const;
  // What the property `key` of `properties` asks for, in words.
  std::string keyAskedFor(const rapidjson::Value& properties, const std::string& key) const;
  bool checkKind(const rapidjson::Value& s, const rapidjson::Value& value, const Problem& at,
                 std::vector<Problem>& out) const;
  void checkValue(const rapidjson::Value& s, const rapidjson::Value& value, const Problem& at,
                  std::vector<Problem>& out) const;
  void checkObject(const rapidjson::Value& s, const rapidjson::Value& value, const Problem& at,
                   std::vector<Problem>& out) const;
  void checkArray(const rapidjson::Value& s, const rapidjson::Value& value, const Problem& at,
                  std::vector<Problem>& out) const;
  void checkAnyOf(const rapidjson::Value& branches, const rapidjson::Value& value,
                  const Problem& at, std::vector<Problem>& out) const;
  bool checkByType(const rapidjson::Value& branches, const rapidjson::Value& value,
                   const Problem& at, std::vector<Problem>& out) const;

  const rapidjson::Value& root_;
};

// How a value reads in a message: a string "8", the number 8, an object, ...
std::string describe(const rapidjson::Value& value);

}  // namespace kestrun_validate
