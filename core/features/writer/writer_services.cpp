#include "features/writer/writer_services.h"

#include "features/writer/update_service.h"
#include "log/core_log.h"
#include "text/host_text.h"

namespace kestrun {

host::SpecObjectPtr createPlaneFeature(const SharedWriterState& state, const host::Plane& plane) {
  if (!state.part) return nullptr;
  if (state.verbosity >= 3) logOut("debug: CreatePlane start");
  host::SpecObjectPtr feature =
      state.wireframeFactory ? state.wireframeFactory->createPlane(plane) : nullptr;
  if (!feature) logOut("error: spGsmFact->CreatePlane is NULL");
  return feature;
}

host::SpecObjectPtr createReferenceSet(const SharedWriterState& state) {
  auto factory = host::query<host::BodyFactory>(state.container);
  if (!factory) {
    logOut("error: CATIMechanicalRootFactory_var spMechRootFactory is null");
    return nullptr;
  }
  host::SpecObjectPtr set = factory->createGeometricalSet("", false);
  if (!set) logOut("CreateGeometricalSet Failed");
  return set;
}

void saveRefObj(const SharedWriterState& state, const host::SpecObjectPtr& object, int mode,
                const std::string& name) {
  if (mode != kRefObjFeatureTree && mode != kRefObjGeometricalSet) return;
  host::SpecObjectPtr body = state.part ? state.part->currentTool() : nullptr;
  host::SpecObjectPtr holder = body;
  if (mode == kRefObjFeatureTree) {
    if (state.verbosity >= 3) logOut("debug: saveRefObj to feature tree, name = " + name);
  } else {
    if (state.verbosity >= 3) logOut("debug: saveRefObj to gsm, name = " + name);
    holder = state.referenceSet;
  }
  auto children = host::query<host::Descendants>(holder);
  if (children && object) children->appendChild(object);
  if (auto vis = host::query<host::VisProperties>(object)) vis->setShown(false);
  updateFeature(object);
  if (mode == kRefObjFeatureTree && body) state.part->setCurrentFeature(body);
}

void setAlias(const host::SpecObjectPtr& object, const std::string& name) {
  auto alias = host::query<host::Alias>(object);
  if (!alias) {
    logOut("setAlias failed: object does not support CATIAlias interface");
    return;
  }
  alias->setAlias(toHostText(name));
}

std::string aliasLine(const host::SpecObjectPtr& object) {
  auto alias = host::query<host::Alias>(object);
  return "alias = " + (alias ? alias->alias() : std::string());
}

void setColor(const host::SpecObjectPtr& object, const host::Color& color) {
  auto vis = host::query<host::VisProperties>(object);
  if (!vis) {
    logOut("warning: QueryInterface for CATIVisProperties failed, cannot set color");
    return;
  }
  vis->setColor(color);
}

}  // namespace kestrun
