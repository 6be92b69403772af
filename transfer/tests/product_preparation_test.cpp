// The two stages of a Product draw, through the protocol, with the real core loaded by path.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

#include "assembly_measure.h"
#include "host/document_services.h"
#include "host/product.h"
#include "occt_host/exchange/step_export.h"
#include "platform/clock.h"
#include "platform/directories.h"
#include "platform/environment.h"
#include "platform/process.h"
#include "platform/temp_files.h"
#include "processor_test_support.h"
#include "scripted_environment.h"
#include "vantrel/diagnostic_log.h"
#include "vantrel/panel_host.h"
#include "vantrel/runtime_config.h"

namespace vantrel::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::HasSubstr;
using ::testing::MatchesRegex;
using ::testing::StartsWith;

std::string Cylinder(double r, double h) {
  char text[400];
  std::snprintf(text, sizeof text,
                R"([{"type":"sketch","id":"s","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],)"
                R"("geometries":[{"type":"circle","center":{"x":0,"y":0},"radius":%g}]},)"
                R"({"type":"extrude","id":"e","sketchId":"s","n1Height":%g}])",
                r, h);
  return text;
}

// Three source parts, "Bracket" placed twice (the second 50 mm along Y).
std::string ThreePartProduct() {
  return R"({"name":"Stand","partList":[{"id":"Bracket","sequences":)" + Cylinder(10, 20) +
         R"(},{"id":"Bracket-2","refId":"Bracket","matrix":[1,0,0,0,0,1,0,50,0,0,1,0,0,0,0,1]},)"
         R"({"id":"Pin","name":"Pin A","flatNode":)" +
         Cylinder(2, 30) +
         R"(},{"id":"Cap","matrix":[1,0,0,0,0,1,0,0,0,0,1,20,0,0,0,1],"sequences":)" +
         Cylinder(10, 2) + "}]}";
}

host::ProductPtr RootOf(const std::shared_ptr<host::Document>& document) {
  auto roots = host::query<host::DocumentRootList>(document);
  if (!roots || roots->roots().empty()) return nullptr;
  return host::query<host::Product>(roots->roots().front());
}

// The folder named by the "ProductExportFolder" line.
std::string FolderOf(const std::vector<std::string>& messages) {
  const std::string prefix = "TransferDataProcessor::ProductExportFolder path=";
  for (const auto& m : messages)
    if (m.rfind(prefix, 0) == 0) return m.substr(prefix.size());
  return {};
}

// Sets an environment variable for one scope and puts back what was there.
class EnvOverride {
 public:
  EnvOverride(std::string name, const std::string& value)
      : name_(std::move(name)), previous_(platform::GetEnv(name_)) {
    platform::SetEnv(name_, value);
  }
  ~EnvOverride() {
    if (previous_)
      platform::SetEnv(name_, *previous_);
    else
      platform::UnsetEnv(name_);
  }
  EnvOverride(const EnvOverride&) = delete;
  EnvOverride& operator=(const EnvOverride&) = delete;

 private:
  std::string name_;
  std::optional<std::string> previous_;
};

class ProductPreparationTest : public ProcessorTest {
 protected:
  void TearDown() override {
    std::error_code ignored;
    for (const auto& f : folders_) std::filesystem::remove_all(f, ignored);
    ProcessorTest::TearDown();
  }
  std::vector<std::string> Drawn(const std::string& json) {
    drawer_.DrawJson(json);
    std::vector<std::string> messages = Messages(TakeProcessorLog());
    folders_.push_back(FolderOf(messages));
    return messages;
  }
  std::vector<std::string> folders_;
};

