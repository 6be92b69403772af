// Late-bound automation: connect to a running application by its programmatic identifier and
// call its objects' members by name with variant arguments. The runtime (ole32 and oleaut32 on
// Windows; libTolvaneOle32.so and libTolvaneOleAut32.so, standing for them, elsewhere) is
// loaded by name at run time, so that everything else works where it is missing.
#pragma once

#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/automation_types.h"
#include "platform/dynamic_library.h"

namespace platform::automation {

#if defined(_WIN32)
inline constexpr char kOle32Library[] = "ole32.dll";
inline constexpr char kOleAut32Library[] = "oleaut32.dll";
#else
inline constexpr char kOle32Library[] = "libTolvaneOle32.so";
inline constexpr char kOleAut32Library[] = "libTolvaneOleAut32.so";
#endif

// The paths tried for a runtime library: beside the module that holds this code, in the lib
// folder beside its bin folder, then the bare name for the loader's own search. On Windows the
// runtime is the system's own, found by the system's search alone: the bare name only.
std::vector<std::string> RuntimeLibraryCandidates(const std::string& name);

// The client side of the runtime: both libraries and the eight entry points that calling
// objects by name needs. Loaded afresh by each user and freed with it.
class AutomationApi {
 public:
  // True when both libraries and all eight entry points are found; otherwise nothing stays
  // loaded. The names are file names looked up as RuntimeLibraryCandidates says.
  bool Load(const std::string& ole32 = kOle32Library,
            const std::string& oleaut32 = kOleAut32Library);
  bool Usable() const { return usable_; }
  void Unload();

  CLSIDFromProgIDFn CLSIDFromProgID = nullptr;
  GetActiveObjectFn GetActiveObject = nullptr;
  SysAllocStringFn SysAllocString = nullptr;
  SysFreeStringFn SysFreeString = nullptr;
  SafeArrayCreateVectorFn SafeArrayCreateVector = nullptr;
  SafeArrayAccessDataFn SafeArrayAccessData = nullptr;
  SafeArrayUnaccessDataFn SafeArrayUnaccessData = nullptr;
  SafeArrayDestroyFn SafeArrayDestroy = nullptr;

 private:
  DynamicLibrary ole32_;
  DynamicLibrary oleaut32_;
  bool usable_ = false;
};

// The server side: registering a class and its running object, and the strings and arrays a
// server reads from its callers and hands back to them.
class AutomationServerApi {
 public:
  bool Load(const std::string& ole32 = kOle32Library,
            const std::string& oleaut32 = kOleAut32Library);
  bool Usable() const { return usable_; }

  RegisterProgIDFn RegisterProgID = nullptr;
  RegisterActiveObjectFn RegisterActiveObject = nullptr;
  RevokeActiveObjectFn RevokeActiveObject = nullptr;
  SysAllocStringFn SysAllocString = nullptr;
  SafeArrayAccessDataFn SafeArrayAccessData = nullptr;
  SafeArrayUnaccessDataFn SafeArrayUnaccessData = nullptr;

 private:
  DynamicLibrary ole32_;
  DynamicLibrary oleaut32_;
  bool usable_ = false;
};

// Holds one reference to an automation object and releases it.
template <class T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* object) : object_(object) {}  // adopts a reference
  ~Ref() { Reset(); }
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& other) noexcept : object_(std::exchange(other.object_, nullptr)) {}
  Ref& operator=(Ref&& other) noexcept {
    if (this != &other) {
      Reset();
      object_ = std::exchange(other.object_, nullptr);
    }
    return *this;
  }
  void Reset() {
    if (object_ != nullptr) std::exchange(object_, nullptr)->Release();
  }
  T* Get() const { return object_; }
  T* operator->() const { return object_; }
  explicit operator bool() const { return object_ != nullptr; }

 private:
  T* object_ = nullptr;
};

std::u16string Utf8ToUtf16(std::string_view text);
std::string Utf16ToUtf8(std::u16string_view text);

// Arguments of one call, in the order the member takes them. Strings and arrays are made
// with the runtime and freed when the arguments go.
class Arguments {
 public:
  explicit Arguments(const AutomationApi& api) : api_(api) {}
  ~Arguments();
  Arguments(const Arguments&) = delete;
  Arguments& operator=(const Arguments&) = delete;

  // E_OUTOFMEMORY when the runtime cannot allocate the string.
  HResult AddString(std::string_view text);
  // A one-dimensional array of variants (lower bound 0), each holding one of the strings.
  HResult AddStringArray(const std::vector<std::string>& texts);
  // The object is held (one more reference) until the arguments go.
  void AddObject(IDispatch* object);
  std::vector<Variant>& Values() { return values_; }

 private:
  const AutomationApi& api_;
  std::vector<Variant> values_;
};

// Frees what a result variant holds (an object reference, a string, an array).
void ClearResult(const AutomationApi& api, Variant& value);

// The running instance registered under `progId`, as IDispatch. A missing object is E_FAIL.
HResult Connect(const AutomationApi& api, std::string_view progId, Ref<IDispatch>& out);

// Resolves `name` (one name, no interface id, the user default locale) and invokes it with
// `flags`, the arguments passed in reverse order and no named arguments.
HResult InvokeByName(IDispatch* object, std::string_view name, uint16_t flags,
                     std::vector<Variant>* args, Variant* result);

// Calls the method `name`; the result, if any, is discarded.
HResult CallMethod(const AutomationApi& api, IDispatch* object, std::string_view name,
                   Arguments* args = nullptr);

// Calls the method `name`, whose result must be an object (as GetObjectProperty reads one).
HResult CallMethodForObject(const AutomationApi& api, IDispatch* object, std::string_view name,
                            Arguments* args, Ref<IDispatch>& out);

// Reads the object-valued property `name`: an IDispatch, or an IUnknown that answers for
// IDispatch. Anything else, or no object, is DISP_E_TYPEMISMATCH.
HResult GetObjectProperty(const AutomationApi& api, IDispatch* object, std::string_view name,
                          Ref<IDispatch>& out);

}  // namespace platform::automation
