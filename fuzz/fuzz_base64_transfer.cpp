// Runs packets (one per input line) through the protocol with the real base64 STEP insertion:
// every file handed on must hold exactly the decoded chunks, be readable by its owner only,
// carry the name's STEP extension, and be gone afterwards, whatever the packets were. The file
// then goes to the real automation insertion, which finds no running application here.
#include <sys/stat.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "platform/debug_output.h"
#include "platform/directories.h"
#include "platform/environment.h"
#include "platform/temp_files.h"
#include "vantrel/step_insertion.h"
#include "vantrel/transfer_protocol.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

std::string Folder() {
  static const std::string folder = [] {
    std::string made =
        platform::CreateUniqueTempDirectory(*platform::TempPath(), "fuzz-b64-").value_or("/tmp");
    platform::SetEnv("TMPDIR", made);
    return made;
  }();
  return folder;
}

// No temporary file may outlive its insertion: the folder must still be removable.
bool FolderIsEmpty(const std::string& folder) {
  return ::rmdir(folder.c_str()) == 0 && platform::CreateDirectory(folder);
}

class CheckingInserter : public vantrel::StepPayloadInserter {
 public:
  bool InsertStep(const std::string& name, const std::vector<std::string>& chunks) override {
    std::string expected;
    bool decodable = !chunks.empty();
    std::vector<unsigned char> bytes;
    for (const std::string& chunk : chunks) {
      decodable = decodable && vantrel::DecodeBase64Chunk(chunk, bytes);
      expected.append(bytes.begin(), bytes.end());
    }
    bool handedOn = false;
    std::string seenPath;
    const bool ok = vantrel::InsertBase64Step(name, chunks, [&](const std::string& path) {
      handedOn = true;
      seenPath = path;
      struct stat info {};
      Check(::stat(path.c_str(), &info) == 0 && (info.st_mode & 0777) == 0600);
      std::ifstream in(path, std::ios::binary);
      const std::string written((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
      Check(written == expected);
      return vantrel::InsertStepFile(path);
    });
    Check(ok == handedOn);
    if (ok) {
      Check(decodable && !expected.empty());
      Check(!platform::FileExists(seenPath));
    }
    return ok;
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  platform::SetDebugOutputEnabled(false);
  const std::string folder = Folder();
  vantrel::TransferLimits limits;
  limits.maxOpenTransfers = 8;
  limits.maxChunkBytes = 4096;
  limits.maxHeldBytes = 65536;
  vantrel::TransferTable table(limits);
  CheckingInserter inserter;
  vantrel::TransferServices services{nullptr, &inserter};
  std::string_view input(reinterpret_cast<const char*>(data), size);
  while (!input.empty()) {
    size_t end = input.find('\n');
    std::string_view packet = input.substr(0, end);
    input = end == std::string_view::npos ? std::string_view() : input.substr(end + 1);
    vantrel::HandleTransferPacket(table, packet, services);
  }
  Check(FolderIsEmpty(folder));
  return 0;
}
