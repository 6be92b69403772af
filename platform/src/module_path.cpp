#include "platform/module_path.h"

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

namespace platform {

std::optional<std::string> ModulePathOf(const void* address) {
  Dl_info info{};
  if (address == nullptr || ::dladdr(address, &info) == 0 || info.dli_fname == nullptr ||
      info.dli_fname[0] == '\0') {
    return std::nullopt;
  }
  // dladdr reports the name the loader was given, which may be relative.
  char resolved[PATH_MAX];
  if (::realpath(info.dli_fname, resolved) != nullptr) return std::string(resolved);
  return std::string(info.dli_fname);
}

}  // namespace platform
