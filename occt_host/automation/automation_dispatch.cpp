#include "automation/automation_dispatch.h"

#include <new>

#include "kernel/kernel_guard.h"
#include "platform/automation.h"

namespace occt_host::automation {

namespace {

constexpr HResult kDispUnknownInterface = static_cast<HResult>(0x80020001u);
constexpr int32_t kDispIdUnknown = -1;

std::u16string lowerKey(const char16_t* text) {
  std::u16string key;
  for (; text != nullptr && *text != 0; ++text) {
    const char16_t c = *text;
    key.push_back(c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c);
  }
  return key;
}

std::u16string lowerKey(const char* text) {
  std::u16string wide = Utf8ToUtf16(text);
  return lowerKey(wide.c_str());
}

// A handler that throws failed inside the application: E_FAIL with the exception's text, or
// E_OUTOFMEMORY when memory ran short, never a success or another member's status.
HResult callHandler(const DispatchObject::Handler& handler, const DispatchObject::Args& args,
                    Variant& value, std::string& error) noexcept {
  HResult hr = kFail;
  bool memoryShort = false;
  const bool ran = runGuarded(
      [&] {
        try {
          hr = handler(args, value, error);
        } catch (const std::bad_alloc&) {
          memoryShort = true;
          throw;
        }
      },
      error);
  if (ran) return hr;
  return memoryShort ? kOutOfMemory : kFail;
}

}  // namespace

HResult DispatchObject::QueryInterface(const Guid& iid, void** out) {
  if (out == nullptr) return kPointer;
  *out = nullptr;
  if (iid == kIidUnknown || iid == kIidDispatch || iid == kIidServerObject) {
    AddRef();
    *out = static_cast<IDispatch*>(this);
    return kOk;
  }
  return kNoInterface;
}

uint32_t DispatchObject::AddRef() {
  return ++references_;
}

uint32_t DispatchObject::Release() {
  const uint32_t left = --references_;
  if (left == 0) delete this;
  return left;
}

HResult DispatchObject::GetTypeInfoCount(uint32_t* count) {
  if (count == nullptr) return kInvalidArg;
  *count = 0;  // members are found by name only
  return kOk;
}

HResult DispatchObject::GetTypeInfo(uint32_t, uint32_t, void** info) {
  if (info != nullptr) *info = nullptr;
  return kDispBadIndex;
}

HResult DispatchObject::GetIDsOfNames(const Guid& iid, char16_t** names, uint32_t count, uint32_t,
                                      int32_t* ids) {
  if (iid != kIidNull) return kDispUnknownInterface;
  if (names == nullptr || ids == nullptr || count == 0) return kInvalidArg;
  HResult hr = kOk;
  for (uint32_t i = 0; i < count; ++i) ids[i] = kDispIdUnknown;
  // Only the member name is looked up; further names would be parameter names, which no
  // member of this server declares.
  const std::u16string key = lowerKey(names[0]);
  for (size_t m = 0; m < members_.size(); ++m) {
    if (members_[m].key == key) ids[0] = static_cast<int32_t>(m + 1);
  }
  if (ids[0] == kDispIdUnknown || count > 1) hr = kDispUnknownName;
  return hr;
}

HResult DispatchObject::Invoke(int32_t id, const Guid& iid, uint32_t, uint16_t flags,
                               DispParams* params, Variant* result, ExcepInfo* exception,
                               uint32_t* argError) {
  if (iid != kIidNull) return kDispUnknownInterface;
  if (id < 1 || static_cast<size_t>(id) > members_.size()) return kDispMemberNotFound;
  const Member& member = members_[static_cast<size_t>(id - 1)];
  const uint16_t wanted = member.property ? kDispatchPropertyGet : kDispatchMethod;
  if ((flags & wanted) == 0) return kDispMemberNotFound;
  const uint32_t given = params != nullptr ? params->argCount : 0;
  if (params != nullptr && params->namedArgCount > 0) return kDispNoNamedArgs;
  if (given != member.argCount) return kDispBadParamCount;
  if (given > 0 && params->args == nullptr) return kInvalidArg;
  Args args;
  for (uint32_t i = 0; i < given; ++i) args.push_back(&params->args[given - 1 - i]);
  Variant value;
  std::string error;
  HResult hr = callHandler(member.handler, args, value, error);
  if (hr == kDispTypeMismatch && argError != nullptr) *argError = 0;
  if (Failed(hr) && !error.empty()) {
    if (exception != nullptr) exception->scode = hr;
    hr = kDispException;
  }
  if (result != nullptr && Succeeded(hr)) {
    *result = value;
  } else if (value.vt == kVtDispatch && value.pdispVal != nullptr) {
    value.pdispVal->Release();
  }
  return hr;
}

void DispatchObject::addProperty(const char* name, Handler handler) {
  members_.push_back(Member{lowerKey(name), true, 0, std::move(handler)});
}

void DispatchObject::addMethod(const char* name, size_t argCount, Handler handler) {
  members_.push_back(Member{lowerKey(name), false, argCount, std::move(handler)});
}

void returnObject(Variant& result, DispatchObject* object) {
  result = Variant();
  result.vt = kVtDispatch;
  result.pdispVal = object;
}

DispatchObject* serverObject(const Variant* value) {
  if (value == nullptr || (value->vt != kVtDispatch && value->vt != kVtUnknown) ||
      value->punkVal == nullptr)
    return nullptr;
  void* ours = nullptr;
  if (Failed(value->punkVal->QueryInterface(kIidServerObject, &ours)) || ours == nullptr)
    return nullptr;
  auto* object = static_cast<DispatchObject*>(static_cast<IDispatch*>(ours));
  object->Release();  // the caller's argument keeps it alive for the call
  return object;
}

bool stringArgument(const Variant* value, std::string& out) {
  if (value == nullptr || value->vt != kVtBstr || value->bstrVal == nullptr) return false;
  out = Utf16ToUtf8(value->bstrVal);
  return true;
}

}  // namespace occt_host::automation
