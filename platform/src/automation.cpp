#include "platform/automation.h"

#include <algorithm>

#include "platform/directories.h"
#include "platform/module_path.h"
#include "platform/text_encoding.h"

namespace platform::automation {
namespace {

// Its address names the module this code was linked into.
const char kModuleAnchor = 0;

bool OpenRuntime(DynamicLibrary& library, const std::string& name) {
  for (const std::string& path : RuntimeLibraryCandidates(name)) {
    if (library.Open(path)) return true;
  }
  return false;
}

template <class Fn>
bool Bind(const DynamicLibrary& library, const char* name, Fn& target) {
  target = reinterpret_cast<Fn>(library.Symbol(name));
  return target != nullptr;
}

}  // namespace

std::vector<std::string> RuntimeLibraryCandidates(const std::string& name) {
  std::vector<std::string> candidates;
  if (name.find('/') != std::string::npos || kPathSeparator == '\\') return {name};
  if (std::optional<std::string> self = ModulePathOf(&kModuleAnchor)) {
    const size_t cut = self->find_last_of('/');
    if (cut != std::string::npos) {
      const std::string folder = self->substr(0, cut);
      candidates.push_back(folder + "/" + name);
      candidates.push_back(folder + "/../lib/" + name);
    }
  }
  candidates.push_back(name);
  return candidates;
}

bool AutomationApi::Load(const std::string& ole32, const std::string& oleaut32) {
  Unload();
  bool ok = OpenRuntime(ole32_, ole32) && OpenRuntime(oleaut32_, oleaut32);
  ok = ok && Bind(ole32_, "CLSIDFromProgID", CLSIDFromProgID);
  ok = ok && Bind(oleaut32_, "GetActiveObject", GetActiveObject);
  ok = ok && Bind(oleaut32_, "SysAllocString", SysAllocString);
  ok = ok && Bind(oleaut32_, "SysFreeString", SysFreeString);
  ok = ok && Bind(oleaut32_, "SafeArrayCreateVector", SafeArrayCreateVector);
  ok = ok && Bind(oleaut32_, "SafeArrayAccessData", SafeArrayAccessData);
  ok = ok && Bind(oleaut32_, "SafeArrayUnaccessData", SafeArrayUnaccessData);
  ok = ok && Bind(oleaut32_, "SafeArrayDestroy", SafeArrayDestroy);
  if (!ok) Unload();
  usable_ = ok;
  return ok;
}

void AutomationApi::Unload() {
  *this = AutomationApi();
}

bool AutomationServerApi::Load(const std::string& ole32, const std::string& oleaut32) {
  bool ok = OpenRuntime(ole32_, ole32) && OpenRuntime(oleaut32_, oleaut32);
  ok = ok && Bind(ole32_, "RegisterProgID", RegisterProgID);
  ok = ok && Bind(oleaut32_, "RegisterActiveObject", RegisterActiveObject);
  ok = ok && Bind(oleaut32_, "RevokeActiveObject", RevokeActiveObject);
  ok = ok && Bind(oleaut32_, "SysAllocString", SysAllocString);
  ok = ok && Bind(oleaut32_, "SafeArrayAccessData", SafeArrayAccessData);
  ok = ok && Bind(oleaut32_, "SafeArrayUnaccessData", SafeArrayUnaccessData);
  usable_ = ok;
  return ok;
}

std::u16string Utf8ToUtf16(std::string_view text) {
  std::u16string out;
  out.reserve(text.size());
  size_t i = 0;
  while (i < text.size()) {
    const auto c = static_cast<unsigned char>(text[i]);
    uint32_t cp = 0xFFFD;
    size_t length = 1;
    if (c < 0x80) {
      cp = c;
    } else {
      length = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
      if (length > 1 && i + length <= text.size() && IsValidUtf8(text.substr(i, length))) {
        cp = c & (0x7F >> length);
        for (size_t k = 1; k < length; ++k)
          cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
      } else {
        length = 1;
      }
    }
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
    i += length;
  }
  return out;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string bytes;
  bytes.reserve(text.size() * 2);
  for (char16_t c : text) {
    bytes.push_back(static_cast<char>(c & 0xFF));
    bytes.push_back(static_cast<char>(c >> 8));
  }
  return Utf16LeToUtf8(bytes);
}

Arguments::~Arguments() {
  for (Variant& value : values_) ClearResult(api_, value);
}

HResult Arguments::AddString(std::string_view text) {
  const std::u16string wide = Utf8ToUtf16(text);
  Variant value;
  value.vt = kVtBstr;
  value.bstrVal = api_.SysAllocString(wide.c_str());
  if (value.bstrVal == nullptr) return kOutOfMemory;
  values_.push_back(value);
  return kOk;
}

HResult Arguments::AddStringArray(const std::vector<std::string>& texts) {
  SafeArray* array = api_.SafeArrayCreateVector(kVtVariant, 0, static_cast<uint32_t>(texts.size()));
  if (array == nullptr) return kOutOfMemory;
  void* data = nullptr;
  HResult hr = api_.SafeArrayAccessData(array, &data);
  if (Succeeded(hr)) {
    auto* items = static_cast<Variant*>(data);
    for (size_t i = 0; i < texts.size() && Succeeded(hr); ++i) {
      const std::u16string wide = Utf8ToUtf16(texts[i]);
      items[i].vt = kVtBstr;
      items[i].bstrVal = api_.SysAllocString(wide.c_str());
      if (items[i].bstrVal == nullptr) {
        items[i].vt = kVtEmpty;
        hr = kOutOfMemory;
      }
    }
    api_.SafeArrayUnaccessData(array);
  }
  if (Failed(hr)) {
    api_.SafeArrayDestroy(array);
    return hr;
  }
  Variant value;
  value.vt = kVtArray | kVtVariant;
  value.parray = array;
  values_.push_back(value);
  return kOk;
}

void Arguments::AddObject(IDispatch* object) {
  Variant value;
  value.vt = kVtDispatch;
  value.pdispVal = object;
  if (object != nullptr) object->AddRef();
  values_.push_back(value);
}

void ClearResult(const AutomationApi& api, Variant& value) {
  if ((value.vt == kVtDispatch || value.vt == kVtUnknown) && value.punkVal != nullptr) {
    value.punkVal->Release();
  } else if (value.vt == kVtBstr && api.SysFreeString != nullptr) {
    api.SysFreeString(value.bstrVal);
  } else if ((value.vt & kVtArray) != 0 && api.SafeArrayDestroy != nullptr) {
    api.SafeArrayDestroy(value.parray);
  }
  value = Variant();
}

HResult Connect(const AutomationApi& api, std::string_view progId, Ref<IDispatch>& out) {
  out.Reset();
  const std::u16string wide = Utf8ToUtf16(progId);
  Guid clsid;
  HResult hr = api.CLSIDFromProgID(wide.c_str(), &clsid);
  if (Failed(hr)) return hr;
  IUnknown* unknown = nullptr;
  hr = api.GetActiveObject(&clsid, nullptr, &unknown);
  Ref<IUnknown> running(unknown);
  if (Failed(hr)) return hr;
  if (!running) return kFail;
  void* dispatch = nullptr;
  hr = running->QueryInterface(kIidDispatch, &dispatch);
  if (Failed(hr)) return hr;
  if (dispatch == nullptr) return kFail;
  out = Ref<IDispatch>(static_cast<IDispatch*>(dispatch));
  return kOk;
}

HResult InvokeByName(IDispatch* object, std::string_view name, uint16_t flags,
                     std::vector<Variant>* args, Variant* result) {
  if (object == nullptr) return kPointer;
  std::u16string wide = Utf8ToUtf16(name);
  char16_t* names[] = {wide.data()};
  int32_t id = 0;
  HResult hr = object->GetIDsOfNames(kIidNull, names, 1, kLocaleUserDefault, &id);
  if (Failed(hr)) return hr;
  std::vector<Variant> reversed;
  if (args != nullptr) reversed.assign(args->rbegin(), args->rend());
  DispParams params;
  params.args = reversed.empty() ? nullptr : reversed.data();
  params.argCount = static_cast<uint32_t>(reversed.size());
  return object->Invoke(id, kIidNull, kLocaleUserDefault, flags, &params, result, nullptr, nullptr);
}

HResult CallMethod(const AutomationApi& api, IDispatch* object, std::string_view name,
                   Arguments* args) {
  Variant result;
  const HResult hr = InvokeByName(object, name, kDispatchMethod,
                                  args != nullptr ? &args->Values() : nullptr, &result);
  ClearResult(api, result);
  return hr;
}

namespace {

// An object result: an IDispatch, or an IUnknown that answers for IDispatch.
HResult TakeObject(const AutomationApi& api, Variant& result, Ref<IDispatch>& out) {
  if (result.vt == kVtDispatch && result.pdispVal != nullptr) {
    out = Ref<IDispatch>(result.pdispVal);
    result = Variant();
    return kOk;
  }
  if (result.vt == kVtUnknown && result.punkVal != nullptr) {
    void* dispatch = nullptr;
    const HResult hr = result.punkVal->QueryInterface(kIidDispatch, &dispatch);
    ClearResult(api, result);
    if (Failed(hr) || dispatch == nullptr) return kDispTypeMismatch;
    out = Ref<IDispatch>(static_cast<IDispatch*>(dispatch));
    return kOk;
  }
  ClearResult(api, result);
  return kDispTypeMismatch;
}

HResult InvokeForObject(const AutomationApi& api, IDispatch* object, std::string_view name,
                        uint16_t flags, Arguments* args, Ref<IDispatch>& out) {
  out.Reset();
  Variant result;
  const HResult hr =
      InvokeByName(object, name, flags, args != nullptr ? &args->Values() : nullptr, &result);
  if (Failed(hr)) {
    ClearResult(api, result);
    return hr;
  }
  return TakeObject(api, result, out);
}

}  // namespace

HResult CallMethodForObject(const AutomationApi& api, IDispatch* object, std::string_view name,
                            Arguments* args, Ref<IDispatch>& out) {
  return InvokeForObject(api, object, name, kDispatchMethod, args, out);
}

HResult GetObjectProperty(const AutomationApi& api, IDispatch* object, std::string_view name,
                          Ref<IDispatch>& out) {
  return InvokeForObject(api, object, name, kDispatchPropertyGet, nullptr, out);
}

}  // namespace platform::automation
