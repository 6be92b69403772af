// STEP insertion: a complete base64 transfer written to a file and pasted into the active document.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/automation.h"
#include "vantrel/transfer_services.h"

namespace vantrel {

struct StepInsertResult {
  bool inserted = false;
  std::string message;
};

// The automation runtime's two libraries, by file name.
struct AutomationRuntimeNames {
  std::string ole32 = platform::automation::kOle32Library;
  std::string oleaut32 = platform::automation::kOleAut32Library;
};

// The programmatic identifier of the running application that STEP files are inserted into.
inline constexpr char kApplicationProgId[] = "CATIA.Application";

// Decodes one chunk of strict base64 (RFC 4648 alphabet, '=' fill only at the chunk's end,
// length a multiple of 4, nothing else, no white space). `bytes` is cleared first.
bool DecodeBase64Chunk(std::string_view text, std::vector<unsigned char>& bytes);

// Inserts the STEP file at `path` into the active Part (as a pasted result without link) or
// Product (as new components) of the running application, reached by late-bound automation,
// and fits the view. The message says what happened.
StepInsertResult InsertStepFile(const std::string& path,
                                const AutomationRuntimeNames& runtime = {});

using StepFileInserter = std::function<StepInsertResult(const std::string& path)>;

// Writes the decoded chunks into a new temporary file with the name's STEP extension, hands it
// to `insert` (InsertStepFile when empty), logs the insertion's message and deletes the file.
// True when the file was written and handed on, whatever the insertion's outcome.
bool InsertBase64Step(const std::string& name, const std::vector<std::string>& chunks,
                      const StepFileInserter& insert = {});

// The protocol's STEP inserter: InsertBase64Step with InsertStepFile.
class StepInsertion : public StepPayloadInserter {
 public:
  bool InsertStep(const std::string& name, const std::vector<std::string>& chunks) override {
    return InsertBase64Step(name, chunks);
  }
};

}  // namespace vantrel