TEST_F(ProductPreparationTest, ThreeSourcePartsBecomeThreeFilesAndFourInstances) {
  const auto messages = Drawn(ThreePartProduct());
  const std::string folder = folders_.back();
  ASSERT_FALSE(folder.empty());
  EXPECT_THAT(folder, HasSubstr("/TolvaneProductParts/"));
  ASSERT_EQ(messages.size(), 10u) << ::testing::PrintToString(messages);
  EXPECT_EQ(messages[0], "TransferDataProcessor::ActiveEditorMissing");
  EXPECT_EQ(messages[3], "TransferDataProcessor::ProductExportFolder path=" + folder);
  EXPECT_EQ(messages[4], "TransferDataProcessor::ProductSourcePartPrepared id=Bracket path=" +
                             folder + "/0.CATPart");
  EXPECT_EQ(messages[5], "TransferDataProcessor::ProductSourcePartPrepared id=Pin path=" + folder +
                             "/1.CATPart");
  EXPECT_EQ(messages[6], "TransferDataProcessor::ProductSourcePartPrepared id=Cap path=" + folder +
                             "/2.CATPart");
  EXPECT_EQ(messages[7],
            "TransferDataProcessor::ImportStatus status=0 resultStatus=0 errorCode=0 created=4");
  EXPECT_EQ(messages[8], "Product JSON imported.");
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(platform::FileExists(folder + "/" + std::to_string(i) + ".CATPart"));

  // The Product was made for the draw; the source Parts were closed and reopened from disk.
  std::shared_ptr<host::Document> product;
  for (const auto& d : session_.documents())
    if (d->kind() == "Product") product = d;
  ASSERT_TRUE(product);
  auto children = RootOf(product)->children();
  ASSERT_EQ(children.size(), 4u);
  EXPECT_EQ(children[1]->instanceName(), "Bracket-2");
  EXPECT_EQ(children[2]->instanceName(), "Pin A");
  EXPECT_EQ(children[2]->partNumber(), "MardelPart_1_Pin");

  const std::string step = folder + "/assembly.step";
  std::string error;
  ASSERT_TRUE(occt_host::exportStep(product, step, &error)) << error;
  AssemblyMeasure m = measureAssembly(step);
  ASSERT_EQ(m.instances.size(), 4u);
  EXPECT_EQ(m.rootName, "Stand");
  ASSERT_TRUE(m.find("Bracket") && m.find("Bracket-2") && m.find("Pin A") && m.find("Cap"));
  EXPECT_NEAR(m.find("Bracket-2")->y, 50, 1e-9);
  EXPECT_NEAR(m.find("Cap")->zmin, 20, 1e-6);
  // 2·π·10²·20 + π·2²·30 + π·10²·2 = 4000π + 120π + 200π = 4320π mm³.
  EXPECT_NEAR(m.totalVolume(), 4320 * M_PI, 4320 * M_PI * 1e-6);
}

TEST_F(ProductPreparationTest, WithTheDelayOverrideTheChunkedProductIsTheSameAsWithout) {
  auto product = session_.newDocument("Product");
  session_.openWindow(product);
  // The panel publishes the configured delay as it initializes.
  {
    EnvOverride delay("TOLVANE_DRAW_DELAY_OVERRIDE", "5");
    EnvOverride state("XDG_STATE_HOME", dir_);
    PanelHost(LoadRuntimeConfig()).Initialize();
  }
  SetLogFolder(dir_);
  ASSERT_EQ(TransferDataProcessor::DrawDelayMs(), 5u);
  // The Product's own window is shown after each instance: its pause runs what is posted.
  bool paused = false;
  session_.eventLoop().post([&] { paused = true; });
  EXPECT_EQ(SendChunked("stand", ThreePartProduct(), 200).kind, TransferOutcomeKind::Completed);
  const std::vector<std::string> messages = Messages(TakeProcessorLog());
  folders_.push_back(FolderOf(messages));
  EXPECT_TRUE(paused);
  ASSERT_EQ(messages.size(), 7u) << ::testing::PrintToString(messages);
  EXPECT_EQ(messages[4],
            "TransferDataProcessor::ImportStatus status=0 resultStatus=0 errorCode=0 created=4");
  EXPECT_EQ(messages[5], "Product JSON imported.");
  EXPECT_EQ(messages[6],
            "Product display prepared: instances=4 shapePrepared=4 displayWarnings=0 update=ok");
  for (const auto& m : messages) EXPECT_THAT(m, ::testing::Not(HasSubstr("cancelled")));
  // The Product and its three source Parts, closed after saving and opened again from disk.
  EXPECT_EQ(session_.documents().size(), 4u);
  const std::string step = folders_.back() + "/assembly.step";
  std::string error;
  ASSERT_TRUE(occt_host::exportStep(product, step, &error)) << error;
  AssemblyMeasure m = measureAssembly(step);
  ASSERT_EQ(m.instances.size(), 4u);
  // 2·π·10²·20 + π·2²·30 + π·10²·2 = 4320π mm³, as without a delay.
  EXPECT_NEAR(m.totalVolume(), 4320 * M_PI, 4320 * M_PI * 1e-6);
}

