#include "item_sheets.h"

#include <cstdio>
#include <fstream>
#include <map>

#include "cli/outputs.h"
#include "cli/result_json.h"
#include "host/part.h"
#include "host/spec_object.h"
#include "occt_host/exchange/drawing_export.h"
#include "occt_host/kernel/inspect.h"
#include "platform/directories.h"

namespace kestrun_app {
namespace {

// The Part's objects by the names a report gives them: the alias when set, else the name.
std::map<std::string, host::SpecObjectPtr> objectsByName(
    const std::shared_ptr<host::Document>& document) {
  std::map<std::string, host::SpecObjectPtr> out;
  auto roots = host::query<host::DocumentRoots>(document);
  auto container =
      roots ? host::query<host::PartContainer>(roots->rootContainer(host::kPartContainerType))
            : nullptr;
  auto tree = container ? host::query<host::Descendants>(container->part()) : nullptr;
  if (!tree) return out;
  for (const host::SpecObjectPtr& object : tree->allDescendants()) {
    if (!object) continue;
    auto alias = host::query<host::Alias>(object);
    const std::string given = alias ? alias->alias() : std::string();
    out[given.empty() ? object->name() : given] = object;
  }
  return out;
}

// The solid right after the last of the item's objects that has one; null when none has.
TopoDS_Shape solidAfter(const ReportItem& item,
                        const std::map<std::string, host::SpecObjectPtr>& objects) {
  for (auto name = item.objects.rbegin(); name != item.objects.rend(); ++name) {
    auto found = objects.find(*name);
    if (found == objects.end()) continue;
    TopoDS_Shape solid = occt_host::solidOf(found->second);
    if (!solid.IsNull()) return solid;
  }
  return {};
}

bool writeSheet(const TopoDS_Shape& solid, const std::string& path) {
  try {
    const std::string sheet = occt_host::svgSheet(occt_host::projectViews(solid));
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << sheet;
    out.close();
    return static_cast<bool>(out);
  } catch (...) {
    return false;  // a solid the kernel cannot project has no sheet
  }
}

}  // namespace

std::string itemSheetName(std::size_t place, const std::string& id) {
  char number[16];
  std::snprintf(number, sizeof number, "%03zu_", place);
  std::string name = number;
  for (char c : id) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '-' || c == '_' || c == '.';
    name += plain ? c : '_';
  }
  return name + ".svg";
}

std::string writeItemSheets(const std::shared_ptr<host::Document>& document,
                            const std::vector<ReportItem>& items, const std::string& dir,
                            std::vector<std::string>& failures) {
  std::string members = ",\"svgItems\":\"" + escapeJson(dir.c_str()) + "\"";
  if (!platform::CreateDirectoryTree(dir)) {
    const std::string line = "cannot make the folder " + dir + " for the item sheets";
    failures.push_back(line);
    return members + ",\"svgItemsWritten\":0,\"svgItemsError\":\"" + escapeJson(line.c_str()) +
           "\"";
  }
  const auto objects = objectsByName(document);
  std::size_t written = 0;
  for (std::size_t i = 0; i < items.size(); ++i) {
    const TopoDS_Shape solid = solidAfter(items[i], objects);
    if (!solid.IsNull() && writeSheet(solid, dir + "/" + itemSheetName(i + 1, items[i].id)))
      ++written;
  }
  return members + ",\"svgItemsWritten\":" + std::to_string(written);
}

}  // namespace kestrun_app
