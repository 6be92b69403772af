// Each item of the report told in the front end's terms: the problem that explains what
// became of it (where in the document, which key, what belongs there, the likely fix), with
// the host's object names replaced by the ids of the items that made them.
#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "cli/report_writer.h"
#include "cli/validate/problem.h"

namespace kestrun_app {

// Host object name -> id of the item that made it, from the items' names and objects.
std::map<std::string, std::string> itemsByObjectName(const std::vector<ReportItem>& items);

// `line` with each host object name of `names` (a whole word) replaced by its item's id,
// and the core's own phrases ("spSpecObj is null after parsing ...") said plainly.
std::string inItemTerms(const std::string& line, const std::map<std::string, std::string>& names);

// Gives each item that did not simply build, or that `problems` (what kestrun validate found
// in `document`) concern, its `problem`; a built item with a problem counts as warned, since
// the core built something other than what the document meant.
void explainItems(std::vector<ReportItem>& items,
                  const std::vector<kestrun_validate::Problem>& problems,
                  std::string_view document);

}  // namespace kestrun_app
