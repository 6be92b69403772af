// A Product as an XDE assembly: one shape per Part that an instance shows, made once however
// many instances show it, and one placed component per instance named after it, nested as
// the Product nests. The STEP writer and the mesh writers start from here, each with its own
// shape for a Part.
#pragma once

#include <TDF_Label.hxx>
#include <TDocStd_Document.hxx>

#include <functional>
#include <map>
#include <string>

namespace occt_host {

class Part;
class Product;

class XdeAssembly {
 public:
  // Adds the shape that shows `part` to the XDE document and returns its label; a null
  // label when the Part shows nothing.
  using PartShape = std::function<TDF_Label(const Handle(TDocStd_Document) & xde, const Part& part,
                                            const std::string& partNumber)>;

  explicit XdeAssembly(PartShape partShape);

  // The assembly of `root`'s instances, named after `root`, its compounds brought up to
  // date; null when no instance shows a solid.
  TDF_Label build(Product& root);

  Handle(TDocStd_Document) document() const { return xde_; }

 private:
  TDF_Label referenceLabel(Product& reference, int depth);
  TDF_Label assemblyLabel(Product& reference, int depth);

  PartShape partShape_;
  Handle(TDocStd_Document) xde_;
  std::map<const Product*, TDF_Label> labels_;
};

}  // namespace occt_host
