#include "occt_host/automation/automation_server.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <new>
#include <stdexcept>

#include "automation/automation_dispatch.h"
#include "kernel/kernel_guard.h"
#include "occt_host/session/application_frame.h"
#include "occt_host/session/session.h"
#include "platform/automation.h"
#include "platform/temp_files.h"
#include "step_samples.h"

namespace occt_host {
namespace {

namespace automation = platform::automation;
using automation::IDispatch;
using automation::Ref;

class AutomationServerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(api_.Load());
    session_ = std::make_unique<Session>();
    ASSERT_TRUE(session_->registerForAutomation());
    ASSERT_EQ(automation::Connect(api_, kApplicationProgId, app_), automation::kOk);
    dir_ = platform::CreateUniqueTempDirectory(*platform::TempPath(), "automation-").value_or("");
  }
  void TearDown() override {
    app_.Reset();
    session_.reset();
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  // A document of `kind` in a window of its own, current in the session.
  void open(const std::string& kind) { session_->openWindow(session_->newDocument(kind)); }
  automation::HResult get(IDispatch* object, const char* name, Ref<IDispatch>& out) {
    return automation::GetObjectProperty(api_, object, name, out);
  }

  automation::AutomationApi api_;
  std::unique_ptr<Session> session_;
  Ref<IDispatch> app_;
  std::string dir_;
};

TEST_F(AutomationServerTest, UnknownNamesAndWrongCallsAnswerDispatchErrors) {
  Ref<IDispatch> out;
  EXPECT_EQ(get(app_.Get(), "NoSuchMember", out), automation::kDispUnknownName);
  // A property is not a method, and a method takes exactly its arguments.
  EXPECT_EQ(automation::CallMethod(api_, app_.Get(), "Documents"), automation::kDispMemberNotFound);
  Ref<IDispatch> documents;
  ASSERT_EQ(get(app_.Get(), "documents", documents), automation::kOk);  // any case
  EXPECT_EQ(automation::CallMethod(api_, documents.Get(), "Open"), automation::kDispBadParamCount);
  automation::Arguments notAString(api_);
  notAString.AddObject(app_.Get());
  EXPECT_EQ(automation::CallMethod(api_, documents.Get(), "Open", &notAString),
            automation::kDispTypeMismatch);
  // Failures inside the application come back as exceptions.
  EXPECT_EQ(get(app_.Get(), "ActiveDocument", out), automation::kDispException);
  automation::Arguments missing(api_);
  missing.AddString(dir_ + "/missing.step");
  EXPECT_EQ(automation::CallMethod(api_, documents.Get(), "Open", &missing),
            automation::kDispException);
}

TEST_F(AutomationServerTest, DocumentsAnswerForTheirKindOnly) {
  Ref<IDispatch> document, part, product;
  open("Product");
  ASSERT_EQ(get(app_.Get(), "ActiveDocument", document), automation::kOk);
  EXPECT_EQ(get(document.Get(), "Part", part), automation::kDispUnknownName);
  EXPECT_EQ(get(document.Get(), "Product", product), automation::kOk);
  open("Drawing");
  ASSERT_EQ(get(app_.Get(), "ActiveDocument", document), automation::kOk);
  EXPECT_EQ(get(document.Get(), "Part", part), automation::kDispUnknownName);
  EXPECT_EQ(get(document.Get(), "Product", product), automation::kDispUnknownName);
  open("Part");
  ASSERT_EQ(get(app_.Get(), "ActiveDocument", document), automation::kOk);
  EXPECT_EQ(get(document.Get(), "Part", part), automation::kOk);
}

TEST_F(AutomationServerTest, OpenedStepDocumentsJoinAndLeaveTheSession) {
  const std::string path = dir_ + "/box.stp";
  ASSERT_TRUE(testing::writeBoxStep(path, 10, 10, 10, "Box", 0, 0, 255));
  Ref<IDispatch> documents, opened, part;
  ASSERT_EQ(get(app_.Get(), "Documents", documents), automation::kOk);
  automation::Arguments file(api_);
  file.AddString(path);
  ASSERT_EQ(automation::CallMethodForObject(api_, documents.Get(), "Open", &file, opened),
            automation::kOk);
  ASSERT_EQ(session_->documents().size(), 1u);
  EXPECT_EQ(session_->documents()[0]->name(), "box");
  EXPECT_EQ(get(opened.Get(), "Part", part), automation::kOk);
  EXPECT_EQ(automation::CallMethod(api_, opened.Get(), "Close"), automation::kOk);
  EXPECT_TRUE(session_->documents().empty());
  // Closed is closed: a second close is refused.
  EXPECT_EQ(automation::CallMethod(api_, opened.Get(), "Close"), automation::kDispException);
}

TEST_F(AutomationServerTest, TheRegistrationEndsWithTheSession) {
  app_.Reset();
  session_.reset();
  Ref<IDispatch> app;
  EXPECT_EQ(automation::Connect(api_, kApplicationProgId, app), automation::kUnavailable);
}

// An object whose members fail in each of the ways a handler can.
class Failing : public occt_host::automation::DispatchObject {
 public:
  Failing() {
    addMethod("Throws", 0,
              [](const Args&, automation::Variant&, std::string&) -> automation::HResult {
                throw std::runtime_error("the kernel gave up");
              });
    addMethod("Starves", 0,
              [](const Args&, automation::Variant&, std::string&) -> automation::HResult {
                throw std::bad_alloc();
              });
    addMethod("Refuses", 0, [](const Args&, automation::Variant&, std::string& error) {
      error = "no document";
      return automation::kInvalidArg;
    });
  }
  const char* kind() const override { return "Failing"; }
};

// The status Invoke answers for `name`, and the one the exception record carries.
std::pair<automation::HResult, automation::HResult> invoke(Failing& object, const char* name) {
  std::u16string wide = automation::Utf8ToUtf16(name);
  char16_t* names[] = {wide.data()};
  int32_t id = 0;
  EXPECT_EQ(object.GetIDsOfNames(automation::kIidNull, names, 1, 0, &id), automation::kOk);
  automation::DispParams none;
  automation::ExcepInfo exception;
  automation::Variant result;
  const automation::HResult hr =
      object.Invoke(id, automation::kIidNull, 0, automation::kDispatchMethod, &none, &result,
                    &exception, nullptr);
  return {hr, exception.scode};
}

TEST(AutomationDispatchTest, AThrowingHandlerIsAnExceptionOfItsOwnKind) {
  Failing object;
  // A kernel failure is E_FAIL with its text kept, not a shortage of memory.
  EXPECT_EQ(invoke(object, "Throws"),
            std::make_pair(automation::kDispException, automation::kFail));
  EXPECT_NE(lastKernelFailure().find("the kernel gave up"), std::string::npos);
  EXPECT_EQ(invoke(object, "Starves"),
            std::make_pair(automation::kDispException, automation::kOutOfMemory));
  EXPECT_EQ(invoke(object, "Refuses"),
            std::make_pair(automation::kDispException, automation::kInvalidArg));
}

}  // namespace
}  // namespace occt_host
