#include "platform/directories.h"
#include "platform/temp_files.h"
#include "platform/windows_path.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/step_insertion.h"

namespace vantrel {
namespace {

constexpr char kComponent[] = "transfer.processor";
constexpr size_t kMaxTempPathChars = 260;

void Log(const std::string& message) {
  WriteLog(kLogInfo, kComponent, message);
}

// ".step" or ".stp" from the name's last '.', lower-cased; empty for anything else.
std::string StepExtension(const std::string& name) {
  const size_t dot = name.find_last_of('.');
  if (dot == std::string::npos) return {};
  const std::string extension = platform::winpath::ToLowerAscii(name.substr(dot));
  return extension == ".step" || extension == ".stp" ? extension : std::string();
}

enum class WriteOutcome { Written, DecodeFailed, WriteFailed };

WriteOutcome WriteChunks(platform::NewFile& file, const std::vector<std::string>& chunks,
                         size_t& written) {
  std::vector<unsigned char> bytes;
  for (const std::string& chunk : chunks) {
    if (!DecodeBase64Chunk(chunk, bytes)) {
      Log("TransferDataProcessor::Base64StepDecodeFailed");
      return WriteOutcome::DecodeFailed;
    }
    if (!file.Write(bytes.data(), bytes.size())) {
      Log("TransferDataProcessor::Base64StepWriteFailed");
      return WriteOutcome::WriteFailed;
    }
    written += bytes.size();
  }
  return WriteOutcome::Written;
}

}  // namespace

bool InsertBase64Step(const std::string& name, const std::vector<std::string>& chunks,
                      const StepFileInserter& insert) {
  const std::string extension = StepExtension(name);
  if (extension.empty() || chunks.empty()) {
    Log("TransferDataProcessor::Base64StepInvalidMetadata");
    return false;
  }
  std::optional<std::string> folder = platform::TempPath();
  if (!folder || folder->empty() || folder->size() > kMaxTempPathChars) {
    Log("TransferDataProcessor::Base64StepTempPathFailed");
    return false;
  }
  // The unique name is made with its STEP extension in one exclusive creation, so that no other
  // process can slip a file or a link in under it between naming and creating.
  platform::NewFile file;
  if (!file.CreateUnique(*folder, "aps", extension)) {
    Log("TransferDataProcessor::Base64StepCreateFileFailed");
    return false;
  }
  const std::string path = file.Path();
  size_t written = 0;
  WriteOutcome outcome = WriteOutcome::WriteFailed;
  try {
    outcome = WriteChunks(file, chunks, written);
  } catch (...) {
    // Out of memory for a chunk's bytes: the file goes like any other failed write.
  }
  if (!file.Close() && outcome == WriteOutcome::Written) {
    Log("TransferDataProcessor::Base64StepWriteFailed");
    outcome = WriteOutcome::WriteFailed;
  }
  if (outcome != WriteOutcome::Written || written == 0) {
    platform::RemoveFile(path);
    return false;
  }
  Log("TransferDataProcessor::Base64StepFileReady");
  StepInsertResult result;
  try {
    result = insert ? insert(path) : InsertStepFile(path);
  } catch (...) {
    result = StepInsertResult{false, "Insert STEP file failed (HRESULT=0x80004005)"};
  }
  Log(result.message);
  if (!platform::RemoveFile(path)) Log("TransferDataProcessor::Base64StepCleanupFailed");
  return true;
}

}  // namespace vantrel
