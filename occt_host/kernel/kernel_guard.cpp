#include "kernel/kernel_guard.h"

#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Standard_Failure.hxx>

#include <exception>

namespace occt_host {

namespace {

// Short enough for the string's own buffer, so that setting it cannot allocate.
constexpr const char* kOutOfMemory = "out of memory";

std::string& lastFailure() noexcept {
  thread_local std::string text;
  return text;
}

std::string describe(const Standard_Failure& failure) {
  std::string text = failure.DynamicType()->Name();
  const char* message = failure.GetMessageString();
  if (message && *message) text += std::string(": ") + message;
  return text;
}

// The readable text of the exception being handled; may throw only std::bad_alloc.
std::string describeCurrent() {
  std::string text;
  try {
    throw;
  } catch (const Standard_Failure& failure) {
    text = describe(failure);
  } catch (const std::exception& e) {
    text = e.what();
  } catch (...) {
    text = "unknown exception in the modelling kernel";
  }
  if (text.empty()) text = "the modelling kernel failed without a message";
  return text;
}

}  // namespace

const std::string& lastKernelFailure() noexcept {
  return lastFailure();
}

void clearKernelFailure() noexcept {
  lastFailure().clear();
}

namespace guard_detail {

void noteFailure(std::string* error) noexcept {
  std::string& last = lastFailure();
  try {
    last = describeCurrent();
  } catch (...) {
    // Composing the text failed (out of memory); an older reason must not stand for this one.
    last.clear();
    try {
      last = kOutOfMemory;
    } catch (...) {
    }
  }
  if (!error) return;
  try {
    *error = last;
  } catch (...) {
    // The status still says failed; the thread's reason holds the text.
  }
}

}  // namespace guard_detail

bool runGuarded(const std::function<void()>& work, std::string& error) noexcept {
  return runGuarded<const std::function<void()>&>(work, error);
}

void quietKernelMessages() noexcept {
  // Printing noise is harmless; a failure here leaves nothing to report.
  runGuarded([] { Message::DefaultMessenger()->ChangePrinters().Clear(); });
}

}  // namespace occt_host
