// The verdict of the validator library (valijson) on a document against a schema, as
// problems; the schema walk says the same things more precisely, this is the check that
// nothing it knows slips through.
#pragma once

#include <vector>

#include <rapidjson/document.h>

#include "cli/validate/problem.h"

namespace kestrun_validate {

// False with a problem when the schema itself cannot be read (a build fault).
bool libraryCheck(const rapidjson::Value& schema, const rapidjson::Value& document,
                  std::vector<Problem>& out);

}  // namespace kestrun_validate
