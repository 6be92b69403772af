// Shell items: the solid hollowed inward to the given thickness, open at the faces the
// descriptors find (closed when they find none).
#include <string>

#include "features/dress_up/dress_up_support.h"
#include "features/topology/find_topos.h"
#include "features/writer/feature_handlers.h"
#include "features/writer/feature_writer.h"
#include "log/core_log.h"
#include "partjson/build_order.h"

namespace kestrun {

FeatureOutcome shellHandler(FeatureWriter& writer, const rapidjson::Value& item,
                            const host::SpecObjectPtr&, const host::SpecObjectPtr&) {
  auto factory = dressUpFactory(writer);
  if (!factory) return FeatureOutcome::none();
  double thickness = numberOr(item, "thickness", 1);
  writer.debug("debug: " + std::string("thickness = ") + num(thickness));
  const rapidjson::Value& topos = memberOrNull(item, "shellFaces");
  host::SpecObjectList faces = findTopos(writer, topos, true);
  writer.debug("debug: findTopos size = " + std::to_string(faces.size()) +
               ", expected = " + std::to_string(arrayLength(topos)));
  if (faces.empty() && arrayLength(topos) > 0)
    writer.noteNoEffect("none of the " + std::to_string(arrayLength(topos)) +
                        " \"shellFaces\" matched a face of the solid: the shell is a closed "
                        "cavity with no open face");
  auto shell =
      inBuildOrder(writer.sharedState(), [&] { return factory->createShell(faces, thickness, 0); });
  if (!shell) {
    logOut("error: CreateShell failed, name = " + writer.name());
    return FeatureOutcome::none();
  }
  return updateAndMakeCurrent(writer, shell);
}

}  // namespace kestrun
