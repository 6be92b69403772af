// The automation part of the runtime (what oleaut32 provides on Windows): the table of
// running objects, length-prefixed strings and one-dimensional safe arrays.
#include <cstdlib>
#include <cstring>
#include <map>
#include <mutex>
#include <new>

#include "platform/automation_types.h"

using namespace platform::automation;

#define AUTOMATION_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

struct Running {
  Guid clsid;
  IUnknown* object = nullptr;
};

std::mutex g_lock;
uint32_t g_nextCookie = 0;

// Ordered by cookie, so the first registration of a class is the one found.
// Lives as long as the library is loaded: a server that registers keeps it loaded.
std::map<uint32_t, Running>& Table() {
  static std::map<uint32_t, Running> table;
  return table;
}

size_t ElementSize(uint16_t vt) {
  switch (vt) {
    case kVtVariant:
      return sizeof(Variant);
    case kVtI4:
      return sizeof(int32_t);
    case kVtR8:
      return sizeof(double);
    case kVtBool:
      return sizeof(int16_t);
    case kVtBstr:
      return sizeof(Bstr);
    case kVtDispatch:
    case kVtUnknown:
      return sizeof(void*);
    default:
      return 0;
  }
}

}  // namespace

AUTOMATION_EXPORT HResult RegisterActiveObject(IUnknown* object, const Guid* clsid, uint32_t,
                                               uint32_t* cookie) {
  if (object == nullptr || clsid == nullptr || cookie == nullptr) return kInvalidArg;
  try {
    std::lock_guard<std::mutex> guard(g_lock);
    const uint32_t id = ++g_nextCookie;
    Table()[id] = Running{*clsid, object};
    object->AddRef();
    *cookie = id;
    return kOk;
  } catch (...) {
    return kOutOfMemory;
  }
}

AUTOMATION_EXPORT HResult RevokeActiveObject(uint32_t cookie, void*) {
  IUnknown* object = nullptr;
  {
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = Table().find(cookie);
    if (it == Table().end()) return kInvalidArg;
    object = it->second.object;
    Table().erase(it);
  }
  object->Release();
  return kOk;
}

AUTOMATION_EXPORT HResult GetActiveObject(const Guid* clsid, void*, IUnknown** out) {
  if (clsid == nullptr || out == nullptr) return kInvalidArg;
  *out = nullptr;
  std::lock_guard<std::mutex> guard(g_lock);
  for (const auto& entry : Table()) {
    if (entry.second.clsid == *clsid) {
      entry.second.object->AddRef();
      *out = entry.second.object;
      return kOk;
    }
  }
  return kUnavailable;
}

AUTOMATION_EXPORT Bstr SysAllocString(const char16_t* text) {
  if (text == nullptr) return nullptr;
  size_t length = 0;
  while (text[length] != 0) ++length;
  if (length > (UINT32_MAX - 8) / sizeof(char16_t)) return nullptr;
  const uint32_t bytes = static_cast<uint32_t>(length * sizeof(char16_t));
  char* block = static_cast<char*>(std::malloc(sizeof(uint32_t) + bytes + sizeof(char16_t)));
  if (block == nullptr) return nullptr;
  std::memcpy(block, &bytes, sizeof(bytes));
  Bstr result = reinterpret_cast<Bstr>(block + sizeof(uint32_t));
  std::memcpy(result, text, bytes);
  result[length] = 0;
  return result;
}

AUTOMATION_EXPORT void SysFreeString(Bstr text) {
  if (text != nullptr) std::free(reinterpret_cast<char*>(text) - sizeof(uint32_t));
}

AUTOMATION_EXPORT uint32_t SysStringLen(Bstr text) {
  if (text == nullptr) return 0;
  uint32_t bytes = 0;
  std::memcpy(&bytes, reinterpret_cast<char*>(text) - sizeof(uint32_t), sizeof(bytes));
  return bytes / sizeof(char16_t);
}

AUTOMATION_EXPORT void VariantInit(Variant* value) {
  if (value != nullptr) *value = Variant();
}

AUTOMATION_EXPORT HResult SafeArrayDestroy(SafeArray* array);

AUTOMATION_EXPORT HResult VariantClear(Variant* value) {
  if (value == nullptr) return kInvalidArg;
  if (value->vt == kVtBstr) {
    SysFreeString(value->bstrVal);
  } else if ((value->vt == kVtDispatch || value->vt == kVtUnknown) && value->punkVal != nullptr) {
    value->punkVal->Release();
  } else if ((value->vt & kVtArray) != 0) {
    SafeArrayDestroy(value->parray);
  }
  *value = Variant();
  return kOk;
}

AUTOMATION_EXPORT SafeArray* SafeArrayCreateVector(uint16_t vt, int32_t lowerBound,
                                                   uint32_t count) {
  const size_t element = ElementSize(vt);
  if (element == 0 || count > (1u << 24)) return nullptr;
  auto* array = new (std::nothrow) SafeArray();
  if (array == nullptr) return nullptr;
  array->vt = vt;
  array->elementSize = static_cast<uint32_t>(element);
  array->bounds[0].elements = count;
  array->bounds[0].lowerBound = lowerBound;
  if (vt == kVtVariant) {
    array->data = new (std::nothrow) Variant[count == 0 ? 1 : count];
  } else {
    array->data = std::calloc(count == 0 ? 1 : count, element);
  }
  if (array->data == nullptr) {
    delete array;
    return nullptr;
  }
  return array;
}

AUTOMATION_EXPORT HResult SafeArrayAccessData(SafeArray* array, void** data) {
  if (array == nullptr || data == nullptr) return kInvalidArg;
  ++array->locks;
  *data = array->data;
  return kOk;
}

AUTOMATION_EXPORT HResult SafeArrayUnaccessData(SafeArray* array) {
  if (array == nullptr) return kInvalidArg;
  if (array->locks == 0) return static_cast<HResult>(0x8000FFFFu);  // E_UNEXPECTED
  --array->locks;
  return kOk;
}

AUTOMATION_EXPORT HResult SafeArrayDestroy(SafeArray* array) {
  if (array == nullptr) return kOk;
  if (array->locks != 0) return static_cast<HResult>(0x8002000Du);  // DISP_E_ARRAYISLOCKED
  const uint32_t count = array->bounds[0].elements;
  if (array->vt == kVtVariant) {
    auto* items = static_cast<Variant*>(array->data);
    for (uint32_t i = 0; i < count; ++i) VariantClear(&items[i]);
    delete[] items;
  } else {
    if (array->vt == kVtBstr) {
      auto* items = static_cast<Bstr*>(array->data);
      for (uint32_t i = 0; i < count; ++i) SysFreeString(items[i]);
    } else if (array->vt == kVtDispatch || array->vt == kVtUnknown) {
      auto* items = static_cast<IUnknown**>(array->data);
      for (uint32_t i = 0; i < count; ++i) {
        if (items[i] != nullptr) items[i]->Release();
      }
    }
    std::free(array->data);
  }
  delete array;
  return kOk;
}
