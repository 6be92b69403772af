// The outcome of one import call, written through to the caller's result record.
#pragma once

#include <cstdint>
#include <string_view>

#include "kestrun/kestrun.h"

namespace kestrun {

constexpr std::int32_t kStatusSuccess = MARDEL_STATUS_SUCCESS;
constexpr std::int32_t kStatusWarnings = MARDEL_STATUS_WARNINGS;
constexpr std::int32_t kStatusFailed = MARDEL_STATUS_FAILED;

constexpr std::int32_t kCodeInput = MARDEL_CODE_INPUT;
constexpr std::int32_t kCodeDocument = MARDEL_CODE_DOCUMENT;
constexpr std::int32_t kCodeSketch = MARDEL_CODE_SKETCH;
constexpr std::int32_t kCodeFeature = MARDEL_CODE_FEATURE;
constexpr std::int32_t kCodeUpdate = MARDEL_CODE_UPDATE;

// Writes go to the caller's record when there is one, else to a private record, so
// that the status is known either way and the caller's memory is touched only if given.
class ImportResult {
 public:
  explicit ImportResult(MardelImportResult* out) : record_(out ? out : &local_) {}
  ImportResult(const ImportResult&) = delete;
  ImportResult& operator=(const ImportResult&) = delete;

  void clear();
  // Sets status 2 with the code and message; returns 2.
  std::int32_t fail(std::int32_t code, std::string_view message);
  void setSuccess(std::string_view message);
  void setMessage(std::string_view message);
  void setCreatedCount(std::uint32_t count) { record_->createdCount = count; }
  // A warning raises status 0 to 1; only the first one's text is kept.
  void addWarning(std::string_view text);
  // Notes that replace whatever warning text is there.
  void overwriteWarning(std::string_view text);
  void setStatus(std::int32_t status) { record_->status = status; }
  void setHasWarnings() { record_->hasWarnings = 1; }
  // Fills the warning text only while it is empty; status and flag stay.
  void fillEmptyWarning(std::string_view text);

  std::int32_t status() const { return record_->status; }
  std::int32_t errorCode() const { return record_->errorCode; }
  bool warningEmpty() const { return record_->warning[0] == '\0'; }
  const MardelImportResult& record() const { return *record_; }

 private:
  MardelImportResult local_{};
  MardelImportResult* record_;
};

// Copies at most size-1 bytes and terminates; the rest of the field stays zero.
void copyText(char* field, std::size_t size, std::string_view text);

}  // namespace kestrun
