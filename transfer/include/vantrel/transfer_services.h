// What the transfer protocol hands complete payloads to.
#pragma once

#include <string>
#include <vector>

namespace vantrel {

// Receives complete "json" payloads to draw (the transfer processor). Nothing comes back.
class JsonPayloadProcessor {
 public:
  virtual ~JsonPayloadProcessor() = default;
  virtual void DrawJson(const std::string& json) = 0;
};

// Inserts a complete "base64" transfer as a STEP file; the chunks come in index order.
class StepPayloadInserter {
 public:
  virtual ~StepPayloadInserter() = default;
  virtual bool InsertStep(const std::string& name, const std::vector<std::string>& chunks) = 0;
};

// Where complete payloads go; a missing inserter makes every base64 transfer fail.
struct TransferServices {
  JsonPayloadProcessor* processor = nullptr;
  StepPayloadInserter* stepInserter = nullptr;
};

}  // namespace vantrel
