// `kestrun validate`: a part or product document checked against its schema and the
// rules the schema cannot say, without building anything.
#pragma once

#include <string_view>

#include "cli/validate/problem.h"

namespace kestrun_validate {

// Never throws; a text that is not JSON gives one problem with its line and column.
Validation validateText(std::string_view text);

// The two schema checks apart, for the tests that hold them to each other: the schema
// walk's problems and the validator library's, for a text that is JSON (empty otherwise).
std::vector<Problem> schemaWalkProblems(std::string_view text);
std::vector<Problem> libraryProblems(std::string_view text);

}  // namespace kestrun_validate
