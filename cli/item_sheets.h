// One drawing sheet per item (`kestrun draw --svg-items DIR`): the body an item made or
// changed, as it stood right after that item, so that a reader sees where a build went wrong.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/report_writer.h"
#include "host/document.h"

namespace kestrun_app {

// The sheet's file name: the item's place in build order (1-based, three digits) and its id
// with anything but letters, digits, '-', '_' and '.' made '_': "002_base.svg".
std::string itemSheetName(std::size_t place, const std::string& id);

// Writes a sheet for each of `items` whose last object with a solid is a feature of the
// document's Part, into `dir` (made when missing). Returns the result record's members
// (",\"svgItems\":...,\"svgItemsWritten\":N"); a folder that cannot be made adds its line
// to `failures`, and a sheet that cannot be drawn is left out.
std::string writeItemSheets(const std::shared_ptr<host::Document>& document,
                            const std::vector<ReportItem>& items, const std::string& dir,
                            std::vector<std::string>& failures);

}  // namespace kestrun_app
