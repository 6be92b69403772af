#include "registry_file_parser.h"

#include <cctype>

#include "platform/text_encoding.h"
#include "platform/windows_path.h"

namespace platform {
namespace {

constexpr std::string_view kHeader5 = "Windows Registry Editor Version 5.00";
constexpr std::string_view kHeader4 = "REGEDIT4";

std::string_view Trim(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) {
    text.remove_prefix(1);
  }
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) {
    text.remove_suffix(1);
  }
  return text;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

std::optional<uint32_t> ParseHexNumber(std::string_view text, size_t maxDigits) {
  if (text.empty() || text.size() > maxDigits) return std::nullopt;
  uint32_t value = 0;
  for (char c : text) {
    int digit = HexDigit(c);
    if (digit < 0) return std::nullopt;
    value = value * 16 + static_cast<uint32_t>(digit);
  }
  return value;
}

bool IsStringType(uint32_t type) {
  return type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
}

std::string StringBytes(std::string_view text) {
  std::string bytes(text);
  bytes.push_back('\0');
  return bytes;
}

}  // namespace

std::optional<std::string> ReadRegistryQuoted(std::string_view text, size_t& pos) {
  if (pos >= text.size() || text[pos] != '"') return std::nullopt;
  std::string out;
  for (size_t i = pos + 1; i < text.size(); ++i) {
    char c = text[i];
    if (c == '"') {
      pos = i + 1;
      return out;
    }
    if (c == '\\' && i + 1 < text.size() && (text[i + 1] == '\\' || text[i + 1] == '"')) ++i;
    out.push_back(text[i]);
  }
  return std::nullopt;
}

void RegistryFileParser::Fail(const std::string& message) {
  if (error_.empty()) error_ = "line " + std::to_string(lineNumber_) + ": " + message;
}

std::vector<std::string> RegistryFileParser::LogicalLines(std::string_view text) {
  std::vector<std::string> lines;
  std::string pending;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string_view::npos) end = text.size();
    std::string_view raw = text.substr(start, end - start);
    if (!raw.empty() && raw.back() == '\r') raw.remove_suffix(1);
    // A hex list continues on the next line after a trailing backslash.
    std::string_view body = pending.empty() ? raw : Trim(raw);
    if (!body.empty() && body.back() == '\\' && body.find("=hex") != std::string_view::npos) {
      pending.append(body.substr(0, body.size() - 1));
    } else if (!pending.empty() && !body.empty() && body.back() == '\\') {
      pending.append(body.substr(0, body.size() - 1));
    } else {
      pending.append(body);
      lines.push_back(std::move(pending));
      pending.clear();
    }
    start = end + 1;
  }
  if (!pending.empty()) lines.push_back(std::move(pending));
  return lines;
}

void RegistryFileParser::Run(std::string_view text) {
  std::vector<std::string> lines = LogicalLines(text);
  size_t first = 0;
  while (first < lines.size() && Trim(lines[first]).empty()) ++first;
  if (first == lines.size()) {
    error_ = "empty registry file";
    return;
  }
  std::string_view header = Trim(lines[first]);
  if (header == kHeader5) {
    unicode_ = true;
  } else if (header == kHeader4) {
    unicode_ = false;
  } else {
    error_ = "not a registry export file";
    return;
  }
  for (size_t i = first + 1; i < lines.size(); ++i) HandleLine(lines[i], i + 1);
}

void RegistryFileParser::HandleLine(const std::string& line, size_t number) {
  lineNumber_ = number;
  std::string_view text = Trim(line);
  if (text.empty() || text.front() == ';') return;
  if (text.front() == '[') {
    if (text.back() != ']' || text.size() < 3) {
      current_ = nullptr;
      Fail("malformed key line");
      return;
    }
    bool remove = text[1] == '-';
    OpenKey(text.substr(remove ? 2 : 1, text.size() - (remove ? 3 : 2)), remove);
    return;
  }
  if (current_ == nullptr) {
    Fail("value outside a key");
    return;
  }
  HandleValue(std::string(text));
}

