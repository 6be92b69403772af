#include "processor_test_support.h"

#include <dlfcn.h>

#include "host/part.h"
#include "occt_host/kernel/inspect.h"
#include "platform/environment.h"
#include "vantrel/chunk_hash.h"

namespace vantrel::testing {

const char kCirclePartJson[] =
    R"({"flatNode":[{"type":"sketch","id":"s","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],)"
    R"("geometries":[{"type":"circle","center":{"x":0,"y":0},"radius":10}]},)"
    R"({"type":"extrude","id":"e","sketchId":"s","n1Height":20}]})";

void ProcessorTest::SetUp() {
  ProtocolTest::SetUp();
  ASSERT_TRUE(platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", KESTRUN_MODULE_PATH));
  TransferDataProcessor::SetDrawDelayMs(0);
}

void ProcessorTest::TearDown() {
  platform::UnsetEnv("TOLVANE_MARDEL_CORE_DLL");
  TransferDataProcessor::SetDrawDelayMs(0);
  ProtocolTest::TearDown();
}

TransferOutcome ProcessorTest::SendChunked(const std::string& name, const std::string& json,
                                           size_t chunkChars, bool report) {
  const size_t count = (json.size() + chunkChars - 1) / chunkChars;
  HandleTransferPacket(table_, Packet("transferLargeStart", StartBody(name, int(count)), "json"),
                       drawing_);
  for (size_t i = 0; i < count; ++i) {
    const std::string chunk = json.substr(i * chunkChars, chunkChars);
    HandleTransferPacket(
        table_,
        Packet("transferLargeData", DataBody(name, int(i), chunk, ChunkHash(chunk)), "json"),
        drawing_);
  }
  std::string end = Packet("transferLargeEnd", EndBody(name), "json");
  if (report) end.insert(end.size() - 1, ",\"report\":true");
  return HandleTransferPacket(table_, end, drawing_);
}

std::vector<std::string> ProcessorTest::TakeProcessorLog() {
  std::vector<std::string> lines;
  for (const std::string& line : TakeLog()) {
    if (line.rfind("INFO transfer.processor ", 0) == 0) lines.push_back(line);
  }
  return lines;
}

std::vector<std::string> ProcessorTest::Messages(const std::vector<std::string>& lines) {
  std::vector<std::string> messages;
  for (const std::string& line : lines) {
    const std::string prefix = "INFO transfer.processor ";
    messages.push_back(line.rfind(prefix, 0) == 0 ? line.substr(prefix.size()) : line);
  }
  return messages;
}

bool ModuleLoaded(const std::string& path) {
  void* handle = ::dlopen(path.c_str(), RTLD_NOW | RTLD_NOLOAD);
  if (handle == nullptr) return false;
  ::dlclose(handle);
  return true;
}

}  // namespace vantrel::testing
