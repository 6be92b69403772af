// A face or edge picked in the 3D view, told as a user and as the assistant need it: the
// status bar's line (owning item, kind, size) and the topology descriptor a later fillet,
// chamfer, shell or draft item would name it by (the item's id, its kind, a few points, a
// normal or axis, a radius), as the core reads descriptors.
#pragma once

#include <TopoDS_Shape.hxx>
#include <gp_Pnt.hxx>

#include <string>
#include <vector>

#include "workstation/draw_progress.h"

namespace occt_host {
class Body;
}

namespace workstation {

struct PickedTopology {
  std::string topoType;    // "face" or "edge"
  std::string kind;        // "plane", "cylinder", "line", "circle", "arc", "curve", ...
  std::string item;        // the owning item's JSON id, empty when unknown
  std::string itemName;    // its name as the tree shows it
  std::string summary;     // "Edge of Base flange: line, 120 mm"
  std::string descriptor;  // JSON object text; empty when no descriptor names this kind
};

// `shape` is a face or an edge of `body`'s solid, `picked` the point under the cursor;
// `items` the last import's item records (to name the item that made the face or edge).
// A null body (an instance of a Product) gives the kind and size only.
PickedTopology describePick(occt_host::Body* body, const TopoDS_Shape& shape, const gp_Pnt& picked,
                            const std::vector<ItemRecord>& items);

// The message the panel hands its page for a selection ("host:selection"), or for none.
std::string selectionMessage(const PickedTopology* picked);

}  // namespace workstation