TEST_F(ProductPreparationTest, AnActivePartIsRefusedAndTheProductDrawnAgainIntoANewOne) {
  auto part = session_.newDocument("Part");
  session_.openWindow(part);
  const auto messages = Drawn(ThreePartProduct());
  EXPECT_THAT(messages, ::testing::Contains("TransferDataProcessor::RetryWithAutoCreatedProduct"));
  EXPECT_EQ(std::count_if(messages.begin(), messages.end(),
                          [](const std::string& m) { return m.find("ImportStatus") != m.npos; }),
            1);
  EXPECT_THAT(messages, ::testing::Contains("TransferDataProcessor::ImportStatus status=0 "
                                            "resultStatus=0 errorCode=0 created=4"));
  auto current = session_.application()->currentEditor()->document();
  EXPECT_EQ(current->kind(), "Product");
  EXPECT_EQ(RootOf(current)->children().size(), 4u);
  ASSERT_TRUE(drawer_.LastDraw(current));
  EXPECT_EQ(drawer_.LastDraw(current)->status, 0);
}

TEST_F(ProductPreparationTest, FailedSecondSaveKeepsTheFirstFileAndDrawsNoProduct) {
  auto product = session_.newDocument("Product");
  session_.openWindow(product);
  ScriptedEnvironment env;
  env.scripted->saveFailsAt = 2;
  const auto messages = Drawn(ThreePartProduct());
  const std::string folder = folders_.back();
  EXPECT_THAT(messages, ElementsAre(StartsWith("TransferDataProcessor::ProductExportFolder path="),
                                    "TransferDataProcessor::ProductSourcePartPrepared id=Bracket "
                                    "path=" +
                                        folder + "/0.CATPart",
                                    "TransferDataProcessor::ProductSourcePartSaveFailed",
                                    "TransferDataProcessor::ImportStatus status=2 resultStatus=2 "
                                    "errorCode=100 created=0",
                                    "Product source Part save failed",
                                    "CATDocumentServices::SaveAs failed hr=-2147467259"));
  EXPECT_TRUE(platform::FileExists(folder + "/0.CATPart"));
  EXPECT_FALSE(platform::FileExists(folder + "/1.CATPart"));
  EXPECT_TRUE(RootOf(product)->children().empty());
  // The Part being saved was closed: only the Product is left open.
  EXPECT_EQ(session_.documents().size(), 1u);
}

TEST_F(ProductPreparationTest, NoNewPartMeansNoPreparation) {
  auto product = session_.newDocument("Product");
  session_.openWindow(product);
  ScriptedEnvironment env;
  env.scripted->newDocumentFails = true;
  const auto messages = Drawn(ThreePartProduct());
  EXPECT_THAT(messages, ElementsAre(StartsWith("TransferDataProcessor::ProductExportFolder"),
                                    "TransferDataProcessor::ProductSourcePartCreateFailed",
                                    HasSubstr("status=2 resultStatus=2 errorCode=100"),
                                    "Product source Part document creation failed",
                                    "CATDocumentServices::New Part failed hr=-2147418113"));
}

TEST_F(ProductPreparationTest, SourcePartWithWarningsIsStillSavedAndNumbered) {
  auto product = session_.newDocument("Product");
  session_.openWindow(product);
  const std::string json =
      R"({"partList":[{"id":"W","sequences":[{"id":"x"},)" + Cylinder(1, 1).substr(1) + "}]}";
  const auto messages = Drawn(json);
  EXPECT_THAT(messages, ::testing::Contains(HasSubstr("status=0 resultStatus=0 errorCode=0 "
                                                      "created=1")));
  auto children = RootOf(product)->children();
  ASSERT_EQ(children.size(), 1u);
  EXPECT_EQ(children[0]->partNumber(), "MardelPart_0_W");
}

TEST_F(ProductPreparationTest, ListRefusalIsLoggedWithTheCoreTexts) {
  auto product = session_.newDocument("Product");
  session_.openWindow(product);
  const auto messages = Drawn(R"({"partList":[{"id":"A","refId":"B"}]})");
  EXPECT_THAT(messages, ElementsAre(StartsWith("TransferDataProcessor::ProductExportFolder"),
                                    "TransferDataProcessor::ListProductSourcePartsFailed",
                                    "No importable product source parts were found.",
                                    HasSubstr("status=2 resultStatus=2 errorCode=100 created=0"),
                                    "No importable product source parts were found."));
}

