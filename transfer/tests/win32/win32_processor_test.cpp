// The transfer processor and STEP insertion on Windows: Kestrun.dll loaded by path from
// Fennick\bin\ beside the module that holds the processor (this program, in the folder of
// Vantrel.dll) and called by name, drawing into a null-adapter Part; and a STEP transfer
// written to a new temporary file, handed to the automation runtime and deleted again.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "null_environment.h"
#include "platform/debug_output.h"
#include "platform/directories.h"
#include "platform/environment.h"
#include "platform/module_path.h"
#include "platform/temp_files.h"
#include "platform/windows_path.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/step_insertion.h"
#include "vantrel/transfer_data_processor.h"

namespace {

using namespace vantrel;

const char kAnchor = 0;

std::vector<std::string> LogMessages(const std::string& file) {
  std::ifstream in(file, std::ios::binary);
  std::vector<std::string> messages;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const size_t at = line.find(" message=");
    messages.push_back(at == std::string::npos ? line : line.substr(at + 9));
  }
  return messages;
}

class Win32Processor : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::SetDebugOutputEnabled(false);
    DiagnosticLog::Instance().ResetForTesting();
    dir_ = *platform::CreateUniqueTempDirectory(*platform::TempPath(), "tolvane-processor-");
    SetLogFolder(dir_);
    host::setEnvironment(&environment_);
    platform::UnsetEnv("TOLVANE_MARDEL_CORE_DLL");
  }
  void TearDown() override {
    host::setEnvironment(nullptr);
    DiagnosticLog::Instance().ResetForTesting();
    platform::UnsetEnv("TOLVANE_MARDEL_CORE_DLL");
    platform::SetDebugOutputEnabled(true);
  }
  std::vector<std::string> Messages() const {
    const platform::LocalTime t = platform::NowLocal();
    char name[32];
    std::snprintf(name, sizeof name, "%04u-%02u-%02u.log", t.year, t.month, t.day);
    return LogMessages(dir_ + "\\" + name);
  }
  bool Logged(const std::string& message) const {
    for (const std::string& m : Messages()) {
      if (m == message) return true;
    }
    return false;
  }
  win32_test::NullEnvironment environment_;
  std::string dir_;
};

TEST_F(Win32Processor, TheCoreIsFoundInFennickBinBesideTheModule) {
  const std::string folder = platform::winpath::ParentFolder(*platform::ModulePathOf(&kAnchor));
  EXPECT_EQ(TransferDataProcessor::ResolveCorePath(), folder + "\\Fennick\\bin\\Kestrun.dll");
  EXPECT_TRUE(platform::FileExists(folder + "\\Vantrel.dll"));
  EXPECT_TRUE(platform::FileExists(folder + "\\Fennick\\bin\\Kestrun.dll"));
  // Only there: nothing else could be what the draw below loads.
  EXPECT_FALSE(platform::FileExists(folder + "\\Kestrun.dll"));
}

// The null adapter's Part has no descendants capability, so the core's clearing step fails
// with its own message: proof that Kestrun.dll's draw entry ran on this document.
TEST_F(Win32Processor, APartPayloadIsDrawnThroughTheCoresExportByName) {
  TransferDataProcessor processor;
  processor.ProcessTransfer("json", R"([{"type": "sketch", "id": "s1", "name": "S"}])");
  EXPECT_TRUE(
      Logged("TransferDataProcessor::ImportStatus status=2 resultStatus=2 errorCode=100 "
             "created=0"));
  EXPECT_TRUE(Logged("CATIDescendants not available for Part clearing."));
}

TEST_F(Win32Processor, AConfiguredCorePathThatDoesNotExistIsTheLoadersFailure) {
  platform::SetEnv("TOLVANE_MARDEL_CORE_DLL", "C:\\no\\such\\folder\\Kestrun.dll");
  TransferDataProcessor processor;
  processor.ProcessTransfer("json", R"({"sequences": []})");
  EXPECT_TRUE(
      Logged("TransferDataProcessor::LoadLibraryFailed "
             "path=C:\\no\\such\\folder\\Kestrun.dll error=126"));
}

TEST_F(Win32Processor, AStepTransferIsWrittenHandedToAutomationAndDeleted) {
  std::string seenPath, seenBytes;
  const bool handled = InsertBase64Step("PART.STP", {"QUJD", "REVG"}, [&](const std::string& path) {
    seenPath = path;
    std::ifstream in(path, std::ios::binary);
    seenBytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    return InsertStepFile(path);  // the system's automation runtime, no application running
  });
  EXPECT_TRUE(handled);
  EXPECT_EQ(seenBytes, "ABCDEF");
  EXPECT_TRUE(platform::winpath::IsInsideFolder(seenPath, *platform::TempPath())) << seenPath;
  EXPECT_EQ(platform::winpath::ParentFolder(seenPath) + "\\",
            platform::winpath::ToBackslashes(*platform::TempPath()));
  EXPECT_EQ(seenPath.substr(seenPath.size() - 4), ".stp");
  EXPECT_NE(seenPath.find("\\aps"), std::string::npos);
  EXPECT_FALSE(platform::FileExists(seenPath));
  EXPECT_TRUE(Logged("TransferDataProcessor::Base64StepFileReady"));
  // ole32 and oleaut32 were there; the application is not registered in this session.
  EXPECT_TRUE(Logged("Connect to CATIA.Application failed (HRESULT=0x800401f3)"));
  EXPECT_FALSE(Logged("TransferDataProcessor::Base64StepCleanupFailed"));
}

TEST_F(Win32Processor, ABrokenChunkStopsTheTransferAndLeavesNoFile) {
  EXPECT_FALSE(InsertBase64Step("part.step", {"QUJD", "QQ==QUJD"}));
  EXPECT_TRUE(Logged("TransferDataProcessor::Base64StepDecodeFailed"));
  EXPECT_FALSE(InsertBase64Step("part.step.txt", {"QUJD"}));
  EXPECT_TRUE(Logged("TransferDataProcessor::Base64StepInvalidMetadata"));
}

}  // namespace
