#include "recording_application.h"

#include <atomic>

namespace vantrel::testing {

namespace automation = platform::automation;
using automation::HResult;
using automation::Variant;

struct RecordingApplication::State {
  Script script;
  std::vector<std::string> calls;
};

namespace {

constexpr automation::Guid kFakeClassId{0x11111111, 0x2222, 0x3333, {4, 4, 5, 5, 6, 6, 7, 7}};

struct Member {
  const char* name;
  bool property;
  const char* returns;  // type of the object returned, or null
};

std::vector<Member> MembersOf(const std::string& type, const std::string& activeKind) {
  if (type == "Application")
    return {{"ActiveDocument", true, "Document"},
            {"Documents", true, "Documents"},
            {"ActiveWindow", true, "Window"}};
  if (type == "Documents") return {{"Open", false, "StepDocument"}};
  if (type == "Document" || type == "StepDocument") {
    std::vector<Member> members = {
        {"Selection", true, "Selection"}, {"Activate", false, nullptr}, {"Close", false, nullptr}};
    const std::string kind = type == "StepDocument" ? "Part" : activeKind;
    if (kind == "Part") members.push_back({"Part", true, "Part"});
    if (kind == "Product") members.push_back({"Product", true, "Product"});
    return members;
  }
  if (type == "Part") return {{"Update", false, nullptr}};
  if (type == "Selection")
    return {{"Clear", false, nullptr},
            {"Add", false, nullptr},
            {"Copy", false, nullptr},
            {"PasteSpecial", false, nullptr}};
  if (type == "Product") return {{"Products", true, "Products"}, {"Update", false, nullptr}};
  if (type == "Products") return {{"AddComponentsFromFiles", false, nullptr}};
  if (type == "Window") return {{"ActiveViewer", true, "Viewer"}};
  if (type == "Viewer") return {{"Reframe", false, nullptr}, {"Update", false, nullptr}};
  return {};
}

class FakeObject;
std::string Describe(const Variant& value);

class FakeObject final : public automation::IDispatch {
 public:
  FakeObject(std::shared_ptr<RecordingApplication::State> state, std::string type)
      : state_(std::move(state)), type_(std::move(type)) {}
  const std::string& Type() const { return type_; }

  HResult QueryInterface(const automation::Guid& iid, void** out) override {
    if (iid != automation::kIidUnknown && iid != automation::kIidDispatch) {
      *out = nullptr;
      return automation::kNoInterface;
    }
    AddRef();
    *out = static_cast<automation::IDispatch*>(this);
    return automation::kOk;
  }
  uint32_t AddRef() override { return ++refs_; }
  uint32_t Release() override {
    const uint32_t left = --refs_;
    if (left == 0) delete this;
    return left;
  }
  HResult GetTypeInfoCount(uint32_t* count) override {
    *count = 0;
    return automation::kOk;
  }
  HResult GetTypeInfo(uint32_t, uint32_t, void**) override { return automation::kNotImplemented; }
  HResult GetIDsOfNames(const automation::Guid&, char16_t** names, uint32_t, uint32_t,
                        int32_t* ids) override {
    const std::string name = automation::Utf16ToUtf8(names[0]);
    const auto members = MembersOf(type_, state_->script.activeKind);
    for (size_t i = 0; i < members.size(); ++i) {
      if (name == members[i].name) {
        ids[0] = static_cast<int32_t>(i + 1);
        return automation::kOk;
      }
    }
    state_->calls.push_back(type_ + "." + name + " unknown");
    ids[0] = -1;
    return automation::kDispUnknownName;
  }
  HResult Invoke(int32_t id, const automation::Guid&, uint32_t locale, uint16_t flags,
                 automation::DispParams* params, Variant* result, automation::ExcepInfo*,
                 uint32_t*) override {
    const auto members = MembersOf(type_, state_->script.activeKind);
    const Member& member = members.at(static_cast<size_t>(id - 1));
    std::string call = type_ + "." + member.name;
    const std::string key = call;
    if (member.property != ((flags & automation::kDispatchPropertyGet) != 0)) call += " wrong-kind";
    if (locale != automation::kLocaleUserDefault) call += " wrong-locale";
    call += "(";
    for (uint32_t i = 0; i < params->argCount; ++i) {
      if (i > 0) call += ",";
      call += Describe(params->args[params->argCount - 1 - i]);
    }
    state_->calls.push_back(call + ")");
    auto failure = state_->script.failures.find(key);
    if (failure != state_->script.failures.end()) return failure->second;
    if (member.returns != nullptr && result != nullptr) {
      const std::string type = member.returns;
      if (type == "Document" && state_->script.activeKind.empty()) return automation::kFail;
      if (type == "Viewer" && !state_->script.withViewer) {
        result->vt = automation::kVtEmpty;
        return automation::kOk;
      }
      result->vt = automation::kVtDispatch;
      result->pdispVal = new FakeObject(state_, type);
    }
    return automation::kOk;
  }

 private:
  std::shared_ptr<RecordingApplication::State> state_;
  std::string type_;
  std::atomic<uint32_t> refs_{1};
};

std::string Describe(const Variant& value) {
  if (value.vt == automation::kVtBstr) return "'" + automation::Utf16ToUtf8(value.bstrVal) + "'";
  if (value.vt == automation::kVtDispatch) return static_cast<FakeObject*>(value.pdispVal)->Type();
  if (value.vt == (automation::kVtArray | automation::kVtVariant)) {
    const automation::SafeArray& array = *value.parray;
    std::string text = "[lb" + std::to_string(array.bounds[0].lowerBound) + ":";
    for (uint32_t i = 0; i < array.bounds[0].elements; ++i)
      text += Describe(static_cast<const Variant*>(array.data)[i]);
    return text + "]";
  }
  return "vt" + std::to_string(value.vt);
}

}  // namespace

RecordingApplication::RecordingApplication(Script script) : state_(std::make_shared<State>()) {
  state_->script = std::move(script);
  if (!api_.Load()) return;
  app_ = new FakeObject(state_, "Application");
  const std::u16string progId = automation::Utf8ToUtf16("CATIA.Application");
  if (automation::Succeeded(api_.RegisterProgID(progId.c_str(), &kFakeClassId)))
    api_.RegisterActiveObject(app_, &kFakeClassId, 0, &cookie_);
}

RecordingApplication::~RecordingApplication() {
  if (cookie_ != 0) api_.RevokeActiveObject(cookie_, nullptr);
  if (app_ != nullptr) app_->Release();
}

const std::vector<std::string>& RecordingApplication::Calls() const {
  return state_->calls;
}

}  // namespace vantrel::testing
