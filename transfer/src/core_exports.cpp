#include "vantrel/core_exports.h"

namespace vantrel {

unsigned long LoadFailureCode(int savedErrno) {
  return savedErrno > 0 ? static_cast<unsigned long>(savedErrno) : kModuleNotFoundCode;
}

}  // namespace vantrel
