#include "entry/item_report.h"

#include <algorithm>
#include <exception>

#include "entry/item_effect.h"
#include "features/topology/topo_listing.h"
#include "features/writer/feature_dispatch.h"
#include "features/writer/feature_ids.h"
#include "features/writer/feature_writer.h"
#include "host/creation_journal.h"
#include "host/solid_volume.h"
#include "log/core_log.h"
#include "partjson/json_members.h"
#include "partjson/writer.h"

namespace kestrun {

namespace {

bool startsWith(std::string_view line, std::string_view word) {
  return line.substr(0, word.size()) == word;
}

MardelText textOf(const std::string& text) {
  return MardelText{text.data(), text.size()};
}

std::vector<MardelText> textsOf(const std::vector<std::string>& texts) {
  std::vector<MardelText> out;
  out.reserve(texts.size());
  for (const std::string& text : texts) out.push_back(textOf(text));
  return out;
}

std::string stringOr(const rapidjson::Value& element, const char* key) {
  const rapidjson::Value* value = stringMember(element, key);
  return value ? std::string(stringView(*value)) : std::string();
}

// The name a user sees in the tree.
std::string displayName(const host::SpecObjectPtr& object) {
  if (auto alias = host::query<host::Alias>(object)) {
    std::string name = alias->alias();
    if (!name.empty()) return name;
  }
  return object->name();
}

// What the item made that has a place in the tree: its feature, else its sketch.
host::SpecObjectPtr madeObject(Writer& writer) {
  if (host::SpecObjectPtr feature = writer.feature()) return feature;
  if (host::SpecObjectPtr sketch = writer.sketchObject()) return sketch;
  return writer.body();
}

bool unsupportedType(Writer& writer) {
  return writer.asFeatureWriter() && !handlerFor(writer.type());
}

// A feature item names no boolean targets, and the core says so on every such item
// although a pad without "boolSolids" is the usual case: that first line is no error.
constexpr std::string_view kMissingIds = "error: invalid or missing ids";

bool namesNoTargets(const Writer& writer) {
  return !writer.isSketchWriter() && writer.item() && boolTargetIds(*writer.item()).empty();
}

}  // namespace

bool isReportedLine(std::string_view line) {
  // Trace lines that carry no level word: they say what the writer looked at, often
  // another item ("alias = e1"), and nothing that went wrong.
  static constexpr std::string_view kTraces[] = {
      "alias = ", "hole supportList size:", "hole dirs size:", "hole points size:", "holePoints["};
  for (std::string_view trace : kTraces) {
    if (startsWith(line, trace)) return false;
  }
  return !startsWith(line, "debug:") && !startsWith(line, "info:");
}

ReportSink& reportSink() {
  static ReportSink installed;
  return installed;
}

ItemReporter::~ItemReporter() {
  stopObserving();
}

void ItemReporter::begin(std::size_t total, const host::SpecObjectPtr& partObject) {
  sink_ = reportSink();
  if (!active()) return;
  total_ = static_cast<std::uint32_t>(total);
  part_ = partObject;
  auto journal = host::query<host::CreationJournal>(part_);
  journalMark_ = journal ? journal->mark() : 0;
  ItemRecord header;
  send(MARDEL_REPORT_BEGIN, header);
}

void ItemReporter::skipped(const rapidjson::Value& element, std::string_view warning) {
  if (active()) skipped_.emplace(&element, std::string(warning));
}

void ItemReporter::noteWarning(const std::string& id, std::string_view warning) {
  if (active()) notes_[id].emplace_back(warning);
}

void ItemReporter::start(const Writer& writer) {
  if (!active()) return;
  current_ = ItemRecord();
  current_.id = writer.id();
  current_.type = writer.type();
  current_.name = writer.name();
  send(MARDEL_REPORT_ITEM_START, current_);
  quietMissingIds_ = namesNoTargets(writer);
  setLineObserver(&ItemReporter::observeLine, this);
  observing_ = true;
  started_ = std::chrono::steady_clock::now();
}

void ItemReporter::observeLine(void* context, std::string_view line) {
  auto* self = static_cast<ItemReporter*>(context);
  if (self->quietMissingIds_ && line == kMissingIds) {
    self->quietMissingIds_ = false;
    return;
  }
  if (isReportedLine(line)) self->current_.messages.emplace_back(line);
}

void ItemReporter::stopObserving() {
  if (!observing_) return;
  setLineObserver(nullptr, nullptr);
  observing_ = false;
}

void ItemReporter::finish(Writer& writer, bool failed) {
  if (!active()) return;
  stopObserving();
  current_.seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  bool noted = false;
  auto notes = notes_.find(current_.id);
  if (notes != notes_.end()) {
    current_.messages.insert(current_.messages.begin(), notes->second.begin(), notes->second.end());
    notes_.erase(notes);
    noted = true;
  }
  // Warned as the import counts it: the writer left a warning, or the pipeline recorded
  // one for the item. Error lines of a built item are in its messages either way.
  if (failed) {
    current_.outcome = MARDEL_ITEM_FAILED;
  } else if (unsupportedType(writer)) {
    current_.outcome = MARDEL_ITEM_UNSUPPORTED;
    current_.reason = "unsupported feature type " + current_.type;
  } else if (!writer.warningText().empty() || noted) {
    current_.outcome = MARDEL_ITEM_WARNED;
  }
  try {
    placeIn(current_, writer);
    collectNewObjects(current_.objects);
    judgeEffect(current_, writer);
  } catch (const std::exception&) {
    // The record goes out without its place rather than not at all.
  }
  current_.index = sent_++;
  if (writer.item()) recorded_.insert(writer.item());
  send(MARDEL_REPORT_ITEM_DONE, current_);
  done_[current_.id] = current_;
  if (sink_.descriptors && writer.feature()) features_[current_.id] = writer.feature();
}

void ItemReporter::listDescriptors() {
  if (!active() || !sink_.descriptors) return;
  std::vector<const ItemRecord*> built;
  for (const auto& [id, record] : done_) {
    if (features_.count(id) && record.outcome != MARDEL_ITEM_FAILED &&
        record.outcome != MARDEL_ITEM_UNSUPPORTED)
      built.push_back(&record);
  }
  std::sort(built.begin(), built.end(),
            [](const ItemRecord* a, const ItemRecord* b) { return a->index < b->index; });
  for (const ItemRecord* record : built) {
    std::vector<std::string> descriptors;
    try {
      descriptors = listTopoDescriptors(record->id, features_[record->id]);
    } catch (const std::exception&) {
      continue;  // the record as sent stands
    }
    if (!descriptors.empty()) send(MARDEL_REPORT_ITEM_DONE, *record, descriptors);
  }
}

void ItemReporter::failLater(const std::string& id, std::string_view message) {
  if (!active()) return;
  auto it = done_.find(id);
  if (it == done_.end()) return;
  it->second.outcome = MARDEL_ITEM_FAILED;
  if (!message.empty()) it->second.messages.emplace_back(message);
  send(MARDEL_REPORT_ITEM_DONE, it->second);
}

// The body an item landed in is the Part's child above what it made (a tool body combined
// into another body lands in that other one); its volume after the item is that of the
// body's solid right after the item's feature there, which the item's update computed.
void ItemReporter::placeIn(ItemRecord& record, Writer& writer) {
  host::SpecObjectPtr below, top;
  for (host::SpecObjectPtr node = madeObject(writer); node && !host::sameObject(node, part_);
       node = node->father()) {
    below = top;
    top = node;
  }
  placedBody_ = top;
  placedFeature_ = below;
  auto body = host::query<host::SolidVolume>(top);
  if (!body) return;
  record.hasBody = true;
  record.body = displayName(top);
  if (!sink_.volumes) return;
  auto measured = below ? host::query<host::SolidVolume>(below) : body;
  double volume = 0;
  if (measured && measured->volume(volume)) {
    record.hasVolume = true;
    record.volume = volume;
  }
}

// A built item that changed nothing: its writer says so, or (when volumes are measured)
// its body's solid measures the same before and after its feature.
void ItemReporter::judgeEffect(ItemRecord& record, Writer& writer) {
  if (record.outcome != MARDEL_ITEM_BUILT && record.outcome != MARDEL_ITEM_WARNED) return;
  if (!writer.noEffectNote().empty()) {
    record.outcome = MARDEL_ITEM_NO_EFFECT;
    record.reason = writer.noEffectNote();
    return;
  }
  if (!record.hasVolume || !writer.asFeatureWriter() || !writer.feature() || !placedFeature_)
    return;
  double before = 0;
  if (!volumeBefore(placedBody_, placedFeature_, before) || !sameVolume(before, record.volume))
    return;
  record.outcome = MARDEL_ITEM_NO_EFFECT;
  record.reason = unchangedReason(record.type, writer.item(), record.volume);
}

// Names of the objects that joined the Part since the previous item.
void ItemReporter::collectNewObjects(std::vector<std::string>& out) {
  auto journal = host::query<host::CreationJournal>(part_);
  if (!journal) return;
  for (const host::SpecObjectPtr& object : journal->joinedSince(journalMark_)) {
    if (object) out.push_back(displayName(object));
  }
  journalMark_ = journal->mark();
}

void ItemReporter::finishList(const rapidjson::Value& items,
                              const std::function<std::string(const std::string&)>& reason) {
  if (!active() || !items.IsArray()) return;
  for (const rapidjson::Value& element : items.GetArray()) {
    if (recorded_.count(&element)) continue;
    ItemRecord record;
    if (element.IsObject()) {
      record.id = stringOr(element, "id");
      record.type = stringOr(element, "type");
      record.name = stringOr(element, "name");
    }
    auto skip = skipped_.find(&element);
    if (skip != skipped_.end()) {
      record.outcome = MARDEL_ITEM_SKIPPED;
      record.reason = skip->second;
      record.messages.push_back(skip->second);
    } else {
      record.outcome = MARDEL_ITEM_NEVER_REACHED;
      record.reason = reason(record.id);
      auto notes = notes_.find(record.id);
      if (notes != notes_.end()) record.messages = notes->second;
    }
    record.index = sent_++;
    recorded_.insert(&element);
    send(MARDEL_REPORT_ITEM_DONE, record);
  }
}

void ItemReporter::send(std::int32_t event, const ItemRecord& record,
                        const std::vector<std::string>& descriptors) const {
  const std::vector<MardelText> messages = textsOf(record.messages);
  const std::vector<MardelText> listed = textsOf(descriptors);
  const std::vector<MardelText> objects = textsOf(record.objects);
  MardelItemReport out{};
  out.index = record.index;
  out.total = total_;
  out.id = textOf(record.id);
  out.type = textOf(record.type);
  out.name = textOf(record.name);
  out.outcome = record.outcome;
  out.messages = messages.data();
  out.messageCount = messages.size();
  out.objects = objects.data();
  out.objectCount = objects.size();
  out.hasBody = record.hasBody ? 1 : 0;
  out.body = textOf(record.body);
  out.hasVolume = record.hasVolume ? 1 : 0;
  out.volume = record.volume;
  out.seconds = record.seconds;
  out.reason = textOf(record.reason);
  out.descriptors = listed.empty() ? nullptr : listed.data();
  out.descriptorCount = listed.size();
  sink_.sink(sink_.context, event, &out);
}

}  // namespace kestrun
