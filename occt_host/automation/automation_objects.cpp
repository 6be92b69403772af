#include "automation/automation_objects.h"

#include "occt_host/exchange/step_documents.h"
#include "occt_host/model/container.h"
#include "occt_host/model/part.h"
#include "occt_host/session/application_frame.h"
#include "occt_host/session/document.h"
#include "occt_host/session/layout.h"
#include "platform/windows_path.h"

namespace occt_host::automation {

namespace {

using StatePtr = std::shared_ptr<ServerState>;
constexpr char kPasteResultWithoutLink[] = "CATPrtResultWithOutLink";

HResult fail(std::string& error, std::string text) {
  error = std::move(text);
  return kFail;
}

std::shared_ptr<Part> partOf(const std::shared_ptr<host::Document>& document) {
  auto ours = std::dynamic_pointer_cast<Document>(document);
  return ours && ours->container() ? ours->container()->partNode() : nullptr;
}

// The file name without folder and extension, as the application names an opened document.
std::string stemOf(const std::string& path) {
  const size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of('.');
  return dot == std::string::npos || dot == 0 ? name : name.substr(0, dot);
}

bool isStepPath(const std::string& path) {
  const size_t dot = path.find_last_of('.');
  if (dot == std::string::npos) return false;
  const std::string extension = platform::winpath::ToLowerAscii(path.substr(dot));
  return extension == ".step" || extension == ".stp";
}

class PartObject : public DispatchObject {
 public:
  PartObject(StatePtr state, std::shared_ptr<Part> part) : state_(std::move(state)), part_(part) {
    addMethod("Update", 0, [this](const Args&, Variant&, std::string& error) {
      auto part = part_.lock();
      if (!part) return fail(error, "The Part is no longer open.");
      host::UpdateResult outcome = part->update();
      return outcome.ok() ? kOk : fail(error, outcome.diagnostic);
    });
  }
  const char* kind() const override { return "Part"; }
  std::shared_ptr<Part> part() const { return part_.lock(); }

 private:
  StatePtr state_;
  std::weak_ptr<Part> part_;
};

class SelectionObject : public DispatchObject {
 public:
  explicit SelectionObject(StatePtr state) : state_(std::move(state)) {
    addMethod("Clear", 0, [this](const Args&, Variant&, std::string&) {
      selected_.clear();
      return kOk;
    });
    addMethod("Add", 1, [this](const Args& args, Variant&, std::string& error) {
      auto* part = dynamic_cast<PartObject*>(serverObject(args[0]));
      if (serverObject(args[0]) == nullptr) return kDispTypeMismatch;
      if (part == nullptr || !part->part()) return fail(error, "Only a Part can be selected.");
      selected_.push_back(part->part());
      return kOk;
    });
    addMethod("Copy", 0, [this](const Args&, Variant&, std::string& error) { return copy(error); });
    addMethod("PasteSpecial", 1, [this](const Args& args, Variant&, std::string& error) {
      std::string format;
      if (!stringArgument(args[0], format)) return kDispTypeMismatch;
      return pasteSpecial(format, error);
    });
  }
  const char* kind() const override { return "Selection"; }

 private:
  HResult copy(std::string& error) {
    std::vector<StepSolid> copied;
    for (const auto& held : selected_) {
      if (auto part = held.lock()) {
        for (StepSolid& solid : partSolids(*part)) copied.push_back(std::move(solid));
      }
    }
    if (copied.empty()) return fail(error, "The selection holds nothing to copy.");
    state_->clipboard = std::move(copied);
    return kOk;
  }

  HResult pasteSpecial(const std::string& format, std::string& error) {
    if (format != kPasteResultWithoutLink)
      return fail(error, "The paste format " + format + " is not available.");
    std::shared_ptr<Part> target = selected_.empty() ? nullptr : selected_.front().lock();
    if (!target) return fail(error, "Select the Part to paste into.");
    if (state_->clipboard.empty()) return fail(error, "The clipboard is empty.");
    return host::succeeded(pasteIsolatedBody(*target, state_->clipboard))
               ? kOk
               : fail(error, "The copied solids could not be pasted.");
  }

  StatePtr state_;
  std::vector<std::weak_ptr<Part>> selected_;
};

class ProductsObject : public DispatchObject {
 public:
  ProductsObject(StatePtr state, std::shared_ptr<host::Document> product)
      : state_(std::move(state)), product_(product) {
    addMethod("AddComponentsFromFiles", 2, [this](const Args& args, Variant&, std::string& error) {
      std::vector<std::string> files;
      std::string option;
      if (!filesOf(args[0], files) || !stringArgument(args[1], option)) return kDispTypeMismatch;
      if (option != "All") return fail(error, "The option " + option + " is not known.");
      return addFiles(files, error);
    });
  }
  const char* kind() const override { return "Products"; }

