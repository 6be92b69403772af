#include "workstation/document_scene.h"

#include "occt_host/body.h"
#include "occt_host/container.h"
#include "occt_host/document.h"
#include "occt_host/face_colours.h"
#include "occt_host/part.h"
#include "occt_host/solid_feature.h"

namespace workstation {
namespace {

std::shared_ptr<occt_host::Part> partOf(const std::shared_ptr<host::Document>& document) {
  auto ours = std::dynamic_pointer_cast<occt_host::Document>(document);
  if (!ours || !ours->container()) return nullptr;
  return ours->container()->partNode();
}

TreeItem itemOf(const std::shared_ptr<occt_host::TreeNode>& node) {
  TreeItem item{node->displayName(), node->typeName(), false, {}, {}, node->displayName(), true};
  if (auto feature = std::dynamic_pointer_cast<occt_host::SolidFeature>(node)) {
    try {
      (void)feature->result();
      item.error = feature->error();
    } catch (...) {
      item.error = "the feature could not be computed";
    }
    item.failed = !item.error.empty();
  }
  if (auto container = std::dynamic_pointer_cast<occt_host::TreeContainer>(node)) {
    for (const auto& child : container->childNodes()) item.children.push_back(itemOf(child));
  }
  return item;
}

}  // namespace

std::vector<SceneBody> sceneBodies(const std::shared_ptr<host::Document>& document) {
  std::vector<SceneBody> bodies;
  std::shared_ptr<occt_host::Part> part = partOf(document);
  if (!part) return bodies;
  for (const auto& node : part->childNodes()) {
    auto body = std::dynamic_pointer_cast<occt_host::Body>(node);
    if (!body || !body->shown()) continue;
    try {
      SceneBody shown{body->displayName(), body->solid(), body->solidStamp(), false, {}, {}};
      if (shown.solid.IsNull()) continue;
      shown.hasColor = body->color(shown.color);
      shown.faceColors = occt_host::faceColours(*body);
      bodies.push_back(shown);
    } catch (...) {
      // A body whose solid cannot be computed is simply not shown.
    }
  }
  return bodies;
}

TreeItem modelTree(const std::shared_ptr<host::Document>& document) {
  const std::string name = document ? document->name() : std::string();
  TreeItem root{name, "Document", false, {}, {}, name, true};
  if (std::shared_ptr<occt_host::Part> part = partOf(document)) {
    try {
      root.children.push_back(itemOf(part));
    } catch (...) {
      root.failed = true;
    }
  }
  return root;
}

}  // namespace workstation
