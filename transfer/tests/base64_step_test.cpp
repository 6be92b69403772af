#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/environment.h"
#include "protocol_test_support.h"
#include "vantrel/step_insertion.h"

namespace vantrel::testing {
namespace {

std::string Bytes(const std::vector<unsigned char>& bytes) {
  return std::string(bytes.begin(), bytes.end());
}

TEST(DecodeBase64Chunk, DecodesGroupsAndFills) {
  std::vector<unsigned char> bytes;
  ASSERT_TRUE(DecodeBase64Chunk("QUJD", bytes));
  EXPECT_EQ(Bytes(bytes), "ABC");
  ASSERT_TRUE(DecodeBase64Chunk("QUI=", bytes));
  EXPECT_EQ(Bytes(bytes), "AB");
  ASSERT_TRUE(DecodeBase64Chunk("QQ==", bytes));
  EXPECT_EQ(Bytes(bytes), "A");
  ASSERT_TRUE(DecodeBase64Chunk("+/+/", bytes));
  EXPECT_EQ(bytes, (std::vector<unsigned char>{0xFB, 0xFF, 0xBF}));
}

TEST(DecodeBase64Chunk, RefusesAnythingNotStrictBase64) {
  std::vector<unsigned char> bytes = {1};
  for (const char* text : {"", "QUJ", "QUJDR", "QUJ\nD", "QUJD\n", "QU JD", "QQ==QUJD",
                           "Q===", "QU=D", "=QUJ", "Q=JD", "QUJ-", "QUJ_", "QUJ\xC3"}) {
    EXPECT_FALSE(DecodeBase64Chunk(text, bytes)) << text;
    EXPECT_TRUE(bytes.empty()) << text;
  }
}

// The protocol test's log and a temporary folder of the test's own.
class Base64StepTest : public ProtocolTest {
 protected:
  void SetUp() override {
    ProtocolTest::SetUp();
    tmp_ = dir_ + "/tmp";
    std::filesystem::create_directory(tmp_);
    saved_ = platform::GetEnv("TMPDIR");
    platform::SetEnv("TMPDIR", tmp_);
  }
  void TearDown() override {
    if (saved_) {
      platform::SetEnv("TMPDIR", *saved_);
    } else {
      platform::UnsetEnv("TMPDIR");
    }
    ProtocolTest::TearDown();
  }
  // Inserts through a recorder that keeps what the file held when it was handed on.
  bool Insert(const std::string& name, const std::vector<std::string>& chunks) {
    return InsertBase64Step(name, chunks, [this](const std::string& path) {
      path_ = path;
      std::ifstream in(path, std::ios::binary);
      content_.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
      struct stat info {};
      mode_ = ::stat(path.c_str(), &info) == 0 ? (info.st_mode & 0777) : 0;
      return StepInsertResult{true, "inserted by the test"};
    });
  }
  std::vector<std::string> Messages() {
    std::vector<std::string> messages;
    for (const std::string& line : TakeLog()) {
      const std::string prefix = "INFO transfer.processor ";
      if (line.rfind(prefix, 0) == 0) messages.push_back(line.substr(prefix.size()));
    }
    return messages;
  }
  bool TempFolderEmpty() const { return std::filesystem::is_empty(tmp_); }

  std::string tmp_;
  std::optional<std::string> saved_;
  std::string path_, content_;
  unsigned mode_ = 0;
};

TEST_F(Base64StepTest, WritesTheDecodedChunksIntoAnOwnerOnlyFileAndDeletesIt) {
  ASSERT_TRUE(Insert("model.step", {"QUJD", "REVG"}));
  EXPECT_EQ(content_, "ABCDEF");
  EXPECT_EQ(mode_, 0600u);
  EXPECT_EQ(path_.rfind(tmp_ + "/aps", 0), 0u) << path_;
  EXPECT_EQ(path_.substr(path_.size() - 5), ".step");
  EXPECT_TRUE(TempFolderEmpty());
  EXPECT_EQ(Messages(), (std::vector<std::string>{"TransferDataProcessor::Base64StepFileReady",
                                                  "inserted by the test"}));
  ASSERT_TRUE(Insert("m.step", {"QUI="}));
  EXPECT_EQ(content_, "AB");
}

TEST_F(Base64StepTest, TakesTheExtensionFromTheNameInLowerCase) {
  ASSERT_TRUE(Insert("PART.STP", {"QUJD"}));
  EXPECT_EQ(path_.substr(path_.size() - 4), ".stp");
  for (const char* refused : {"part.step.txt", "part", "step", "part.st"}) {
    path_.clear();
    Messages();
    EXPECT_FALSE(Insert(refused, {"QUJD"})) << refused;
    EXPECT_TRUE(path_.empty());
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"TransferDataProcessor::Base64StepInvalidMetadata"}));
  }
  EXPECT_FALSE(Insert("part.step", {}));
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"TransferDataProcessor::Base64StepInvalidMetadata"}));
}

