// Loft items: a loft through the section sketches in order, each optionally closed at
// the point that "matchConnections" gives for it.
#include <sstream>

#include "features/sweep/sweep_handlers.h"
#include "features/writer/feature_ids.h"
#include "features/writer/feature_writer.h"
#include "features/writer/profile_sketch.h"
#include "features/writer/update_service.h"
#include "features/writer/writer_services.h"
#include "host/sweep_features.h"
#include "log/core_log.h"
#include "partjson/build_order.h"
#include "sketch/sketch_json.h"

namespace kestrun {

namespace {

// A section's sketch, made now on a plane of its own when it does not exist yet.
host::SpecObjectPtr sectionSketch(FeatureWriter& writer, Writer* section) {
  if (!section->hasSketch() && section->isSketchWriter()) {
    section->setNeedPlaneForSketch(true);
    host::SpecObjectPtr sketch = ensureSketch(section);
    if (sketch && writer.sharedState().part) writer.sharedState().part->setCurrentFeature(sketch);
    return sketch;
  }
  return section->sketchObject();
}

// The closing point that "matchConnections" gives for the section; false when none.
bool closingPointFor(const rapidjson::Value& item, const std::string& id, double& x, double& y) {
  const rapidjson::Value* matches = member(item, "matchConnections");
  if (!matches || !matches->IsObject()) return false;
  // By the id's bytes: an id may hold a NUL that a C string would cut short.
  auto found = matches->FindMember(rapidjson::StringRef(id.data(), id.size()));
  if (found == matches->MemberEnd()) return false;
  const rapidjson::Value& point = found->value;
  return point.IsObject() && numberMember(point, "x", x) && numberMember(point, "y", y);
}

// The plane the section's sketch stands on: the plane made for it, else the sketch's own.
host::SpecObjectPtr sectionPlane(Writer* section, const host::SpecObjectPtr& sketch) {
  host::SpecObjectPtr support = section->sketchSupport();
  return support ? support : sketch;
}

void addClosingPoint(FeatureWriter& writer, host::Loft& loft, Writer* section,
                     const host::SpecObjectPtr& sketch, std::size_t i, double x, double y) {
  host::SpecObjectPtr xParm, yParm;
  writer.createLength("xParm", x, xParm);
  writer.createLength("yParm", y, yParm);
  auto points = host::query<host::PlanePointFactory>(writer.sharedState().container);
  host::SpecObjectPtr point =
      points ? points->createPointOnPlane(sectionPlane(section, sketch), xParm, yParm) : nullptr;
  if (!point) logOut("error: CreatePoint failed");
  const std::string pointName = writer.name() + "_point" + std::to_string(i + 1);
  saveRefObj(writer.sharedState(), point, kRefObjGeometricalSet, pointName);
  if (point) setAlias(point, pointName);
  const host::Status rc = loft.setSectionPoint(static_cast<int>(i + 1), point);
  writer.debug("debug: SetSectionPoint for " + writer.name() + " sketch[" + std::to_string(i) +
               "], rc = " + std::to_string(rc));
}

// Adds every section; a section the host refuses fails the item rather than leaving a
// loft through fewer sections than asked for.
host::Status addSections(FeatureWriter& writer, host::Loft& loft, const rapidjson::Value& item,
                         const std::vector<Writer*>& sections) {
  host::Status refused = host::kOk;
  for (std::size_t i = 0; i < sections.size(); ++i) {
    host::SpecObjectPtr sketch = sectionSketch(writer, sections[i]);
    const host::Status rc = loft.addSection(sketch, 1, nullptr);
    writer.debug("debug: add section " + std::to_string(i) +
                 " to loft, rc = " + std::to_string(rc));
    if (host::failed(rc)) {
      refused = rc;
      continue;
    }
    double x = 0, y = 0;
    if (closingPointFor(item, sections[i]->id(), x, y))
      addClosingPoint(writer, loft, sections[i], sketch, i, x, y);
  }
  return refused;
}

}  // namespace

FeatureOutcome loftHandler(FeatureWriter& writer, const rapidjson::Value& item,
                           const host::SpecObjectPtr& /*previous*/,
                           const host::SpecObjectPtr& body) {
  const std::vector<Writer*> sections = expandedWriters(writer, profileSketchIds(item));
  if (sections.empty()) return FeatureOutcome::none();
  // The loft follows the last of its sections, so that it comes after all of them.
  host::SpecObjectPtr last;
  for (Writer* section : sections) {
    if (host::SpecObjectPtr sketch = sectionSketch(writer, section)) last = sketch;
  }
  makeProfileCurrent(writer, last, body);
  auto factory = host::query<host::SweepFactory>(writer.sharedState().container);
  if (!factory)
    return FeatureOutcome::none("error: the part factory is not available, name = " +
                                writer.name());
  host::SpecObjectPtr loftFeature =
      inBuildOrder(writer.sharedState(), [&] { return factory->createLoft(); });
  auto loft = host::query<host::Loft>(loftFeature);
  if (!loft)
    return FeatureOutcome::none("error: the loft could not be created, name = " + writer.name());
  const host::Status refused = addSections(writer, *loft, item, sections);
  FeatureOutcome out = FeatureOutcome::built(loftFeature, updateFeature(loftFeature).status);
  writer.sharedState().part->setCurrentFeature(loftFeature);
  if (host::failed(refused)) {
    out.status = refused;
    out.error = "error: a loft section could not be added, name = " + writer.name();
  }
  return out;
}

}  // namespace kestrun
