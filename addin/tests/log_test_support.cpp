#include "log_test_support.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "platform/process.h"
#include "platform/temp_files.h"

namespace vantrel::testing {

std::string MakeTempDir() {
  std::optional<std::string> dir =
      platform::CreateUniqueTempDirectory(*platform::TempPath(), "vantrel-test-");
  return dir.value_or("");
}

void RemoveTree(const std::string& path) {
  std::error_code ignored;
  if (!path.empty()) std::filesystem::remove_all(path, ignored);
}

std::vector<std::string> ReadLines(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    // The log writes in text mode: on Windows its lines end in CR LF.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

platform::LocalTime FixedTime(unsigned year, unsigned month, unsigned day, unsigned hour,
                              unsigned minute, unsigned second, unsigned millisecond) {
  platform::LocalTime t;
  t.year = year;
  t.month = month;
  t.day = day;
  t.hour = hour;
  t.minute = minute;
  t.second = second;
  t.millisecond = millisecond;
  return t;
}

std::string ExpectedPrefix(const platform::LocalTime& t, const char* level, const char* component) {
  char buffer[512];
  std::snprintf(buffer, sizeof buffer,
                "%04u-%02u-%02u %02u:%02u:%02u.%03u level=%s component=%s pid=%lu tid=%lu message=",
                t.year, t.month, t.day, t.hour, t.minute, t.second, t.millisecond, level, component,
                static_cast<unsigned long>(platform::ProcessId()),
                static_cast<unsigned long>(platform::ThreadId()));
  return buffer;
}

namespace {

bool DigitsAt(const std::string& text, size_t pos, size_t count) {
  if (pos + count > text.size()) return false;
  for (size_t i = pos; i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
  }
  return true;
}

// "2026-03-04 05:06:07.089 " at the start of a line.
bool HasTimestamp(const std::string& line) {
  static const char kShape[] = "dddd-dd-dd dd:dd:dd.ddd ";
  if (line.size() < sizeof kShape - 1) return false;
  for (size_t i = 0; i + 1 < sizeof kShape; ++i) {
    if (kShape[i] == 'd' ? !DigitsAt(line, i, 1) : line[i] != kShape[i]) return false;
  }
  return true;
}

// Replaces the digits after `key` (searched from `from`) by `mark`; npos when absent.
size_t MaskNumber(std::string& line, const std::string& key, size_t from, const char* mark) {
  size_t at = line.find(key, from);
  if (at == std::string::npos) return at;
  size_t digits = at + key.size();
  size_t end = digits;
  while (end < line.size() && line[end] >= '0' && line[end] <= '9') ++end;
  if (end == digits) return std::string::npos;
  line.replace(digits, end - digits, mark);
  return digits;
}

}  // namespace

std::string MaskLine(const std::string& line) {
  if (!HasTimestamp(line)) return line;
  std::string masked = "TIME " + line.substr(24);
  size_t pid = MaskNumber(masked, " pid=", 0, "P");
  if (pid == std::string::npos) return line;
  if (MaskNumber(masked, " tid=", pid, "T") == std::string::npos) return line;
  return masked;
}

}  // namespace vantrel::testing
