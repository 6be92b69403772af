// The class registration part of the automation runtime (what ole32 provides on Windows):
// programmatic identifiers mapped to class identifiers. An installer writes these into the
// registry there; here the server that offers the class registers it at run time.
#include <map>
#include <mutex>
#include <string>

#include "platform/automation_types.h"

using namespace platform::automation;

namespace {

std::mutex g_lock;

// Lives as long as the library is loaded: a server that registers keeps it loaded.
std::map<std::u16string, Guid>& Classes() {
  static std::map<std::u16string, Guid> classes;
  return classes;
}

// Programmatic identifiers compare without regard to ASCII case, as registry keys do.
std::u16string Key(const char16_t* text) {
  std::u16string key;
  for (; *text != 0; ++text) {
    char16_t c = *text;
    key.push_back(c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c - u'A' + u'a') : c);
  }
  return key;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) HResult CLSIDFromProgID(const char16_t* progId,
                                                                          Guid* clsid) {
  if (progId == nullptr || clsid == nullptr) return kInvalidArg;
  try {
    std::lock_guard<std::mutex> guard(g_lock);
    auto it = Classes().find(Key(progId));
    if (it == Classes().end()) return kClassString;
    *clsid = it->second;
    return kOk;
  } catch (...) {
    return kOutOfMemory;
  }
}

extern "C" __attribute__((visibility("default"))) HResult RegisterProgID(const char16_t* progId,
                                                                         const Guid* clsid) {
  if (progId == nullptr || clsid == nullptr || *progId == 0) return kInvalidArg;
  try {
    std::lock_guard<std::mutex> guard(g_lock);
    Classes()[Key(progId)] = *clsid;
    return kOk;
  } catch (...) {
    return kOutOfMemory;
  }
}
