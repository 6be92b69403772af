#pragma once

#include <string>
#include <vector>

#include "platform/clock.h"

namespace vantrel::testing {

// A fresh temporary directory per test, removed afterwards.
std::string MakeTempDir();
void RemoveTree(const std::string& path);
std::vector<std::string> ReadLines(const std::string& file);
platform::LocalTime FixedTime(unsigned year, unsigned month, unsigned day, unsigned hour,
                              unsigned minute, unsigned second, unsigned millisecond);
// The prefix a line written now by this thread has with the given clock reading.
std::string ExpectedPrefix(const platform::LocalTime& t, const char* level, const char* component);
// A log line with its time, pid and tid replaced by fixed marks.
std::string MaskLine(const std::string& line);

}  // namespace vantrel::testing