void RegistryFileParser::OpenKey(std::string_view path, bool remove) {
  current_ = nullptr;
  RegistryTree::Node* node = &tree_.root_;
  std::string_view rest = path;
  while (!rest.empty()) {
    size_t cut = rest.find('\\');
    std::string_view part = rest.substr(0, cut);
    rest = cut == std::string_view::npos ? std::string_view() : rest.substr(cut + 1);
    if (part.empty()) {
      Fail("empty key name");
      return;
    }
    std::string lower = winpath::ToLowerAscii(part);
    if (lower == "hklm") lower = "hkey_local_machine";
    auto found = node->children.find(lower);
    if (remove && rest.empty()) {
      if (found != node->children.end()) node->children.erase(found);
      return;
    }
    if (found == node->children.end()) {
      if (remove) return;
      auto child = std::make_unique<RegistryTree::Node>();
      child->name = std::string(part);
      found = node->children.emplace(lower, std::move(child)).first;
    }
    node = found->second.get();
  }
  if (node != &tree_.root_) current_ = node;
}

void RegistryFileParser::HandleValue(const std::string& line) {
  std::string name;
  size_t pos = 0;
  if (line[0] == '@') {
    pos = 1;
  } else {
    std::optional<std::string> quoted = ReadRegistryQuoted(line, pos);
    if (!quoted) {
      Fail("malformed value name");
      return;
    }
    name = *quoted;
  }
  std::string_view rest = Trim(std::string_view(line).substr(pos));
  if (rest.empty() || rest.front() != '=') {
    Fail("value without '='");
    return;
  }
  rest = Trim(rest.substr(1));
  std::string key = winpath::ToLowerAscii(name);
  if (rest == "-") {
    current_->values.erase(key);
    return;
  }
  std::optional<RegistryValue> value = ParseData(rest);
  if (!value) {
    Fail("malformed value data for \"" + name + "\"");
    return;
  }
  current_->values[key] = std::move(*value);
}

std::optional<RegistryValue> RegistryFileParser::ParseData(std::string_view data) {
  if (!data.empty() && data.front() == '"') {
    size_t pos = 0;
    std::optional<std::string> text = ReadRegistryQuoted(data, pos);
    if (!text || !Trim(data.substr(pos)).empty()) return std::nullopt;
    return RegistryValue{kRegSz, StringBytes(*text)};
  }
  if (data.substr(0, 6) == "dword:") {
    std::optional<uint32_t> number = ParseHexNumber(data.substr(6), 8);
    if (!number) return std::nullopt;
    std::string bytes(4, '\0');
    for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((*number >> (8 * i)) & 0xFF);
    return RegistryValue{kRegDword, bytes};
  }
  if (data.substr(0, 4) == "hex:") return ParseHex(kRegBinary, data.substr(4));
  if (data.substr(0, 4) == "hex(") {
    size_t close = data.find("):");
    if (close == std::string_view::npos) return std::nullopt;
    std::optional<uint32_t> type = ParseHexNumber(data.substr(4, close - 4), 8);
    if (!type) return std::nullopt;
    return ParseHex(*type, data.substr(close + 2));
  }
  return std::nullopt;
}

std::optional<RegistryValue> RegistryFileParser::ParseHex(uint32_t type, std::string_view list) {
  std::string bytes;
  std::string_view rest = Trim(list);
  while (!rest.empty()) {
    size_t comma = rest.find(',');
    std::optional<uint32_t> byte = ParseHexNumber(Trim(rest.substr(0, comma)), 2);
    if (!byte) return std::nullopt;
    bytes.push_back(static_cast<char>(*byte));
    rest = comma == std::string_view::npos ? std::string_view() : Trim(rest.substr(comma + 1));
  }
  if (IsStringType(type)) {
    // Strings are kept as UTF-8, so a query reports the size a narrow-character read would.
    if (unicode_) {
      bytes = Utf16LeToUtf8(bytes);
    } else if (!IsValidUtf8(bytes)) {
      bytes = Windows1252ToUtf8(bytes);
    }
  }
  return RegistryValue{type, bytes};
}

}  // namespace platform
