#include "occt_host/exchange/step_export.h"

#include <IFSelect_ReturnStatus.hxx>
#include <STEPCAFControl_Writer.hxx>
#include <STEPControl_StepModelType.hxx>
#include <TDocStd_Document.hxx>

#include <stdexcept>

#include "exchange/output_file.h"
#include "exchange/product_step_export.h"
#include "exchange/xde_bodies.h"
#include "kernel/kernel_guard.h"
#include "occt_host/kernel/operation_budget.h"
#include "occt_host/model/body.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/session/document.h"

namespace occt_host {

namespace {

std::shared_ptr<Part> partOf(const std::shared_ptr<host::Document>& document) {
  auto ours = std::dynamic_pointer_cast<Document>(document);
  if (!ours || !ours->container()) throw std::runtime_error("the document holds no Part");
  return ours->container()->partNode();
}

void write(const std::shared_ptr<host::Document>& document, const std::string& path) {
  auto ours = std::dynamic_pointer_cast<Document>(document);
  if (ours && ours->kind() == "Product") return writeProductStep(*ours, path);
  Handle(TDocStd_Document) xde = newXdeDocument();
  int bodies = 0;
  for (const auto& node : partOf(document)->childNodes()) {
    auto body = std::dynamic_pointer_cast<Body>(node);
    if (body && addBodyToXde(xde, *body, XdeUse::StepWriter)) ++bodies;
  }
  if (bodies == 0) throw std::runtime_error("the Part holds no solid to export");
  STEPCAFControl_Writer writer;
  writer.SetNameMode(true);
  writer.SetColorMode(true);
  OperationBudget budget("the STEP translation of " + path);
  bool transferred = writer.Transfer(xde, STEPControl_AsIs, nullptr, budget.range());
  budget.throwIfInterrupted();
  if (!transferred) throw std::runtime_error("the bodies could not be translated to STEP");
  if (writer.Write(path.c_str()) != IFSelect_RetDone)
    throw std::runtime_error("cannot write the STEP file " + path);
}

}  // namespace

bool exportStep(const std::shared_ptr<host::Document>& document, const std::string& path,
                std::string* error) {
  quietKernelMessages();
  std::string reason;
  bool ok = runGuarded(
      [&] {
        OutputFile file("STEP", path);
        write(document, path);
        file.keep();
      },
      reason);
  if (!ok && error) *error = reason;
  return ok;
}

}  // namespace occt_host
