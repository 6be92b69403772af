#include "protocol_test_support.h"

#include <filesystem>
#include <fstream>

#include "platform/debug_output.h"
#include "platform/temp_files.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/json_field_readers.h"

namespace vantrel::testing {

std::string Packet(const std::string& cmd, const std::string& data,
                   const std::optional<std::string>& mode) {
  std::string packet =
      "{\"cmd\":\"" + EscapeJsonString(cmd) + "\",\"data\":\"" + EscapeJsonString(data) + "\"";
  if (mode) packet += ",\"mode\":\"" + EscapeJsonString(*mode) + "\"";
  return packet + "}";
}

std::string StartBody(const std::string& name, int size) {
  return "{\"name\":\"" + EscapeJsonString(name) + "\",\"size\":" + std::to_string(size) + "}";
}

std::string DataBody(const std::string& name, int index, const std::string& chunk,
                     const std::optional<std::string>& hash) {
  std::string body = "{\"name\":\"" + EscapeJsonString(name) +
                     "\",\"index\":" + std::to_string(index) + ",\"data\":\"" +
                     EscapeJsonString(chunk) + "\"";
  if (hash) body += ",\"hash\":\"" + *hash + "\"";
  return body + "}";
}

std::string EndBody(const std::string& name) {
  return "{\"name\":\"" + EscapeJsonString(name) + "\"}";
}

void ProtocolTest::SetUp() {
  platform::SetDebugOutputEnabled(false);
  DiagnosticLog::Instance().ResetForTesting();
  DiagnosticLog::SetClockForTesting([] {
    platform::LocalTime t;
    t.year = 2026;
    t.month = 1;
    t.day = 2;
    return t;
  });
  dir_ = platform::CreateUniqueTempDirectory(*platform::TempPath(), "transfer-test-").value_or("");
  ASSERT_FALSE(dir_.empty());
  SetLogFolder(dir_);
}

void ProtocolTest::TearDown() {
  DiagnosticLog::SetClockForTesting(nullptr);
  DiagnosticLog::Instance().ResetForTesting();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
  platform::SetDebugOutputEnabled(true);
}

TransferOutcome ProtocolTest::Send(const std::string& packet) {
  return HandleTransferPacket(table_, packet, services_);
}

std::vector<std::string> ProtocolTest::TakeLog() {
  std::ifstream in(dir_ + "/2026-01-02.log", std::ios::binary);
  std::vector<std::string> all;
  std::string line;
  while (std::getline(in, line)) {
    // The log writes in text mode: on Windows its lines end in CR LF.
    if (!line.empty() && line.back() == '\r') line.pop_back();
    all.push_back(line);
  }
  std::vector<std::string> fresh;
  for (size_t i = logLinesSeen_; i < all.size(); ++i) {
    // "2026-01-02 00:00:00.000 level=X component=Y pid=N tid=N message=M"
    const std::string& l = all[i];
    size_t level = l.find("level=") + 6;
    size_t component = l.find(" component=", level);
    size_t pid = l.find(" pid=", component);
    size_t message = l.find(" message=", pid);
    fresh.push_back(l.substr(level, component - level) + " " +
                    l.substr(component + 11, pid - component - 11) + " " + l.substr(message + 9));
  }
  logLinesSeen_ = all.size();
  return fresh;
}

}  // namespace vantrel::testing
