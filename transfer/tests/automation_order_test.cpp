#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/temp_files.h"
#include "recording_application.h"
#include "vantrel/step_insertion.h"

namespace vantrel::testing {
namespace {

using Calls = std::vector<std::string>;

class AutomationOrderTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = platform::CreateUniqueTempDirectory(*platform::TempPath(), "order-").value_or("");
    ASSERT_FALSE(dir_.empty());
    path_ = dir_ + "/m.step";
    std::ofstream(path_) << "ISO-10303-21;";
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
  }
  StepInsertResult Run(RecordingApplication::Script script) {
    RecordingApplication app(std::move(script));
    EXPECT_TRUE(app.Registered());
    StepInsertResult result = InsertStepFile(path_);
    calls_ = app.Calls();
    return result;
  }
  std::string dir_, path_;
  Calls calls_;
};

TEST_F(AutomationOrderTest, APartIsFilledByCopyAndPasteWithoutLinkThenTheViewIsFitted) {
  StepInsertResult result = Run({});
  EXPECT_TRUE(result.inserted);
  EXPECT_EQ(result.message, "STEP file inserted and fitted in the active document view.");
  EXPECT_EQ(calls_, (Calls{"Application.ActiveDocument()",
                           "Document.Part()",
                           "Application.Documents()",
                           "Documents.Open('" + path_ + "')",
                           "StepDocument.Part()",
                           "StepDocument.Selection()",
                           "Document.Selection()",
                           "Selection.Clear()",
                           "Selection.Add(Part)",
                           "Selection.Copy()",
                           "Selection.Clear()",
                           "Selection.Add(Part)",
                           "Selection.PasteSpecial('CATPrtResultWithOutLink')",
                           "Part.Update()",
                           "StepDocument.Close()",
                           "Selection.Clear()",
                           "Document.Activate()",
                           "Application.ActiveWindow()",
                           "Window.ActiveViewer()",
                           "Viewer.Reframe()",
                           "Viewer.Update()"}));
}

TEST_F(AutomationOrderTest, AProductTakesTheFileAsComponents) {
  RecordingApplication::Script script;
  script.activeKind = "Product";
  EXPECT_TRUE(Run(script).inserted);
  EXPECT_EQ(calls_, (Calls{"Application.ActiveDocument()", "Document.Part unknown",
                           "Document.Product()", "Product.Products()",
                           "Products.AddComponentsFromFiles([lb0:'" + path_ + "'],'All')",
                           "Product.Update()", "Document.Activate()", "Application.ActiveWindow()",
                           "Window.ActiveViewer()", "Viewer.Reframe()", "Viewer.Update()"}));
}

TEST_F(AutomationOrderTest, AFailedPasteStillClosesTheStepDocumentAndClearsTheSelection) {
  RecordingApplication::Script script;
  script.failures["Selection.PasteSpecial"] =
      static_cast<platform::automation::HResult>(0x80020009u);
  StepInsertResult result = Run(script);
  EXPECT_FALSE(result.inserted);
  EXPECT_EQ(result.message, "Insert STEP file failed (HRESULT=0x80020009)");
  ASSERT_GE(calls_.size(), 3u);
  EXPECT_EQ(calls_[calls_.size() - 3], "Selection.PasteSpecial('CATPrtResultWithOutLink')");
  EXPECT_EQ(calls_[calls_.size() - 2], "StepDocument.Close()");
  EXPECT_EQ(calls_.back(), "Selection.Clear()");
}

TEST_F(AutomationOrderTest, MessagesFollowTheFailureTable) {
  RecordingApplication::Script none;
  none.activeKind = "";
  EXPECT_EQ(Run(none).message, "Open a CATPart or CATProduct before inserting a STEP file.");
  RecordingApplication::Script drawing;
  drawing.activeKind = "Drawing";
  StepInsertResult refused = Run(drawing);
  EXPECT_FALSE(refused.inserted);
  EXPECT_EQ(refused.message, "The active document is not a CATPart or CATProduct.");
  RecordingApplication::Script noViewer;
  noViewer.withViewer = false;
  StepInsertResult unfitted = Run(noViewer);
  EXPECT_TRUE(unfitted.inserted);
  EXPECT_EQ(unfitted.message,
            "STEP file inserted, but fit active view failed (HRESULT=0x80004005)");
  RecordingApplication::Script reframe;
  reframe.failures["Viewer.Reframe"] = static_cast<platform::automation::HResult>(0x8000ffffu);
  EXPECT_EQ(Run(reframe).message,
            "STEP file inserted, but fit active view failed (HRESULT=0x8000ffff)");
  EXPECT_EQ(calls_.back(), "Viewer.Reframe()");  // no Update after a failed Reframe
  RecordingApplication::Script product;
  product.activeKind = "Product";
  product.failures["Products.AddComponentsFromFiles"] = platform::automation::kInvalidArg;
  EXPECT_EQ(Run(product).message, "Insert STEP file failed (HRESULT=0x80070057)");
  EXPECT_EQ(calls_.back().rfind("Products.AddComponentsFromFiles", 0), 0u);
}

}  // namespace
}  // namespace vantrel::testing
