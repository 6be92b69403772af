// `kestrun validate`: a part or product document checked against its schema and the
// rules the schema cannot say, without building anything.
#pragma once

#include <string_view>

#include "apps/kestrun/validate/problem.h"

namespace kestrun_validate {

// Never throws; a text that is not JSON gives one problem with its line and column.
Validation validateText(std::string_view text);

}  // namespace kestrun_validate
