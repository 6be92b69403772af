// Turns a part JSON document into features of a Part, item by item in dependency
// order, and reports the outcome.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include <rapidjson/document.h>

#include "entry/import_result.h"
#include "entry/item_report.h"
#include "host/document.h"
#include "partjson/writer.h"

namespace kestrun {

// Creates a sketch writer (true) or a feature writer (false).
using WriterFactory = std::function<std::unique_ptr<Writer>(bool sketch, WriterRegistry*)>;

class PartImportPipeline {
 public:
  explicit PartImportPipeline(WriterFactory factory);

  void setDrawDelay(std::uint32_t ms) { drawDelayMs_ = ms; }
  // Returns 0, or 2 with the failure recorded.
  std::int32_t attach(host::Document* document, ImportResult& result);
  // Returns the final status (0, 1 or 2).
  std::int32_t import(const rapidjson::Value& root, ImportResult& result);

  const WriterRegistry& writers() const { return registry_; }
  // Ids in the order their writers ran, for diagnostics and tests.
  const std::vector<std::string>& buildOrder() const { return buildOrder_; }

 private:
  enum class State { Unvisited, InProgress, Built, Failed };
  struct Entry {
    const rapidjson::Value* json = nullptr;
    Writer* writer = nullptr;
    State state = State::Unvisited;
    std::string parentId;  // geometry entries only
    bool isDetail = true;
    std::string blockedBy;  // the first reference that was not built
  };
  struct Frame;

  void registerItems(const rapidjson::Value& items, ImportResult& result);
  void skip(const rapidjson::Value& element, const char* warning, ImportResult& result);
  std::string notBuiltReason(const std::string& id) const;
  void registerGeometries(const std::string& sketchId, const rapidjson::Value& item);
  bool resolve(const std::string& id, ImportResult& result);
  bool enter(const std::string& id, std::vector<Frame>& stack, bool& answer, ImportResult& result);
  bool finishFrame(Frame& frame, ImportResult& result);
  Writer* createWriter(Entry& entry, ImportResult& result);
  bool writeItem(Entry& entry, const std::string& id, ImportResult& result);
  void applyBodyColors(const rapidjson::Value& root);
  bool runClosingPasses(ImportResult& result);
  host::SpecObjectPtr builtFeature(const std::string& id) const;
  void runPendingPass();
  void failPendingIn(const host::SpecObjectPtr& body);
  bool runMirrorPass(ImportResult& result);
  bool runPatternPass(ImportResult& result);
  std::int32_t finish(ImportResult& result);

  WriterFactory factory_;
  SharedWriterState shared_;
  host::Document* document_ = nullptr;
  std::uint32_t drawDelayMs_ = 0;
  bool cancelled_ = false;
  std::unordered_map<std::string, Entry> items_;
  std::string firstFeatureId_, lastFeatureId_;
  WriterRegistry registry_;
  // Writers whose id was already taken in the registry; kept alive for the call.
  std::vector<std::unique_ptr<Writer>> unregistered_;
  std::set<std::string> failed_, warned_;
  host::SpecObjectPtr toolToRestore_;
  std::vector<std::string> buildOrder_;
  ItemReporter report_;
};

}  // namespace kestrun
