#include "document_scene.h"

#include <TopLoc_Location.hxx>
#include <gp_Trsf.hxx>

#include "occt_host/model/body.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/model/product.h"
#include "occt_host/model/solid_feature.h"
#include "occt_host/session/document.h"
#include "occt_host/topology/face_colours.h"

namespace workstation {
namespace {

std::shared_ptr<occt_host::Part> partOf(const std::shared_ptr<host::Document>& document) {
  auto ours = std::dynamic_pointer_cast<occt_host::Document>(document);
  if (!ours || !ours->container()) return nullptr;
  return ours->container()->partNode();
}

TreeItem itemOf(const std::shared_ptr<occt_host::TreeNode>& node) {
  TreeItem item{node->displayName(), node->typeName(), false, {}, {}, node->displayName(), true};
  // The tree shows each feature's last computed state: asking for its result here would
  // recompute every stale feature at every redraw of a growing part.
  if (auto feature = std::dynamic_pointer_cast<occt_host::SolidFeature>(node)) {
    item.error = feature->lastError();
    item.failed = !item.error.empty();
  }
  if (auto container = std::dynamic_pointer_cast<occt_host::TreeContainer>(node)) {
    for (const auto& child : container->childNodes()) item.children.push_back(itemOf(child));
  }
  return item;
}

// A Part's shown bodies, where `placement` puts them; `salt` tells apart the bodies of one
// Part shown by several instances.
void addBodies(occt_host::Part& part, const TopLoc_Location& placement, std::uint64_t salt,
               std::vector<SceneBody>& out) {
  for (const auto& node : part.childNodes()) {
    auto body = std::dynamic_pointer_cast<occt_host::Body>(node);
    if (!body || !body->shown()) continue;
    try {
      SceneBody shown{
          body->displayName(), body->solid(), body->solidStamp() ^ salt, false, {}, {}, nullptr};
      if (shown.solid.IsNull()) continue;
      shown.hasColor = body->color(shown.color);
      shown.faceColors = occt_host::faceColours(*body);
      if (salt == 0) shown.body = body;
      if (!placement.IsIdentity()) {
        shown.solid = shown.solid.Moved(placement);
        for (auto& entry : shown.faceColors) entry.first = entry.first.Moved(placement);
      }
      out.push_back(shown);
    } catch (...) {
      // A body whose solid cannot be computed is simply not shown.
    }
  }
}

// Sub-assemblies nest at most this deep in the view, as in the STEP file.
constexpr int kMaxDepth = 64;

// Every instance below `product`, each Part's bodies where the instance places them.
void addInstances(occt_host::Product& product, const TopLoc_Location& placement, int depth,
                  std::vector<SceneBody>& out) {
  if (depth >= kMaxDepth) return;
  for (const auto& instance : product.childProducts()) {
    const auto& m = instance->position().m;
    gp_Trsf trsf;
    trsf.SetValues(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8], m[9], m[10], m[11]);
    const TopLoc_Location here = placement * TopLoc_Location(trsf);
    std::shared_ptr<occt_host::Product> reference = instance->reference();
    if (!reference) continue;
    const std::uint64_t salt = (out.size() + 1) * 0x9E3779B97F4A7C15ull;
    if (reference->part()) addBodies(*reference->part(), here, salt, out);
    addInstances(*reference, here, depth + 1, out);
  }
}

std::shared_ptr<occt_host::Product> rootOf(const std::shared_ptr<host::Document>& document) {
  auto ours = std::dynamic_pointer_cast<occt_host::Document>(document);
  if (!ours || ours->container()) return nullptr;
  return ours->rootProduct();
}

// A Product's instances, each named and with its sub-assembly's instances below it.
TreeItem productItem(occt_host::Product& product, int depth) {
  const std::string name = product.instanceName();
  TreeItem item{name, "Product", false, {}, {}, name, true};
  if (depth >= kMaxDepth) return item;
  auto children =
      product.reference() ? product.reference()->childProducts() : product.childProducts();
  for (const auto& child : children) item.children.push_back(productItem(*child, depth + 1));
  return item;
}

}  // namespace

std::vector<SceneBody> sceneBodies(const std::shared_ptr<host::Document>& document) {
  std::vector<SceneBody> bodies;
  if (std::shared_ptr<occt_host::Part> part = partOf(document)) {
    addBodies(*part, TopLoc_Location(), 0, bodies);
  } else if (std::shared_ptr<occt_host::Product> root = rootOf(document)) {
    addInstances(*root, TopLoc_Location(), 0, bodies);
  }
  return bodies;
}

TreeItem modelTree(const std::shared_ptr<host::Document>& document) {
  const std::string name = document ? document->name() : std::string();
  TreeItem root{name, "Document", false, {}, {}, name, true};
  try {
    if (std::shared_ptr<occt_host::Part> part = partOf(document)) {
      root.children.push_back(itemOf(part));
    } else if (std::shared_ptr<occt_host::Product> product = rootOf(document)) {
      root.children.push_back(productItem(*product, 0));
    }
  } catch (...) {
    root.failed = true;
  }
  return root;
}

}  // namespace workstation