TEST_F(ProductPreparationTest, ATemporaryFolderTooLongForThePartPathsIsRefusedBeforeAnyDraw) {
  auto product = session_.newDocument("Product");
  session_.openWindow(product);
  // A temporary folder of 570 characters, made of folders of at most 100 characters.
  std::string temp =
      platform::CreateUniqueTempDirectory(*platform::TempPath(), "long-temp-").value();
  folders_.push_back(temp);
  while (temp.size() + 101 < 570) temp += "/" + std::string(100, 'd');
  temp += "/" + std::string(570 - temp.size() - 1, 'e');
  ASSERT_EQ(temp.size(), 570u);
  ASSERT_TRUE(std::filesystem::create_directories(temp));
  std::vector<std::string> messages;
  {
    EnvOverride override("TMPDIR", temp);
    messages = Drawn(ThreePartProduct());
  }
  const std::string folder = folders_.back();
  ASSERT_THAT(folder, StartsWith(temp + "/TolvaneProductParts/"));
  // The longest path, folder + "/2.CATPart", has 10 bytes more than the folder.
  EXPECT_THAT(messages,
              ElementsAre("TransferDataProcessor::ProductExportFolder path=" + folder,
                          "TransferDataProcessor::ProductExportFolderTooLong path=" + folder +
                              " partPathBytes=" + std::to_string(folder.size() + 10) + " limit=511",
                          "TransferDataProcessor::ImportStatus status=2 resultStatus=2 "
                          "errorCode=100 created=0",
                          "Product source-part export folder unavailable",
                          "Product source CATPart paths would be longer than 511 bytes; use a "
                          "shorter temporary folder."));
  // Nothing was drawn, saved or left open, and the Product holds nothing.
  EXPECT_TRUE(std::filesystem::is_empty(folder));
  EXPECT_EQ(session_.documents().size(), 1u);
  EXPECT_TRUE(RootOf(product)->children().empty());
}

TEST_F(ProductPreparationTest, LongPartPathsThatStillFitAreDrawn) {
  auto product = session_.newDocument("Product");
  session_.openWindow(product);
  std::string temp =
      platform::CreateUniqueTempDirectory(*platform::TempPath(), "long-temp-").value();
  folders_.push_back(temp);
  // The folder is temp + "/TolvaneProductParts/<pid>-<ticks>"; its longest path adds 10. Two
  // bytes are left over in case the tick count gains a digit meanwhile.
  const std::string tail = "/TolvaneProductParts/" + std::to_string(platform::ProcessId()) + "-" +
                           std::to_string(platform::TickCount());
  const size_t target = 511 - 2 - 10 - tail.size();
  while (temp.size() + 101 < target) temp += "/" + std::string(100, 'd');
  temp += "/" + std::string(target - temp.size() - 1, 'e');
  ASSERT_TRUE(std::filesystem::create_directories(temp));
  std::vector<std::string> messages;
  {
    EnvOverride override("TMPDIR", temp);
    messages = Drawn(ThreePartProduct());
  }
  const std::string folder = folders_.back();
  ASSERT_THAT(folder, StartsWith(temp + "/TolvaneProductParts/"));
  ASSERT_LE(folder.size() + 10, 511u);
  EXPECT_THAT(messages, ::testing::Contains("TransferDataProcessor::ImportStatus status=0 "
                                            "resultStatus=0 errorCode=0 created=4"));
  EXPECT_EQ(RootOf(product)->children().size(), 4u);
}

TEST(ProductPreparationUnit, MissingExportsAndFreshFolders) {
  CoreExports none;
  MardelImportResult result{};
  std::vector<ProductPreparedPart> prepared;
  EXPECT_FALSE(TransferDataProcessor::PrepareProductSourceParts(none, {}, prepared, &result));
  EXPECT_STREQ(result.message, "Product prep exports are missing");
  EXPECT_STREQ(result.warning, "Kestrun.dll does not expose the required Product two-stage API.");
  EXPECT_FALSE(TransferDataProcessor::PrepareProductSourceParts(none, {}, prepared, nullptr));
  // Two draws in the same millisecond still get folders of their own.
  const std::string a = TransferDataProcessor::CreateProductPartsFolder();
  const std::string b = TransferDataProcessor::CreateProductPartsFolder();
  EXPECT_FALSE(a.empty());
  EXPECT_NE(a, b);
  EXPECT_TRUE(platform::IsDirectory(b));
  std::error_code ignored;
  std::filesystem::remove(a, ignored);
  std::filesystem::remove(b, ignored);
}

}  // namespace
}  // namespace vantrel::testing
