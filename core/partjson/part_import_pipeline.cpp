#include "partjson/part_import_pipeline.h"

#include "entry/part_access.h"
#include "entry/viewer_pause.h"
#include "features/writer/update_service.h"
#include "features/writer/writer_services.h"
#include "host/pattern.h"
#include "host/topology.h"
#include "log/core_log.h"
#include "partjson/build_order.h"
#include "partjson/part_document.h"

namespace kestrun {

namespace {
constexpr const char* kCyclicWarning = "Cyclic detail reference skipped.";
}

// One item or geometry whose references are being resolved; the explicit stack of
// these replaces recursion, so a long chain of references cannot exhaust the stack.
struct PartImportPipeline::Frame {
  Entry* entry = nullptr;
  std::string id;
  std::vector<std::string> refs;
  std::size_t next = 0;
  bool anyNotBuilt = false;
  std::string blockedBy;
  bool geometry = false;
};

PartImportPipeline::PartImportPipeline(WriterFactory factory) : factory_(std::move(factory)) {}

std::int32_t PartImportPipeline::attach(host::Document* document, ImportResult& result) {
  document_ = document;
  if (!document) return result.fail(kCodeInput, "drawingDocument is required.");
  PartAccess access = reachPart(*document, result);
  if (!access) return kStatusFailed;
  shared_.container = access.container;
  shared_.partObject = access.partObject;
  shared_.part = access.part;
  shared_.booleanFactory = access.container->query<host::BooleanFactory>();
  shared_.wireframeFactory = access.container->query<host::WireframeFactory>();
  shared_.brepFactory = access.container->query<host::BRepFactory>();
  shared_.buildOrder = std::make_shared<BuildOrder>();
  // Both reference-object placement modes put auxiliary objects in one set per import.
  shared_.referenceSet = createReferenceSet(shared_);
  return kStatusSuccess;
}

void PartImportPipeline::registerItems(const rapidjson::Value& items, ImportResult& result) {
  items_.clear();
  firstFeatureId_.clear();
  lastFeatureId_.clear();
  for (const auto& element : items.GetArray()) {
    const rapidjson::Value* type = stringMember(element, "type");
    if (!type) {
      skip(element, "Skipped sequence item without string type.", result);
      continue;
    }
    const rapidjson::Value* idValue = stringMember(element, "id");
    if (!idValue) {
      skip(element, "Skipped sequence item without string id.", result);
      continue;
    }
    std::string id(stringView(*idValue));
    if (id.empty()) {
      skip(element, "Skipped sequence item with empty id.", result);
      continue;
    }
    auto existing = items_.find(id);
    if (existing != items_.end() && existing->second.isDetail) {
      skip(element, "Skipped duplicate sequence item id.", result);
      continue;
    }
    items_[id] = Entry{&element, nullptr, State::Unvisited, std::string(), true, std::string()};
    if (isSketchType(stringView(*type))) {
      registerGeometries(id, element);
    } else {
      if (firstFeatureId_.empty()) firstFeatureId_ = id;
      lastFeatureId_ = id;
    }
  }
}

void PartImportPipeline::skip(const rapidjson::Value& element, const char* warning,
                              ImportResult& result) {
  result.addWarning(warning);
  report_.skipped(element, warning);
}

// Why a registered item was never written, for the report.
std::string PartImportPipeline::notBuiltReason(const std::string& id) const {
  auto it = items_.find(id);
  if (it == items_.end() || it->second.blockedBy.empty())
    return cancelled_ ? "the import was cancelled before this item" : "not built";
  const std::string& blocker = it->second.blockedBy;
  return "depends on " + blocker +
         (failed_.count(blocker) ? ", which failed" : ", which was not built");
}

void PartImportPipeline::registerGeometries(const std::string& sketchId,
                                            const rapidjson::Value& item) {
  for (std::string& geometryId : geometryIds(item)) {
    if (items_.count(geometryId)) continue;
    items_[geometryId] = Entry{nullptr, nullptr, State::Unvisited, sketchId, false, std::string()};
  }
}

bool PartImportPipeline::resolve(const std::string& rootId, ImportResult& result) {
  std::vector<Frame> stack;
  bool answer = false;
  if (!enter(rootId, stack, answer, result)) return answer;
  bool childAnswered = false;
  while (!stack.empty()) {
    Frame& frame = stack.back();
    if (childAnswered) {
      childAnswered = false;
      if (cancelled_) {
        frame.entry->state = State::Failed;
        answer = false;
        stack.pop_back();
        childAnswered = true;
        continue;
      }
      if (!answer) {
        frame.anyNotBuilt = true;
        if (frame.blockedBy.empty() && frame.next > 0) frame.blockedBy = frame.refs[frame.next - 1];
      }
    }
    if (frame.next < frame.refs.size()) {
      const std::string ref = frame.refs[frame.next++];
      if (!frame.geometry && !items_.count(ref)) continue;
      if (!enter(ref, stack, answer, result)) childAnswered = true;
      continue;
    }
    answer = finishFrame(frame, result);
    stack.pop_back();
    childAnswered = true;
  }
  return answer;
}

// Answers at once (returns false) or pushes a frame whose references come next.
bool PartImportPipeline::enter(const std::string& id, std::vector<Frame>& stack, bool& answer,
                               ImportResult& result) {
  answer = false;
  if (cancelled_) return false;
  auto it = items_.find(id);
  if (it == items_.end()) return false;
  Entry& entry = it->second;
  switch (entry.state) {
    case State::Built:
      answer = true;
      return false;
    case State::Failed:
      return false;
    case State::InProgress:
      result.addWarning(kCyclicWarning);
      if (!stack.empty()) report_.noteWarning(stack.back().id, kCyclicWarning);
      answer = true;
      return false;
    case State::Unvisited:
      break;
  }
  Frame frame;
  frame.entry = &entry;
  frame.id = id;
  if (!entry.isDetail) {
    frame.geometry = true;
    if (!entry.parentId.empty() && entry.parentId != id) frame.refs.push_back(entry.parentId);
  } else {
    if (!entry.json->IsObject() || !createWriter(entry, result)) {
      entry.state = State::Failed;
      return false;
    }
    frame.refs = collectReferences(*entry.json);
  }
  entry.state = State::InProgress;
  stack.push_back(std::move(frame));
  return true;
}

bool PartImportPipeline::finishFrame(Frame& frame, ImportResult& result) {
  if (frame.geometry) {
    frame.entry->state = frame.anyNotBuilt ? State::Failed : State::Built;
    return !frame.anyNotBuilt;
  }
  if (frame.anyNotBuilt) {
    frame.entry->state = State::Failed;
    frame.entry->blockedBy = frame.blockedBy;
    return false;
  }
  return writeItem(*frame.entry, frame.id, result);
}

Writer* PartImportPipeline::createWriter(Entry& entry, ImportResult& result) {
  if (entry.writer) return entry.writer;
  const rapidjson::Value& item = *entry.json;
  const rapidjson::Value* type = stringMember(item, "type");
  if (!type) {
    result.addWarning("Skipped detail without string type.");
    return nullptr;
  }
  const rapidjson::Value* idValue = stringMember(item, "id");
  if (!idValue || idValue->GetStringLength() == 0) {
    result.addWarning("Skipped detail with empty id.");
    return nullptr;
  }
  const bool sketch = isSketchType(stringView(*type));
  std::unique_ptr<Writer> writer = factory_(sketch, &registry_);
  if (!writer) return nullptr;
  writer->setItem(&item);
  writer->setSharedState(shared_);
  writer->initFromJson(item);
  const std::string id(stringView(*idValue));
  if (writer->name().empty()) writer->setName(id);
  if (sketch) writer->setNeedPlaneForSketch(needPlaneForSketch(item));
  entry.writer = writer.get();
  auto inserted = registry_.emplace(id, nullptr);
  if (inserted.second) {
    inserted.first->second = std::move(writer);
  } else {
    unregistered_.push_back(std::move(writer));
  }
  return entry.writer;
}

bool PartImportPipeline::writeItem(Entry& entry, const std::string& id, ImportResult& result) {
  Writer& writer = *entry.writer;
  const rapidjson::Value& item = *entry.json;
  report_.start(writer);
  if (writer.isSketchWriter()) {
    if (!writer.hasSketch()) writer.parseJson(item);
  } else {
    if (id == firstFeatureId_ && !stringMember(item, "boolType")) writer.setBoolType("add");
    writer.setLastFeature(id == lastFeatureId_);
    writer.parseJson(item);
  }
  buildOrder_.push_back(id);
  report_.finish(writer, host::failed(writer.status()));
  if (host::failed(writer.status())) {
    failed_.insert(id);
    entry.state = State::Failed;
    return false;
  }
  if (!writer.warningText().empty()) warned_.insert(id);
  entry.state = State::Built;
  switch (refreshAndPause(document_, drawDelayMs_)) {
    case PauseOutcome::Continue:
      return true;
    case PauseOutcome::RefreshFailed:
      cancelled_ = true;
      result.fail(kCodeUpdate, "CATIA viewer refresh failed; Part import cancelled.");
      return false;
    case PauseOutcome::HostExiting:
      cancelled_ = true;
      result.fail(kCodeUpdate, "CATIA host is exiting; Part import cancelled.");
      return false;
  }
  return true;
}

void PartImportPipeline::applyBodyColors(const rapidjson::Value& root) {
  for (const BodyColor& color : readBodyColors(root)) {
    auto it = registry_.find(color.id);
    if (it == registry_.end() || !it->second || it->second->isSketchWriter()) continue;
    host::SpecObjectPtr feature = it->second->feature();
    if (!feature) continue;
    auto vis = feature->query<host::VisProperties>();
    if (!vis) {
      logOut("warning: QueryInterface for CATIVisProperties failed, cannot set color");
      continue;
    }
    vis->setColor(color.color);
  }
}

bool PartImportPipeline::runMirrorPass(ImportResult& result) {
  for (auto& [id, writer] : registry_) {
    if (!writer || writer->isSketchWriter() || writer->type() != "mirrorFeature") continue;
    host::SpecObjectPtr feature = writer->feature();
    if (!feature) continue;
    if (!updateFeature(feature, /*insertIntoLinearBody=*/true).ok()) {
      failed_.insert(id);
      report_.failLater(id, "Mirror feature local update failed.");
      result.fail(kCodeUpdate, "Mirror feature local update failed.");
      return false;
    }
  }
  return true;
}

bool PartImportPipeline::runPatternPass(ImportResult& result) {
  host::SpecObjectPtr lastPattern;
  for (auto& [id, writer] : registry_) {
    if (!writer || writer->isSketchWriter()) continue;
    if (writer->type() != "linearArray" && writer->type() != "polarArray") continue;
    host::SpecObjectPtr feature = writer->feature();
    if (!feature ||
        (!feature->query<host::RectPattern>() && !feature->query<host::CircPattern>())) {
      continue;
    }
    if (!writer->body()) {
      failed_.insert(id);
      report_.failLater(id, "Array feature has no native spec or owning Body.");
      result.fail(kCodeUpdate, "Array feature has no native spec or owning Body.");
      return false;
    }
    shared_.part->setCurrentFeature(feature);
    if (!updateFeature(feature, /*insertIntoLinearBody=*/false).ok()) {
      failed_.insert(id);
      report_.failLater(id, "Array feature local update failed.");
      result.fail(kCodeUpdate, "Array feature local update failed.");
      return false;
    }
    if (id == lastFeatureId_) lastPattern = feature;
  }
  if (lastPattern) {
    shared_.part->setCurrentFeature(lastPattern);
  } else if (toolToRestore_) {
    shared_.part->setCurrentFeature(toolToRestore_);
  }
  return true;
}

// The feature item `id` made; null for a sketch or an item that made none.
host::SpecObjectPtr PartImportPipeline::builtFeature(const std::string& id) const {
  auto it = registry_.find(id);
  if (it == registry_.end() || !it->second || it->second->isSketchWriter()) return nullptr;
  return it->second->feature();
}

// A host may keep consecutive cuts or unions in a body as one boolean, computed when the
// body's solid is needed, so that each update only made its tool: the update of each body
// computes what is pending, and an item whose feature failed then fails as it would have
// at its own update.
void PartImportPipeline::runPendingPass() {
  std::vector<host::SpecObjectPtr> bodies;
  for (const std::string& id : buildOrder_) {
    host::SpecObjectPtr feature = builtFeature(id);
    host::SpecObjectPtr body = feature ? feature->father() : nullptr;
    if (!body || body->typeName() != "Body") continue;
    bool known = false;
    for (const auto& seen : bodies) known = known || host::sameObject(seen, body);
    if (!known) bodies.push_back(body);
  }
  for (const auto& body : bodies) {
    if (!updateFeature(body).ok()) failPendingIn(body);
  }
}

void PartImportPipeline::failPendingIn(const host::SpecObjectPtr& body) {
  for (const std::string& id : buildOrder_) {
    host::SpecObjectPtr feature = failed_.count(id) ? nullptr : builtFeature(id);
    if (!feature || !host::sameObject(feature->father(), body)) continue;
    const host::UpdateResult updated = updateFeature(feature);
    if (updated.ok()) continue;
    failed_.insert(id);
    report_.failLater(id, "(Update) ERROR : " + updated.diagnostic);
  }
}

bool PartImportPipeline::runClosingPasses(ImportResult& result) {
  runPendingPass();
  return runMirrorPass(result) && runPatternPass(result);
}

std::int32_t PartImportPipeline::finish(ImportResult& result) {
  if (!failed_.empty()) return result.fail(kCodeUpdate, "One or more features failed to update.");
  if (!warned_.empty()) result.addWarning("One or more features produced warnings.");
  result.setCreatedCount(static_cast<std::uint32_t>(registry_.size()));
  result.setSuccess("Part JSON imported.");
  return result.status();
}

std::int32_t PartImportPipeline::import(const rapidjson::Value& root, ImportResult& result) {
  const rapidjson::Value* items = findItemList(root);
  if (!items) {
    return result.fail(kCodeInput,
                       "part JSON requires a flatNode, sequences, or bare detail array.");
  }
  if (!shared_.part) return result.fail(kCodeDocument, "CATIPrtPart not found.");
  toolToRestore_ = shared_.part->currentTool();
  report_.begin(items->Size(), shared_.partObject);
  registerItems(*items, result);
  auto notBuilt = [this](const std::string& id) { return notBuiltReason(id); };
  for (const auto& element : items->GetArray()) {
    const rapidjson::Value* id = stringMember(element, "id");
    if (!id) {
      result.addWarning("Skipped sequence item without string id.");
      continue;
    }
    resolve(std::string(stringView(*id)), result);
    if (cancelled_) {
      report_.finishList(*items, notBuilt);
      return kStatusFailed;
    }
  }
  report_.finishList(*items, notBuilt);
  applyBodyColors(root);
  const bool closed = runClosingPasses(result);
  report_.listDescriptors();
  if (!closed) return kStatusFailed;
  return finish(result);
}

}  // namespace kestrun
