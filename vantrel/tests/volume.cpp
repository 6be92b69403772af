#include "volume.h"

#include <BRepGProp.hxx>
#include <GProp_GProps.hxx>

#include "host/part.h"
#include "occt_host/inspect.h"

namespace vantrel::testing {

double PartVolume(const std::shared_ptr<host::Document>& document) {
  auto roots = host::query<host::DocumentRoots>(document);
  auto container =
      roots ? host::query<host::PartContainer>(roots->rootContainer("CATIPrtContainer")) : nullptr;
  if (!container) return 0.0;
  TopoDS_Shape solid = occt_host::solidOf(container->part());
  if (solid.IsNull()) return 0.0;
  GProp_GProps props;
  BRepGProp::VolumeProperties(solid, props);
  return props.Mass();
}

}  // namespace vantrel::testing