 private:
  // An array of variants each holding a string, or an array of strings.
  static bool filesOf(const Variant* value, std::vector<std::string>& files) {
    if (value == nullptr || (value->vt & kVtArray) == 0 || value->parray == nullptr) return false;
    const SafeArray& array = *value->parray;
    if (array.dims != 1) return false;
    for (uint32_t i = 0; i < array.bounds[0].elements; ++i) {
      std::string text;
      if (array.vt == kVtVariant) {
        if (!stringArgument(&static_cast<const Variant*>(array.data)[i], text)) return false;
      } else if (array.vt == kVtBstr) {
        Variant item;
        item.vt = kVtBstr;
        item.bstrVal = static_cast<Bstr const*>(array.data)[i];
        if (!stringArgument(&item, text)) return false;
      } else {
        return false;
      }
      files.push_back(text);
    }
    return true;
  }

  // Every file is read before any component is added, so that a bad file adds nothing.
  HResult addFiles(const std::vector<std::string>& files, std::string& error) {
    auto product = product_.lock();
    if (!product) return fail(error, "The Product is no longer open.");
    std::vector<ProductComponent> added;
    for (const std::string& file : files) {
      if (!isStepPath(file)) return fail(error, "Only STEP files can be added: " + file);
      StepContent content;
      std::string reason;
      if (!readStepFile(file, content, reason)) return fail(error, reason);
      for (const StepRoot& root : content.roots) {
        const std::string name = root.name.empty() ? stemOf(file) : root.name;
        added.push_back(ProductComponent{name, stepPartDocument(name, root.solids)});
      }
    }
    for (ProductComponent& component : added) addProductComponent(product, std::move(component));
    return kOk;
  }

  StatePtr state_;
  std::weak_ptr<host::Document> product_;
};

class ProductObject : public DispatchObject {
 public:
  ProductObject(StatePtr state, std::shared_ptr<host::Document> product)
      : state_(std::move(state)), product_(product) {
    addProperty("Products", [this](const Args&, Variant& result, std::string& error) {
      auto product = product_.lock();
      if (!product) return fail(error, "The Product is no longer open.");
      returnObject(result, new ProductsObject(state_, product));
      return kOk;
    });
    addMethod("Update", 0, [this](const Args&, Variant&, std::string& error) {
      return product_.lock() ? kOk : fail(error, "The Product is no longer open.");
    });
  }
  const char* kind() const override { return "Product"; }

 private:
  StatePtr state_;
  std::weak_ptr<host::Document> product_;
};

class DocumentObject : public DispatchObject {
 public:
  DocumentObject(StatePtr state, std::shared_ptr<host::Document> document)
      : state_(std::move(state)), document_(document) {
    const std::string kind = document->kind();
    // Only a Part document has a Part and only a Product document a Product: asking another
    // document for one is an unknown name, as it is on the application's own objects.
    if (kind == "Part") addProperty("Part", [this](auto&, auto& r, auto& e) { return part(r, e); });
    if (kind == "Product")
      addProperty("Product", [this](auto&, auto& r, auto& e) { return product(r, e); });
    addProperty("Selection", [this](const Args&, Variant& result, std::string&) {
      returnObject(result, new SelectionObject(state_));
      return kOk;
    });
    addMethod("Activate", 0, [this](auto&, auto&, auto& e) { return activate(e); });
    addMethod("Close", 0, [this](auto&, auto&, auto& e) { return close(e); });
  }
  const char* kind() const override { return "Document"; }

 private:
  HResult part(Variant& result, std::string& error) {
    auto part = partOf(document_.lock());
    if (!part) return fail(error, "The document holds no Part.");
    returnObject(result, new PartObject(state_, part));
    return kOk;
  }

  HResult product(Variant& result, std::string& error) {
    auto document = document_.lock();
    if (!document) return fail(error, "The document is no longer open.");
    returnObject(result, new ProductObject(state_, document));
    return kOk;
  }

  HResult activate(std::string& error) {
    auto frame = state_->frame.lock();
    auto editors = host::query<host::DocumentEditor>(document_.lock());
    std::shared_ptr<host::Editor> editor = editors ? editors->editor() : nullptr;
    if (!frame || !editor || host::failed(frame->setCurrentEditor(editor)))
      return fail(error, "The document is not open in this session.");
    frame->activateEditor(editor);
    // Its window, when it has one, comes to the front.
    std::shared_ptr<Layout> layout = frame->layout();
    for (const auto& window : layout->windows()) {
      if (host::sameObject(window->editor(), editor)) layout->setCurrentWindow(window);
    }
    return kOk;
  }

