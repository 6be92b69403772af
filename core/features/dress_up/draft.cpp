// Draft items: faces tilted about a neutral plane face, leaning inward along the pulling
// direction (the neutral plane descriptor's "vDir").
#include <cmath>
#include <string>

#include "features/dress_up/dress_up_support.h"
#include "features/topology/find_topos.h"
#include "features/topology/topo_descriptor.h"
#include "features/writer/feature_handlers.h"
#include "features/writer/feature_writer.h"
#include "log/core_log.h"
#include "partjson/build_order.h"

namespace kestrun {

namespace {

// The neutral plane's "vDir", in either point form, normalised; a squared length of
// exactly 1 is kept and a zero or missing vector gives (1, 0, 0).
host::Vec3 pullDirection(const rapidjson::Value& neutral, host::Vec3& read) {
  read = {};
  if (neutral.IsObject() && neutral.HasMember("vDir")) readPoint(neutral["vDir"], read);
  double squared = host::dot(read, read);
  if (squared == 1.0) return read;
  if (squared == 0.0 || !(squared > 0.0)) return {1, 0, 0};
  return read * (1.0 / std::sqrt(squared));
}

}  // namespace

FeatureOutcome draftHandler(FeatureWriter& writer, const rapidjson::Value& item,
                            const host::SpecObjectPtr&, const host::SpecObjectPtr&) {
  auto factory = dressUpFactory(writer);
  if (!factory) return FeatureOutcome::none();
  double angle = numberOr(item, "angle", 0);
  writer.debug("debug: " + std::string("angle = ") + num(angle));
  const rapidjson::Value& neutralPlane = memberOrNull(item, "neutralPlane");
  const rapidjson::Value& draftFaces = memberOrNull(item, "draftFaces");
  host::SpecObjectList neutral, faces;
  if (neutralPlane.IsObject()) {
    rapidjson::Document one;
    one.SetArray();
    one.PushBack(rapidjson::Value(neutralPlane, one.GetAllocator()), one.GetAllocator());
    neutral = findTopos(writer, one, true);
  }
  if (draftFaces.IsArray()) faces = findTopos(writer, draftFaces, true);
  host::Vec3 read;
  host::Vec3 pull = pullDirection(neutralPlane, read);
  writer.debug("debug: neutralPlane size = " + std::to_string(neutral.size()));
  writer.debug("debug: draftFaces size = " + std::to_string(faces.size()));
  writer.debug("debug: pullDir = (" + num(read.x) + ", " + num(read.y) + ", " + num(read.z) + ")");
  host::SpecObjectPtr draft;
  if (!neutral.empty() && !faces.empty())
    draft = inBuildOrder(writer.sharedState(),
                         [&] { return factory->createDraft(faces, neutral.front(), pull, angle); });
  if (!draft) {
    logOut("error: CreateDraft failed, name = " + writer.name());
    return FeatureOutcome::none();
  }
  return updateAndMakeCurrent(writer, draft);
}

}  // namespace kestrun
