#include "entry/import_result.h"

#include <cstring>

namespace kestrun {

void copyText(char* field, std::size_t size, std::string_view text) {
  std::memset(field, 0, size);
  const std::size_t n = text.size() < size - 1 ? text.size() : size - 1;
  std::memcpy(field, text.data(), n);
}

void ImportResult::clear() {
  record_->status = 0;
  record_->errorCode = 0;
  record_->hasWarnings = 0;
  record_->createdCount = 0;
  std::memset(record_->message, 0, sizeof record_->message);
  std::memset(record_->warning, 0, sizeof record_->warning);
}

std::int32_t ImportResult::fail(std::int32_t code, std::string_view message) {
  record_->status = kStatusFailed;
  record_->errorCode = code;
  setMessage(message);
  return kStatusFailed;
}

void ImportResult::setSuccess(std::string_view message) {
  if (record_->status != kStatusWarnings) record_->status = kStatusSuccess;
  record_->errorCode = 0;
  setMessage(message);
}

void ImportResult::setMessage(std::string_view message) {
  copyText(record_->message, sizeof record_->message, message);
}

void ImportResult::addWarning(std::string_view text) {
  record_->hasWarnings = 1;
  if (record_->status == kStatusSuccess) record_->status = kStatusWarnings;
  if (warningEmpty()) copyText(record_->warning, sizeof record_->warning, text);
}

void ImportResult::overwriteWarning(std::string_view text) {
  copyText(record_->warning, sizeof record_->warning, text);
}

void ImportResult::fillEmptyWarning(std::string_view text) {
  if (warningEmpty()) copyText(record_->warning, sizeof record_->warning, text);
}

}  // namespace kestrun
