#include "replay/session_replay.h"

#include <cstring>
#include <memory>
#include <optional>

#include "occt_host/exchange/step_export.h"
#include "occt_host/session/session.h"
#include "platform/directories.h"
#include "vantrel/active_part_adapter.h"
#include "vantrel/demo_schema_handler.h"
#include "vantrel/json_field_readers.h"
#include "vantrel/packet_replay.h"
#include "vantrel/step_insertion.h"
#include "vantrel/transfer_data_processor.h"
#include "vantrel/transfer_protocol.h"

namespace vantrel {
namespace {

std::string Quoted(const std::string& text) {
  return "\"" + EscapeJsonString(text) + "\"";
}

std::string DescribeDraw(const std::optional<TransferDataProcessor::DrawRecord>& draw) {
  if (!draw) return "null";
  const MardelImportResult& r = draw->result;
  return "{\"status\":" + std::to_string(draw->status) +
         ",\"resultStatus\":" + std::to_string(r.status) +
         ",\"errorCode\":" + std::to_string(r.errorCode) +
         ",\"createdCount\":" + std::to_string(r.createdCount) +
         ",\"message\":" + Quoted(std::string(r.message, strnlen(r.message, sizeof(r.message)))) +
         ",\"warning\":" + Quoted(std::string(r.warning, strnlen(r.warning, sizeof(r.warning)))) +
         "}";
}

// The document's line; its STEP file is written only when it has a solid to hold.
std::string ExportDocument(const std::shared_ptr<host::Document>& document,
                           const TransferDataProcessor& processor, const std::string& exportDir) {
  const std::string path = exportDir + platform::kPathSeparator + document->name() + ".step";
  std::string error;
  const bool written = occt_host::exportStep(document, path, &error);
  return "{\"document\":" + Quoted(document->name()) + ",\"kind\":" + Quoted(document->kind()) +
         ",\"step\":" + (written ? Quoted(path) : "null") +
         (written ? "" : ",\"stepError\":" + Quoted(error)) +
         ",\"lastDraw\":" + DescribeDraw(processor.LastDraw(document)) + "}";
}

bool IsBlank(const std::string& line) {
  return SkipJsonWhitespace(line, 0) == line.size();
}

}  // namespace

size_t ReplaySession(std::istream& in, std::ostream& out, const std::string& exportDir) {
  occt_host::Session session;
  // STEP transfers reach the session as they reach the application: by automation.
  session.registerForAutomation();
  TransferDataProcessor processor;
  StepInsertion stepInsertion;
  TransferTable table;
  TransferServices services{&processor, &stepInsertion};
  UnwiredActivePartAdapter adapter;
  size_t failures = 0;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (IsBlank(line)) continue;
    TransferOutcome outcome = HandleTransferPacket(table, line, services);
    if (outcome.kind == TransferOutcomeKind::Failed) ++failures;
    out << DescribeOutcome(outcome, DemoSchemaHook(&adapter, outcome)) << '\n';
  }
  platform::CreateDirectoryTree(exportDir);
  for (const auto& document : session.documents())
    out << ExportDocument(document, processor, exportDir) << '\n';
  out.flush();
  return failures;
}

}  // namespace vantrel
