#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace reference {

std::optional<std::string> FindJsonStringField(std::string_view text, std::string_view key);
std::optional<int32_t> FindJsonIntField(std::string_view text, std::string_view key);
std::optional<std::string> ReadJsonStringLiteral(std::string_view text, size_t& pos);
size_t FindJsonKeyValue(std::string_view text, std::string_view key, size_t from,
                        size_t* occurrence = nullptr);

}  // namespace reference
