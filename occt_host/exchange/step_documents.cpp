#include "occt_host/exchange/step_documents.h"

#include <BRep_Builder.hxx>
#include <TopoDS_Compound.hxx>

#include <map>
#include <mutex>

#include "model/imported_solid.h"
#include "occt_host/model/body.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/model/product.h"
#include "occt_host/session/document.h"

namespace occt_host {

namespace {

void fillBody(Part& part, Body& body, const StepSolid& solid) {
  body.append(std::make_shared<ImportedSolid>(part.nextName("Solid"), solid.shape));
  if (!solid.name.empty()) body.setAlias(solid.name);
  if (solid.color) body.setColor(*solid.color);
}

struct ComponentTable {
  std::mutex lock;
  std::map<const void*, std::pair<std::weak_ptr<host::Document>, std::vector<ProductComponent>>>
      entries;
};

ComponentTable& components() {
  static auto* table = new ComponentTable();
  return *table;
}

}  // namespace

void addStepSolids(Part& part, const std::vector<StepSolid>& solids) {
  for (size_t i = 0; i < solids.size(); ++i) {
    std::shared_ptr<Body> body = i == 0 ? part.mainBodyNode() : nullptr;
    if (!body) {
      body = std::make_shared<Body>(part.nextName("Body"));
      part.append(body);
    }
    fillBody(part, *body, solids[i]);
  }
}

std::vector<StepSolid> partSolids(Part& part) {
  std::vector<StepSolid> solids;
  for (const auto& node : part.childNodes()) {
    auto body = std::dynamic_pointer_cast<Body>(node);
    if (!body) continue;
    TopoDS_Shape shape = body->solid();
    if (shape.IsNull()) continue;
    StepSolid solid{body->displayName(), std::nullopt, shape};
    host::Color color;
    if (body->color(color)) solid.color = color;
    solids.push_back(std::move(solid));
  }
  return solids;
}

host::Status pasteIsolatedBody(Part& part, const std::vector<StepSolid>& solids) {
  if (solids.empty()) return host::kInvalidArg;
  StepSolid pasted;
  pasted.color = solids.front().color;
  if (solids.size() == 1) {
    pasted.name = solids.front().name;
    pasted.shape = solids.front().shape;
  } else {
    TopoDS_Compound compound;
    BRep_Builder builder;
    builder.MakeCompound(compound);
    for (const StepSolid& solid : solids) {
      builder.Add(compound, solid.shape);
      const bool same = solid.color && pasted.color && solid.color->r == pasted.color->r &&
                        solid.color->g == pasted.color->g && solid.color->b == pasted.color->b;
      if (!same) pasted.color.reset();
    }
    pasted.shape = compound;
  }
  auto body = std::make_shared<Body>(part.nextName("Body"));
  part.append(body);
  fillBody(part, *body, pasted);
  part.setCurrentFeature(body->childNodes().back());
  return host::kOk;
}

std::shared_ptr<Document> stepPartDocument(const std::string& name,
                                           const std::vector<StepSolid>& solids) {
  std::shared_ptr<Document> document = Document::create(name, "Part");
  addStepSolids(*document->container()->partNode(), solids);
  return document;
}

std::vector<ProductComponent> productComponents(const std::shared_ptr<host::Document>& product) {
  ComponentTable& table = components();
  std::lock_guard<std::mutex> guard(table.lock);
  auto it = table.entries.find(product.get());
  if (it == table.entries.end() || it->second.first.lock() != product) return {};
  return it->second.second;
}

void addProductComponent(const std::shared_ptr<host::Document>& product,
                         ProductComponent component) {
  ComponentTable& table = components();
  std::lock_guard<std::mutex> guard(table.lock);
  for (auto it = table.entries.begin(); it != table.entries.end();) {
    it = it->second.first.expired() ? table.entries.erase(it) : std::next(it);
  }
  auto& entry = table.entries[product.get()];
  if (entry.first.lock() != product) entry = {product, {}};
  // The component is also an instance under the root product, so that the product
  // structure and its assembly export show it.
  auto assembly = std::dynamic_pointer_cast<Document>(product);
  auto part = std::dynamic_pointer_cast<Document>(component.part);
  if (assembly && assembly->rootProduct() && part && part->rootProduct()) {
    if (host::ProductPtr instance = assembly->rootProduct()->addProduct(part->rootProduct()))
      instance->setInstanceName(component.name);
  }
  entry.second.push_back(std::move(component));
}

}  // namespace occt_host