  HResult close(std::string& error) {
    auto frame = state_->frame.lock();
    if (!frame || !frame->closeDocument(document_.lock()))
      return fail(error, "The document is not open in this session.");
    return kOk;
  }

  StatePtr state_;
  std::weak_ptr<host::Document> document_;
};

class DocumentsObject : public DispatchObject {
 public:
  explicit DocumentsObject(StatePtr state) : state_(std::move(state)) {
    addMethod("Open", 1, [this](const Args& args, Variant& result, std::string& error) {
      std::string path;
      if (!stringArgument(args[0], path)) return kDispTypeMismatch;
      return open(path, result, error);
    });
  }
  const char* kind() const override { return "Documents"; }

 private:
  // A STEP file opens into a Part document of its own, named after the file.
  HResult open(const std::string& path, Variant& result, std::string& error) {
    auto frame = state_->frame.lock();
    if (!frame) return fail(error, "The session is closed.");
    if (!isStepPath(path)) return fail(error, "Only STEP files can be opened: " + path);
    StepContent content;
    std::string reason;
    if (!readStepFile(path, content, reason)) return fail(error, reason);
    std::vector<StepSolid> solids;
    for (StepRoot& root : content.roots) {
      for (StepSolid& solid : root.solids) solids.push_back(std::move(solid));
    }
    std::shared_ptr<Document> document = stepPartDocument(stemOf(path), solids);
    frame->addDocument(document);
    returnObject(result, new DocumentObject(state_, document));
    return kOk;
  }

  StatePtr state_;
};

class ViewerObject : public DispatchObject {
 public:
  ViewerObject(StatePtr state, std::shared_ptr<host::Viewer> viewer)
      : state_(std::move(state)), viewer_(viewer) {
    addMethod("Reframe", 0, [this](const Args&, Variant&, std::string& error) {
      auto viewer = viewer_.lock();
      if (!viewer) return fail(error, "The viewer is closed.");
      viewer->reframe();
      return kOk;
    });
    addMethod("Update", 0, [this](const Args&, Variant&, std::string& error) {
      auto viewer = viewer_.lock();
      if (!viewer) return fail(error, "The viewer is closed.");
      viewer->redraw();
      return kOk;
    });
  }
  const char* kind() const override { return "Viewer"; }

 private:
  StatePtr state_;
  std::weak_ptr<host::Viewer> viewer_;
};

class WindowObject : public DispatchObject {
 public:
  WindowObject(StatePtr state, std::shared_ptr<host::Window> window)
      : state_(std::move(state)), window_(window) {
    addProperty("ActiveViewer", [this](const Args&, Variant& result, std::string& error) {
      auto window = window_.lock();
      std::shared_ptr<host::Viewer> viewer = window ? window->viewer() : nullptr;
      if (!viewer) return fail(error, "The window has no 3D viewer.");
      returnObject(result, new ViewerObject(state_, viewer));
      return kOk;
    });
  }
  const char* kind() const override { return "Window"; }

 private:
  StatePtr state_;
  std::weak_ptr<host::Window> window_;
};

class ApplicationObject : public DispatchObject {
 public:
  explicit ApplicationObject(StatePtr state) : state_(std::move(state)) {
    addProperty("ActiveDocument", [this](auto&, auto& r, auto& e) { return activeDocument(r, e); });
    addProperty("Documents", [this](const Args&, Variant& result, std::string&) {
      returnObject(result, new DocumentsObject(state_));
      return kOk;
    });
    addProperty("ActiveWindow", [this](auto&, auto& r, auto& e) { return activeWindow(r, e); });
  }
  const char* kind() const override { return "Application"; }

 private:
  HResult activeDocument(Variant& result, std::string& error) {
    auto frame = state_->frame.lock();
    std::shared_ptr<host::Editor> editor = frame ? frame->currentEditor() : nullptr;
    std::shared_ptr<host::Document> document = editor ? editor->document() : nullptr;
    if (!document) return fail(error, "There is no active document.");
    returnObject(result, new DocumentObject(state_, document));
    return kOk;
  }

  HResult activeWindow(Variant& result, std::string& error) {
    std::shared_ptr<host::Layout> layout =
        state_->environment ? state_->environment->currentLayout() : nullptr;
    std::shared_ptr<host::Window> window = layout ? layout->currentWindow() : nullptr;
    if (!window) return fail(error, "There is no active window.");
    returnObject(result, new WindowObject(state_, window));
    return kOk;
  }

  StatePtr state_;
};

}  // namespace

DispatchObject* newApplicationObject(const std::shared_ptr<ServerState>& state) {
  return new ApplicationObject(state);
}

}  // namespace occt_host::automation
