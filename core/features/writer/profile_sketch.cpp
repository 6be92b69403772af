#include "features/writer/profile_sketch.h"

#include "features/writer/bool_type.h"
#include "features/writer/feature_ids.h"
#include "features/writer/feature_writer.h"

namespace kestrun {

std::vector<Writer*> expandedWriters(const FeatureWriter& writer,
                                     const std::vector<std::string>& ids) {
  std::vector<Writer*> pending = resolveWriters(*writer.registry(), ids);
  std::vector<Writer*> out;
  // Depth first, keeping the order: children take their owner's place.
  while (!pending.empty()) {
    Writer* first = pending.front();
    pending.erase(pending.begin());
    std::vector<Writer*> children = first->subWriters();
    if (children.empty()) {
      out.push_back(first);
      continue;
    }
    pending.insert(pending.begin(), children.begin(), children.end());
  }
  return out;
}

Writer* firstExpandedWriter(const FeatureWriter& writer, const std::vector<std::string>& ids) {
  std::vector<Writer*> writers = expandedWriters(writer, ids);
  return writers.empty() ? nullptr : writers.front();
}

host::SpecObjectPtr ensureSketch(Writer* writer) {
  if (!writer) return nullptr;
  if (!writer->sketchObject() && writer->isSketchWriter() && writer->item()) {
    writer->parseJson(*writer->item());
  }
  return writer->sketchObject();
}

void makeProfileCurrent(FeatureWriter& writer, const host::SpecObjectPtr& sketch,
                        const host::SpecObjectPtr& body) {
  const auto& part = writer.sharedState().part;
  if (!part) return;
  part->setCurrentFeature(sketch);
  if (isCombined(writer.boolKind()) && body) {
    part->setCurrentFeature(body);
  }
}

}  // namespace kestrun
