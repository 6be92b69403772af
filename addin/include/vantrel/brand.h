// The texts a user sees for the add-in in the host.
#pragma once

namespace vantrel {

inline constexpr char16_t kBrandTitle[] = u"BrontelAI";
inline constexpr char16_t kHelpText[] = u"Harnet AI Brontel";
inline constexpr char kDefaultIconName[] = "AIAvatar";

}  // namespace vantrel
