// What the application makes of STEP content: a Part whose bodies hold the file's solids, a
// pasted isolated body, and the components that files add to a Product.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/document.h"
#include "host/status.h"
#include "occt_host/exchange/step_import.h"

namespace occt_host {

class Document;
class Part;

// One body per solid, named and coloured as in the file; the first solid goes into the main
// body. Each body holds the solid as an imported feature.
void addStepSolids(Part& part, const std::vector<StepSolid>& solids);

// The solids of every body of `part` that has one, with the body's name and colour.
std::vector<StepSolid> partSolids(Part& part);

// A new body at the end of `part` holding all of `solids` as one imported feature (one colour
// when they share it), made the current body. Fails when there is no solid.
host::Status pasteIsolatedBody(Part& part, const std::vector<StepSolid>& solids);

// A Part document named `name` holding `solids` (see addStepSolids).
std::shared_ptr<Document> stepPartDocument(const std::string& name,
                                           const std::vector<StepSolid>& solids);

// A component of a Product: an instance name and the Part document it shows.
struct ProductComponent {
  std::string name;
  std::shared_ptr<host::Document> part;
};

// The components added to a Product document, in order; empty for any other document.
std::vector<ProductComponent> productComponents(const std::shared_ptr<host::Document>& product);
void addProductComponent(const std::shared_ptr<host::Document>& product,
                         ProductComponent component);

}  // namespace occt_host
