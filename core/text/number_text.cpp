#include "text/number_text.h"

#include <sstream>

namespace kestrun {

std::string num(double value) {
  std::ostringstream out;
  out << value;
  return out.str();
}

}  // namespace kestrun
