#pragma once

#include <memory>
#include <string>
#include <vector>

#include "host/document.h"
#include "occt_host/session/session.h"
#include "protocol_test_support.h"
#include "vantrel/transfer_data_processor.h"

namespace vantrel::testing {

// A host session and the real processor behind the protocol; the core is named by
// TOLVANE_MARDEL_CORE_DLL (the real one unless a test names another).
class ProcessorTest : public ProtocolTest {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Sends `json` as a large "json" transfer cut into hashed chunks of `chunkChars`; its end
  // asks for the draw's report when `report` is true.
  TransferOutcome SendChunked(const std::string& name, const std::string& json, size_t chunkChars,
                              bool report = false);
  // Log lines of the processor since the last call, as "LEVEL component message".
  std::vector<std::string> TakeProcessorLog();
  // Only the protocol messages, without level and component.
  static std::vector<std::string> Messages(const std::vector<std::string>& lines);

  occt_host::Session session_;
  TransferDataProcessor drawer_;
  TransferServices drawing_{&drawer_, nullptr};
};

// Whether the loader still holds the module at `path`.
bool ModuleLoaded(const std::string& path);

// A part JSON with a sketch circle of radius 10 extruded by 20: volume π·10²·20.
extern const char kCirclePartJson[];

}  // namespace vantrel::testing
