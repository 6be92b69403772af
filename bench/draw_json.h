// Part JSON drawn end to end through the import entry into a fresh Part document, and the
// Part's solid after it: the benchmarks that time a whole draw share this.
#pragma once

#include <TopoDS_Shape.hxx>

#include <cstdint>
#include <memory>
#include <string>

#include "host/document.h"
#include "host/part.h"
#include "kestrun/kestrun.h"
#include "occt_host/kernel/inspect.h"
#include "occt_host/session/session.h"

namespace bench {

// `json` drawn into a new Part document of `session`; `status` and `result` are the entry's.
inline std::shared_ptr<host::Document> drawnPart(occt_host::Session& session,
                                                 const std::string& json, int32_t& status,
                                                 MardelImportResult& result) {
  auto document = session.newDocument("Part");
  result = MardelImportResult{};
  status =
      MardelImport_DrawJson(document.get(), reinterpret_cast<const unsigned char*>(json.data()),
                            json.size(), nullptr, &result);
  return document;
}

// The solid of the main body of the Part in `document`.
inline TopoDS_Shape mainSolid(const std::shared_ptr<host::Document>& document) {
  auto container =
      host::query<host::DocumentRoots>(document)->rootContainer(host::kPartContainerType);
  auto part = host::query<host::Part>(host::query<host::PartContainer>(container)->part());
  return occt_host::solidOf(part->mainBody());
}

}  // namespace bench