TEST_F(Base64StepTest, ABadChunkStopsTheTransferAndDeletesTheFile) {
  for (const std::vector<std::string>& chunks : std::vector<std::vector<std::string>>{
           {"QUJD", "QUJ\nD"}, {"QUJDR"}, {"QQ==QUJD"}, {"QUJD", ""}}) {
    path_.clear();
    Messages();
    EXPECT_FALSE(Insert("a.step", chunks));
    EXPECT_TRUE(path_.empty());
    EXPECT_TRUE(TempFolderEmpty());
    EXPECT_EQ(Messages(),
              (std::vector<std::string>{"TransferDataProcessor::Base64StepDecodeFailed"}));
  }
}

TEST_F(Base64StepTest, AFolderThatCannotTakeTheFileFailsCleanly) {
  platform::SetEnv("TMPDIR", dir_ + "/no-such-folder");
  EXPECT_FALSE(Insert("a.step", {"QUJD"}));
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"TransferDataProcessor::Base64StepCreateFileFailed"}));
  platform::SetEnv("TMPDIR", "/" + std::string(300, 'x'));
  EXPECT_FALSE(Insert("a.step", {"QUJD"}));
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"TransferDataProcessor::Base64StepTempPathFailed"}));
}

TEST_F(Base64StepTest, FileChecksComeBeforeAutomation) {
  EXPECT_EQ(InsertStepFile(tmp_ + "/a.txt").message, "Select a .step or .stp file.");
  EXPECT_EQ(InsertStepFile(tmp_ + "/missing.step").message,
            "The STEP file path does not exist or is not a file.");
  std::filesystem::create_directory(tmp_ + "/folder.step");
  EXPECT_EQ(InsertStepFile(tmp_ + "/folder.step").message,
            "The STEP file path does not exist or is not a file.");
  std::ofstream(tmp_ + "/a.stp") << "ISO-10303-21;";
  AutomationRuntimeNames missing{"libNoSuchOle32.so", "libNoSuchOleAut32.so"};
  StepInsertResult result = InsertStepFile(tmp_ + "/a.stp", missing);
  EXPECT_FALSE(result.inserted);
  EXPECT_EQ(result.message, "Windows Automation services are unavailable.");
  // The runtime is there but no application runs: its class is unknown (CO_E_CLASSSTRING) or,
  // after an earlier registration in this process, not running (MK_E_UNAVAILABLE).
  result = InsertStepFile(tmp_ + "/a.stp");
  EXPECT_FALSE(result.inserted);
  EXPECT_TRUE(result.message == "Connect to CATIA.Application failed (HRESULT=0x800401f3)" ||
              result.message == "Connect to CATIA.Application failed (HRESULT=0x800401e3)")
      << result.message;
}

TEST_F(Base64StepTest, TheProtocolAnswersByTheFileStageOnly) {
  StepInsertion insertion;
  services_.stepInserter = &insertion;
  Send(Packet("transferLargeStart", StartBody("part.stp", 1), "base64"));
  Send(Packet("transferLargeData", DataBody("part.stp", 0, "QUJD"), "base64"));
  // No application is running: the insertion fails, the transfer still completes.
  TransferOutcome done = Send(Packet("transferLargeEnd", EndBody("part.stp"), "base64"));
  EXPECT_EQ(done.kind, TransferOutcomeKind::Completed);
  EXPECT_EQ(done.Payload(),
            "{\"type\":\"large\",\"name\":\"part.stp\",\"mode\":\"base64\",\"data\":null}");
  Send(Packet("transferLargeStart", StartBody("part.stp", 1), "base64"));
  Send(Packet("transferLargeData", DataBody("part.stp", 0, "QUJ"), "base64"));
  TransferOutcome failed = Send(Packet("transferLargeEnd", EndBody("part.stp"), "base64"));
  EXPECT_EQ(failed.kind, TransferOutcomeKind::Failed);
  EXPECT_EQ(failed.detail, "transferLargeEnd base64 STEP data could not be processed");
  EXPECT_EQ(table_.OpenCount(), 0u);
  EXPECT_TRUE(TempFolderEmpty());
}

}  // namespace
}  // namespace vantrel::testing
