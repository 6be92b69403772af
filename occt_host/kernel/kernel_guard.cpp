#include "kernel/kernel_guard.h"

#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Standard_Failure.hxx>

#include <exception>

namespace occt_host {

namespace {

std::string describe(const Standard_Failure& failure) {
  std::string text = failure.DynamicType()->Name();
  const char* message = failure.GetMessageString();
  if (message && *message) text += std::string(": ") + message;
  return text;
}

}  // namespace

bool runGuarded(const std::function<void()>& work, std::string& error) noexcept {
  try {
    try {
      work();
      return true;
    } catch (const Standard_Failure& failure) {
      error = describe(failure);
    } catch (const std::exception& e) {
      error = e.what();
    } catch (...) {
      error = "unknown exception in the modelling kernel";
    }
    if (error.empty()) error = "the modelling kernel failed without a message";
  } catch (...) {
    // Even composing the text failed (out of memory); the status still says failed.
  }
  return false;
}

void quietKernelMessages() noexcept {
  try {
    const Handle(Message_Messenger)& messenger = Message::DefaultMessenger();
    messenger->ChangePrinters().Clear();
  } catch (...) {
    // Printing noise is harmless; nothing to report.
  }
}

}  // namespace occt_host
