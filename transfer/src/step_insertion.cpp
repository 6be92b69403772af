#include <cstdio>

#include "platform/directories.h"
#include "platform/windows_path.h"
#include "vantrel/step_insertion.h"

namespace vantrel {
namespace {

namespace automation = platform::automation;
using automation::Arguments;
using automation::AutomationApi;
using automation::HResult;
using automation::IDispatch;
using automation::Ref;

constexpr char kPasteFormat[] = "CATPrtResultWithOutLink";

std::string Hex(HResult hr) {
  char text[16];
  std::snprintf(text, sizeof(text), "%x", static_cast<unsigned>(hr));
  return text;
}

std::string FailedText(const char* what, HResult hr) {
  return std::string(what) + " failed (HRESULT=0x" + Hex(hr) + ")";
}

bool HasStepExtension(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos) return false;
  const std::string extension = platform::winpath::ToLowerAscii(path.substr(dot));
  return extension == ".step" || extension == ".stp";
}

HResult Get(const AutomationApi& api, IDispatch* object, const char* name, Ref<IDispatch>& out) {
  return automation::GetObjectProperty(api, object, name, out);
}

HResult Call(const AutomationApi& api, IDispatch* object, const char* name,
             IDispatch* argument = nullptr) {
  if (argument == nullptr) return automation::CallMethod(api, object, name);
  Arguments args(api);
  args.AddObject(argument);
  return automation::CallMethod(api, object, name, &args);
}

// Copies the STEP document's Part and pastes it into the active Part as a result without link.
HResult PasteStepPart(const AutomationApi& api, IDispatch* stepDocument, IDispatch* activeDocument,
                      IDispatch* activePart, Ref<IDispatch>& activeSelection) {
  Ref<IDispatch> stepPart, stepSelection;
  HResult hr = Get(api, stepDocument, "Part", stepPart);
  if (automation::Succeeded(hr)) hr = Get(api, stepDocument, "Selection", stepSelection);
  if (automation::Succeeded(hr)) hr = Get(api, activeDocument, "Selection", activeSelection);
  if (automation::Succeeded(hr)) hr = Call(api, stepSelection.Get(), "Clear");
  if (automation::Succeeded(hr)) hr = Call(api, stepSelection.Get(), "Add", stepPart.Get());
  if (automation::Succeeded(hr)) hr = Call(api, stepSelection.Get(), "Copy");
  if (automation::Succeeded(hr)) hr = Call(api, activeSelection.Get(), "Clear");
  if (automation::Succeeded(hr)) hr = Call(api, activeSelection.Get(), "Add", activePart);
  if (automation::Succeeded(hr)) {
    Arguments format(api);
    hr = format.AddString(kPasteFormat);
    if (automation::Succeeded(hr))
      hr = automation::CallMethod(api, activeSelection.Get(), "PasteSpecial", &format);
  }
  if (automation::Succeeded(hr)) hr = Call(api, activePart, "Update");
  return hr;
}

HResult InsertIntoPart(const AutomationApi& api, IDispatch* application, IDispatch* activeDocument,
                       IDispatch* activePart, const std::string& path) {
  Ref<IDispatch> documents, stepDocument;
  HResult hr = Get(api, application, "Documents", documents);
  if (automation::Failed(hr)) return hr;
  Arguments file(api);
  hr = file.AddString(path);
  if (automation::Succeeded(hr))
    hr = automation::CallMethodForObject(api, documents.Get(), "Open", &file, stepDocument);
  if (automation::Failed(hr)) return hr;
  Ref<IDispatch> activeSelection;
  hr = PasteStepPart(api, stepDocument.Get(), activeDocument, activePart, activeSelection);
  // The STEP document is closed and the selection emptied whatever happened after opening.
  Call(api, stepDocument.Get(), "Close");
  if (activeSelection) Call(api, activeSelection.Get(), "Clear");
  return hr;
}

HResult InsertIntoProduct(const AutomationApi& api, IDispatch* product, const std::string& path) {
  Ref<IDispatch> products;
  HResult hr = Get(api, product, "Products", products);
  if (automation::Failed(hr)) return hr;
  Arguments args(api);
  hr = args.AddStringArray({path});
  if (automation::Succeeded(hr)) hr = args.AddString("All");
  if (automation::Succeeded(hr))
    hr = automation::CallMethod(api, products.Get(), "AddComponentsFromFiles", &args);
  if (automation::Succeeded(hr)) hr = Call(api, product, "Update");
  return hr;
}

HResult FitView(const AutomationApi& api, IDispatch* application, IDispatch* document) {
  HResult hr = Call(api, document, "Activate");
  Ref<IDispatch> window, viewer;
  if (automation::Succeeded(hr)) hr = Get(api, application, "ActiveWindow", window);
  if (automation::Succeeded(hr)) {
    hr = Get(api, window.Get(), "ActiveViewer", viewer);
    if (hr == automation::kDispTypeMismatch) hr = automation::kFail;  // no viewer
  }
  if (automation::Failed(hr)) return hr;
  hr = Call(api, viewer.Get(), "Reframe");
  if (automation::Succeeded(hr)) Call(api, viewer.Get(), "Update");
  return hr;
}

StepInsertResult Insert(const AutomationApi& api, const std::string& path) {
  Ref<IDispatch> application, document;
  HResult hr = automation::Connect(api, kApplicationProgId, application);
  if (automation::Failed(hr)) return {false, FailedText("Connect to CATIA.Application", hr)};
  if (automation::Failed(Get(api, application.Get(), "ActiveDocument", document)))
    return {false, "Open a CATPart or CATProduct before inserting a STEP file."};
  Ref<IDispatch> part, product;
  if (automation::Succeeded(Get(api, document.Get(), "Part", part))) {
    hr = InsertIntoPart(api, application.Get(), document.Get(), part.Get(), path);
  } else if (automation::Succeeded(Get(api, document.Get(), "Product", product))) {
    hr = InsertIntoProduct(api, product.Get(), path);
  } else {
    return {false, "The active document is not a CATPart or CATProduct."};
  }
  if (automation::Failed(hr)) return {false, FailedText("Insert STEP file", hr)};
  hr = FitView(api, application.Get(), document.Get());
  if (automation::Failed(hr))
    return {true, "STEP file inserted, but " + FailedText("fit active view", hr)};
  return {true, "STEP file inserted and fitted in the active document view."};
}

}  // namespace

StepInsertResult InsertStepFile(const std::string& path, const AutomationRuntimeNames& runtime) {
  if (!HasStepExtension(path)) return {false, "Select a .step or .stp file."};
  if (!platform::FileExists(path) || platform::IsDirectory(path))
    return {false, "The STEP file path does not exist or is not a file."};
  AutomationApi api;
  if (!api.Load(runtime.ole32, runtime.oleaut32))
    return {false, "Windows Automation services are unavailable."};
  // Every automation object is released inside Insert, before the libraries go with `api`.
  return Insert(api, path);
}

}  // namespace vantrel
