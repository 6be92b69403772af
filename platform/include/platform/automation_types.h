// The binary interface of late-bound automation (the Windows object model's IUnknown,
// IDispatch, VARIANT, BSTR and SAFEARRAY), shared by the automation runtime libraries, the
// servers that register objects with them and the clients that call those objects by name.
// Result codes keep their Windows values because they appear in messages and logs.
#pragma once

#include <cstdint>

namespace platform::automation {

using HResult = int32_t;

constexpr HResult kOk = 0;
constexpr HResult kFalse = 1;
constexpr HResult kNotImplemented = static_cast<HResult>(0x80004001u);  // E_NOTIMPL
constexpr HResult kNoInterface = static_cast<HResult>(0x80004002u);     // E_NOINTERFACE
constexpr HResult kPointer = static_cast<HResult>(0x80004003u);         // E_POINTER
constexpr HResult kFail = static_cast<HResult>(0x80004005u);            // E_FAIL
constexpr HResult kOutOfMemory = static_cast<HResult>(0x8007000Eu);     // E_OUTOFMEMORY
constexpr HResult kInvalidArg = static_cast<HResult>(0x80070057u);      // E_INVALIDARG
constexpr HResult kDispMemberNotFound = static_cast<HResult>(0x80020003u);
constexpr HResult kDispTypeMismatch = static_cast<HResult>(0x80020005u);
constexpr HResult kDispUnknownName = static_cast<HResult>(0x80020006u);
constexpr HResult kDispException = static_cast<HResult>(0x80020009u);
constexpr HResult kDispBadParamCount = static_cast<HResult>(0x8002000Eu);
constexpr HResult kDispBadIndex = static_cast<HResult>(0x8002000Bu);
constexpr HResult kDispNoNamedArgs = static_cast<HResult>(0x80020007u);
constexpr HResult kUnavailable = static_cast<HResult>(0x800401E3u);  // MK_E_UNAVAILABLE
constexpr HResult kClassString = static_cast<HResult>(0x800401F3u);  // CO_E_CLASSSTRING
constexpr HResult kBadVarType = static_cast<HResult>(0x80020008u);   // DISP_E_BADVARTYPE

inline bool Succeeded(HResult hr) {
  return hr >= 0;
}
inline bool Failed(HResult hr) {
  return hr < 0;
}

struct Guid {
  uint32_t data1 = 0;
  uint16_t data2 = 0;
  uint16_t data3 = 0;
  uint8_t data4[8] = {};
};

inline bool operator==(const Guid& a, const Guid& b) {
  if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
  for (int i = 0; i < 8; ++i) {
    if (a.data4[i] != b.data4[i]) return false;
  }
  return true;
}
inline bool operator!=(const Guid& a, const Guid& b) {
  return !(a == b);
}

inline constexpr Guid kIidNull{};
inline constexpr Guid kIidUnknown{0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr Guid kIidDispatch{0x00020400, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// The user default locale, which late-bound callers pass when they have no other.
constexpr uint32_t kLocaleUserDefault = 0x400;

// Invoke flags.
constexpr uint16_t kDispatchMethod = 1;
constexpr uint16_t kDispatchPropertyGet = 2;
constexpr uint16_t kDispatchPropertyPut = 4;

// Variant types.
constexpr uint16_t kVtEmpty = 0;
constexpr uint16_t kVtNull = 1;
constexpr uint16_t kVtI4 = 3;
constexpr uint16_t kVtR8 = 5;
constexpr uint16_t kVtBstr = 8;
constexpr uint16_t kVtDispatch = 9;
constexpr uint16_t kVtBool = 11;
constexpr uint16_t kVtVariant = 12;
constexpr uint16_t kVtUnknown = 13;
constexpr uint16_t kVtArray = 0x2000;

constexpr int16_t kVariantTrue = -1;
constexpr int16_t kVariantFalse = 0;

// UTF-16 text whose length in bytes sits in the four bytes before it; made and freed only by
// the runtime's SysAllocString and SysFreeString.
using Bstr = char16_t*;

class IDispatch;
class IUnknown;
struct SafeArray;

struct Variant {
  uint16_t vt = kVtEmpty;
  uint16_t reserved1 = 0, reserved2 = 0, reserved3 = 0;
  union {
    int32_t lVal;
    int16_t boolVal;
    double dblVal;
    Bstr bstrVal;
    IUnknown* punkVal;
    IDispatch* pdispVal;
    SafeArray* parray;
    void* record[2];  // the record case, which makes a variant as large as the system's
  };
  Variant() : record{nullptr, nullptr} {}
};
static_assert(sizeof(Variant) == 8 + 2 * sizeof(void*), "a variant has the system's layout");

struct SafeArrayBound {
  uint32_t elements = 0;
  int32_t lowerBound = 0;
};

// One-dimensional arrays are all this runtime makes.
struct SafeArray {
  uint16_t dims = 1;
  uint16_t features = 0;
  uint32_t elementSize = 0;
  uint32_t locks = 0;
  void* data = nullptr;
  uint16_t vt = kVtEmpty;
  SafeArrayBound bounds[1];
};

struct DispParams {
  Variant* args = nullptr;  // in reverse order: the last argument first
  int32_t* namedArgs = nullptr;
  uint32_t argCount = 0;
  uint32_t namedArgCount = 0;
};

struct ExcepInfo {
  uint16_t code = 0;
  uint16_t reserved = 0;
  Bstr source = nullptr;
  Bstr description = nullptr;
  Bstr helpFile = nullptr;
  uint32_t helpContext = 0;
  void* reserved2 = nullptr;
  void* deferredFill = nullptr;
  HResult scode = 0;
};

class IUnknown {
 public:
  virtual HResult QueryInterface(const Guid& iid, void** out) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;
};

class IDispatch : public IUnknown {
 public:
  virtual HResult GetTypeInfoCount(uint32_t* count) = 0;
  virtual HResult GetTypeInfo(uint32_t index, uint32_t locale, void** info) = 0;
  virtual HResult GetIDsOfNames(const Guid& iid, char16_t** names, uint32_t count, uint32_t locale,
                                int32_t* ids) = 0;
  virtual HResult Invoke(int32_t id, const Guid& iid, uint32_t locale, uint16_t flags,
                         DispParams* params, Variant* result, ExcepInfo* exception,
                         uint32_t* argError) = 0;

 protected:
  ~IDispatch() = default;
};

// The runtime libraries' entry points (C linkage, exported by name).
extern "C" {
using CLSIDFromProgIDFn = HResult (*)(const char16_t* progId, Guid* clsid);
using GetActiveObjectFn = HResult (*)(const Guid* clsid, void* reserved, IUnknown** out);
using SysAllocStringFn = Bstr (*)(const char16_t* text);
using SysFreeStringFn = void (*)(Bstr text);
using SafeArrayCreateVectorFn = SafeArray* (*)(uint16_t vt, int32_t lowerBound, uint32_t count);
using SafeArrayAccessDataFn = HResult (*)(SafeArray* array, void** data);
using SafeArrayUnaccessDataFn = HResult (*)(SafeArray* array);
using SafeArrayDestroyFn = HResult (*)(SafeArray* array);
// Server side: the class registration an installer would write, and the running objects.
using RegisterProgIDFn = HResult (*)(const char16_t* progId, const Guid* clsid);
using RegisterActiveObjectFn = HResult (*)(IUnknown* object, const Guid* clsid, uint32_t flags,
                                           uint32_t* cookie);
using RevokeActiveObjectFn = HResult (*)(uint32_t cookie, void* reserved);
}

}  // namespace platform::automation
