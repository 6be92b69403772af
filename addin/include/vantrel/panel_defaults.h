// The panel's size and front end when no setting names them; the settings, the command and
// the panel window all start from these.
#pragma once

#include <cstdint>

namespace vantrel {

inline constexpr char kDefaultFrontendUrl[] = "https://tolvane.vexmoor.com/panel/";
inline constexpr int32_t kDefaultPanelWidth = 380;
inline constexpr int32_t kDefaultPanelHeight = 1040;

}  // namespace vantrel
