#pragma once

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "vantrel/transfer_protocol.h"

namespace vantrel::testing {

std::string Packet(const std::string& cmd, const std::string& data,
                   const std::optional<std::string>& mode = std::nullopt);
std::string StartBody(const std::string& name, int size);
std::string DataBody(const std::string& name, int index, const std::string& chunk,
                     const std::optional<std::string>& hash = std::nullopt);
std::string EndBody(const std::string& name);

class RecordingProcessor : public JsonPayloadProcessor {
 public:
  void DrawJson(const std::string& json) override { drawn.push_back(json); }
  std::vector<std::string> drawn;
};

class RecordingInserter : public StepPayloadInserter {
 public:
  bool InsertStep(const std::string& name, const std::vector<std::string>& chunks) override {
    calls.emplace_back(name, chunks);
    return succeed;
  }
  bool succeed = true;
  std::vector<std::pair<std::string, std::vector<std::string>>> calls;
};

// One panel window's transfer state with recording services and a log kept in a temporary
// folder (fixed clock), so that log lines can be compared with time and ids masked.
class ProtocolTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;
  TransferOutcome Send(const std::string& packet);
  // Log lines since the last call, as "LEVEL component message".
  std::vector<std::string> TakeLog();

  TransferTable table_;
  RecordingProcessor processor_;
  RecordingInserter inserter_;
  TransferServices services_{&processor_, &inserter_};
  std::string dir_;
  size_t logLinesSeen_ = 0;
};

}  // namespace vantrel::testing
