// The base of the application's automation objects: reference counting, IDispatch, and
// members resolved by name (without regard to case) from a table. Unknown names, wrong call
// kinds, wrong argument counts and types answer the dispatch error codes a real automation
// server gives; a failure inside the application is DISP_E_EXCEPTION, its own status in the
// exception record's scode.
#pragma once

#include <atomic>
#include <functional>
#include <string>
#include <vector>

#include "platform/automation_types.h"

namespace occt_host::automation {

using namespace platform::automation;

// Interface id under which an object of this server answers with its own DispatchObject,
// so that an argument can be recognised as one of ours.
inline constexpr Guid kIidServerObject{
    0x5a7e1c02, 0x9b4d, 0x4e61, {0x8f, 0x2a, 0x31, 0x77, 0xc0, 0x5d, 0x44, 0x19}};

class DispatchObject : public IDispatch {
 public:
  // Arguments in the order the member declares them.
  using Args = std::vector<const Variant*>;
  // Returns a status; on failure `error` may say why (it becomes the exception text).
  using Handler = std::function<HResult(const Args& args, Variant& result, std::string& error)>;

  HResult QueryInterface(const Guid& iid, void** out) override;
  uint32_t AddRef() override;
  uint32_t Release() override;
  HResult GetTypeInfoCount(uint32_t* count) override;
  HResult GetTypeInfo(uint32_t index, uint32_t locale, void** info) override;
  HResult GetIDsOfNames(const Guid& iid, char16_t** names, uint32_t count, uint32_t locale,
                        int32_t* ids) override;
  HResult Invoke(int32_t id, const Guid& iid, uint32_t locale, uint16_t flags, DispParams* params,
                 Variant* result, ExcepInfo* exception, uint32_t* argError) override;

  // What kind of object this is, for arguments passed back ("Part", "Document", ...).
  virtual const char* kind() const = 0;

 protected:
  DispatchObject() = default;
  virtual ~DispatchObject() = default;

  void addProperty(const char* name, Handler handler);
  void addMethod(const char* name, size_t argCount, Handler handler);

 private:
  struct Member {
    std::u16string key;  // lower-cased name
    bool property = false;
    size_t argCount = 0;
    Handler handler;
  };

  std::atomic<uint32_t> references_{1};
  std::vector<Member> members_;
};

// Puts a new reference to `object` (whose creation reference it takes over) into `result`.
void returnObject(Variant& result, DispatchObject* object);
// The server object behind a dispatch argument, or null when it is not one of ours.
DispatchObject* serverObject(const Variant* value);
// The text of a string argument (UTF-8); false when the argument is not a string.
bool stringArgument(const Variant* value, std::string& out);

}  // namespace occt_host::automation
