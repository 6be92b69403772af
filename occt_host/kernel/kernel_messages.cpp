#include "occt_host/kernel/kernel_messages.h"

#include <Message.hxx>
#include <Message_Messenger.hxx>
#include <Message_Printer.hxx>
#include <Message_PrinterOStream.hxx>
#include <TCollection_AsciiString.hxx>

namespace occt_host {

namespace {

// One message a line, as the kernel's own console printer writes them.
class FilePrinter : public Message_Printer {
 public:
  explicit FilePrinter(std::FILE* stream) : stream_(stream) {}

 protected:
  void send(const TCollection_AsciiString& text, const Message_Gravity) const override {
    std::fwrite(text.ToCString(), 1, static_cast<std::size_t>(text.Length()), stream_);
    std::fputc('\n', stream_);
    std::fflush(stream_);
  }

 private:
  std::FILE* stream_;
};

}  // namespace

void sendKernelMessagesTo(std::FILE* stream) {
  const Handle(Message_Messenger)& messenger = Message::DefaultMessenger();
  messenger->ChangePrinters().Clear();
  if (stream) {
    messenger->AddPrinter(new FilePrinter(stream));
  } else {
    messenger->AddPrinter(new Message_PrinterOStream());
  }
}

}  // namespace occt_host
