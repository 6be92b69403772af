// The product mode of the entry: prepared Parts placed as named instances under the root
// product, measured through the assembly STEP read back by Open CASCADE's own reader.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "assembly_measure.h"
#include "host/document_services.h"
#include "host/product.h"
#include "kestrun/kestrun.h"
#include "occt_host/exchange/step_export.h"
#include "occt_host/session/session.h"
#include "platform/temp_files.h"

namespace {

// A circle of radius r on the XY plane padded by h along +Z: volume π·r²·h.
std::string cylinderSequence(double r, double h) {
  char text[400];
  std::snprintf(text, sizeof text,
                R"([{"type":"sketch","id":"s","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],)"
                R"("geometries":[{"type":"circle","center":{"x":0,"y":0},"radius":%g}]},)"
                R"({"type":"extrude","id":"e","sketchId":"s","n1Height":%g}])",
                r, h);
  return text;
}

const unsigned char* bytesOf(const std::string& s) {
  return reinterpret_cast<const unsigned char*>(s.data());
}

ProductPreparedPart preparedRecord(const std::string& id, const std::string& path,
                                   host::Document* document = nullptr) {
  ProductPreparedPart record{};
  std::strncpy(record.sourcePartId, id.c_str(), sizeof record.sourcePartId - 1);
  record.partDocument = document;
  std::strncpy(record.partPath, path.c_str(), sizeof record.partPath - 1);
  return record;
}

class ProductImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = platform::CreateUniqueTempDirectory(*platform::TempPath(), "product-test-").value();
    product = session.newDocument("Product");
    session.openWindow(product);
    services = host::query<host::DocumentServices>(session.application());
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }

  // The caller's first stage: every source part drawn, numbered, saved and closed.
  std::vector<ProductPreparedPart> prepare(const std::string& json) {
    std::vector<ProductPreparedPart> prepared;
    ProductSourcePartSpec* sourceParts = nullptr;
    uint64_t count = 0;
    if (MardelImport_ListProductSourceParts(bytesOf(json), json.size(), &sourceParts, &count,
                                            nullptr))
      return prepared;
    for (uint64_t i = 0; i < count; ++i) {
      std::shared_ptr<host::Document> part;
      session.application()->newDocument("Part", part);
      MardelImportOptions options{1, 1, 300, 500, nullptr, 0, 0};
      EXPECT_EQ(MardelImport_DrawJson(part.get(), sourceParts[i].jsonBytes, sourceParts[i].jsonSize,
                                      &options, nullptr),
                0);
      EXPECT_EQ(
          MardelImport_AssignProductSourcePartNumber(
              bytesOf(json), json.size(), sourceParts[i].sourcePartIndex, part.get(), nullptr),
          0);
      const std::string path = folder + "/" + std::to_string(i) + ".CATPart";
      EXPECT_EQ(services->saveAs(part, path, "", 1), 0);
      services->removeDocument(part, 1);
      prepared.push_back(preparedRecord(sourceParts[i].sourcePartId, path));
    }
    MardelImport_FreeProductSourcePartSpecs(sourceParts, count);
    return prepared;
  }

  int32_t drawProduct(const std::string& json, const std::vector<ProductPreparedPart>& prepared,
                      uint32_t delay = 0) {
    MardelImportOptions options{
        2, 1, 300, 500, prepared.data(), prepared.size(), static_cast<int32_t>(delay)};
    result = MardelImportResult{};
    return MardelImport_DrawJson(product.get(), bytesOf(json), json.size(), &options, &result);
  }

  AssemblyMeasure exported() {
    const std::string path = folder + "/assembly.step";
    std::string error;
    EXPECT_TRUE(occt_host::exportStep(product, path, &error)) << error;
    return measureAssembly(path);
  }

  host::ProductPtr root() {
    auto roots = host::query<host::DocumentRootList>(product);
    return host::query<host::Product>(roots->roots().front());
  }

  occt_host::Session session;
  std::string folder;
  std::shared_ptr<host::Document> product;
  std::shared_ptr<host::DocumentServices> services;
  MardelImportResult result{};
};

// Three source parts, A placed twice: A at identity, A2 (refId A) 100 mm along X, B turned a
// quarter about Z and moved to (10, 20, 30), C without a matrix.
TEST_F(ProductImportTest, ThreeSourcePartsFourInstancesNamedAndPlaced) {
  const std::string json =
      R"({"name":"Rig","partList":[)"
      R"({"id":"A","name":"Base","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],"sequences":)" +
      cylinderSequence(10, 20) +
      R"(},{"id":"A2","refId":"A","matrix":[1,0,0,100,0,1,0,0,0,0,1,0,0,0,0,1]},)"
      R"({"id":"B","matrix":[0,-1,0,10,1,0,0,20,0,0,1,30,0,0,0,1],"flatNode":)" +
      cylinderSequence(5, 10) + R"(},{"id":"C","sequences":)" + cylinderSequence(3, 4) + "}]}";
  auto prepared = prepare(json);
  ASSERT_EQ(prepared.size(), 3u);
  EXPECT_EQ(drawProduct(json, prepared), 0);
  EXPECT_STREQ(result.message, "Product JSON imported.");
  EXPECT_EQ(result.createdCount, 4u);
  EXPECT_STREQ(result.warning,
               "Product display prepared: instances=4 shapePrepared=4 displayWarnings=0 update=ok");
  auto rootProduct = root();
  EXPECT_EQ(rootProduct->instanceName(), "Rig");
  auto children = rootProduct->children();
  ASSERT_EQ(children.size(), 4u);
  EXPECT_EQ(children[0]->instanceName(), "Base");
  EXPECT_EQ(children[1]->instanceName(), "A2");
  EXPECT_EQ(children[2]->instanceName(), "B");
  EXPECT_EQ(children[3]->instanceName(), "C");
  // A2 is a second instance of the Part prepared for A.
  EXPECT_TRUE(host::sameObject(children[0]->referenceProduct(), children[1]->referenceProduct()));
  EXPECT_EQ(children[0]->partNumber(), "MardelPart_0_A");
  EXPECT_EQ(children[2]->partNumber(), "MardelPart_1_B");

  AssemblyMeasure m = exported();
  ASSERT_TRUE(m.read);
  EXPECT_EQ(m.rootName, "Rig");
  ASSERT_EQ(m.instances.size(), 4u);
  // Each instance keeps its name, the one at identity included.
  ASSERT_TRUE(m.find("Base") && m.find("A2") && m.find("B") && m.find("C"));
  // 2·π·10²·20 + π·5²·10 + π·3²·4 = 4000π + 250π + 36π = 4286π mm³.
  EXPECT_NEAR(m.totalVolume(), 4286 * M_PI, 4286 * M_PI * 1e-6);
  EXPECT_NEAR(m.find("A2")->xmin, 90, 1e-6);  // radius 10 about x = 100
  EXPECT_NEAR(m.find("A2")->xmax, 110, 1e-6);
  EXPECT_NEAR(m.find("Base")->xmin, -10, 1e-6);
  // B's circle of radius 5 centred at (10, 20), its 10 mm height from z = 30 to 40.
  EXPECT_NEAR(m.find("B")->x, 10, 1e-9);
  EXPECT_NEAR(m.find("B")->y, 20, 1e-9);
  EXPECT_NEAR(m.find("B")->zmin, 30, 1e-6);
  EXPECT_NEAR(m.find("B")->zmax, 40, 1e-6);
  EXPECT_NEAR(m.find("C")->zmax, 4, 1e-6);
}

TEST_F(ProductImportTest, MissingRefIdAndBadMatricesWarnButTheRestIsPlaced) {
  const std::string json =
      R"({"partList":[{"id":"A","sequences":)" + cylinderSequence(10, 20) +
      R"(},{"id":"Z1","refId":"Z"},)"
      R"({"id":"S","refId":"A","matrix":[1,0,0,0,0,"1",0,0,0,0,1,0,0,0,0,1]},)"
      R"({"id":"T","refId":"A","matrix":[1,0,0,5,0,1,0,6,0,0,1,7]},)"
      R"({"id":"U","refId":"A","matrix":[2,0,0,5,0,2,0,6,0,0,2,7,0,0,0,1]},)"
      R"({"id":"V","refId":"A","matrix":[1,0,0,10,0,1,0,20,0,0,1,30,0,0,0,1,99]},)"
      R"({"refId":"A"},{"id":"W","refId":"W"}]})";
  auto prepared = prepare(json);
  testing::internal::CaptureStdout();
  EXPECT_EQ(drawProduct(json, prepared), 1);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("warning: Missing prepared source Part for id=Z.\n"), std::string::npos);
  EXPECT_NE(log.find("warning: Missing prepared source Part for id=W.\n"), std::string::npos);
  EXPECT_NE(log.find("warning: Product instance matrix contains non-numeric values; transform "
                     "skipped.\n"),
            std::string::npos);
  EXPECT_NE(log.find("warning: Product instance matrix is not a rigid placement; transform "
                     "skipped.\n"),
            std::string::npos);
  EXPECT_NE(log.find("warning: Skipped product part without string id.\n"), std::string::npos);
  EXPECT_EQ(result.hasWarnings, 1);
  EXPECT_EQ(result.createdCount, 5u);
  EXPECT_STREQ(result.warning,
               "Product display prepared: instances=5 shapePrepared=5 displayWarnings=0 update=ok");
  AssemblyMeasure m = exported();
  ASSERT_EQ(m.instances.size(), 5u);
  EXPECT_NEAR(m.find("S")->x, 0, 1e-9);   // non-numeric: left where it was
  EXPECT_NEAR(m.find("T")->x, 0, 1e-9);   // 12 numbers: ignored
  EXPECT_NEAR(m.find("U")->x, 0, 1e-9);   // a scaling is no placement
  EXPECT_NEAR(m.find("V")->z, 30, 1e-9);  // the 17th element is ignored
}

TEST_F(ProductImportTest, RefusalsBeforeAnythingIsDrawn) {
  const std::string json = R"({"partList":[{"id":"A","sequences":[]}]})";
  EXPECT_EQ(drawProduct(json, {}), 2);
  EXPECT_EQ(result.errorCode, 100);
  EXPECT_STREQ(result.message, "Product import requires prepared Part documents from caller.");
  auto part = session.newDocument("Part");
  std::vector<ProductPreparedPart> prepared{preparedRecord("A", "", part.get())};
  MardelImportOptions options{2, 1, 300, 500, prepared.data(), 1, 0};
  EXPECT_EQ(MardelImport_DrawJson(part.get(), bytesOf(json), json.size(), &options, &result), 2);
  EXPECT_STREQ(result.message, "CATDocument does not expose Product roots.");
  EXPECT_EQ(result.errorCode, 100);
  EXPECT_EQ(drawProduct(R"({"mode":"product","partList":{}})", prepared), 2);
  EXPECT_STREQ(result.message, "product JSON requires a partList array.");
}

TEST_F(ProductImportTest, OpenDocumentsPathsAndTheLaterRecordWin) {
  auto part = session.newDocument("Part");
  MardelImportOptions partOptions{1, 1, 300, 500, nullptr, 0, 0};
  const std::string partJson = R"({"sequences":)" + cylinderSequence(2, 5) + "}";
  ASSERT_EQ(
      MardelImport_DrawJson(part.get(), bytesOf(partJson), partJson.size(), &partOptions, nullptr),
      0);
  // The second record for "A" replaces the first (a file that does not exist); "B" names a
  // file that cannot be read and falls back to no document at all.
  std::vector<ProductPreparedPart> prepared{
      preparedRecord("A", folder + "/none.CATPart"), preparedRecord("A", "", part.get()),
      preparedRecord("B", folder + "/none.CATPart"), preparedRecord("", "", part.get())};
  testing::internal::CaptureStdout();
  EXPECT_EQ(drawProduct(R"({"partList":[{"id":"A"},{"id":"B"}]})", prepared), 1);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("warning: Failed to open prepared Part file for id=B path=" + folder +
                     "/none.CATPart hr=-2147467259\n"),
            std::string::npos);
  EXPECT_NE(log.find("warning: Missing prepared source Part for id=B.\n"), std::string::npos);
  EXPECT_EQ(result.createdCount, 1u);
  EXPECT_EQ(root()->instanceName(), "Product1");
  EXPECT_NEAR(exported().totalVolume(), M_PI * 4 * 5, 1e-6);
}

TEST_F(ProductImportTest, AnInstanceWithoutAShapeIsCountedAsADisplayWarning) {
  auto full = session.newDocument("Part");
  const std::string partJson = R"({"sequences":)" + cylinderSequence(2, 5) + "}";
  MardelImportOptions partOptions{1, 1, 300, 500, nullptr, 0, 0};
  ASSERT_EQ(
      MardelImport_DrawJson(full.get(), bytesOf(partJson), partJson.size(), &partOptions, nullptr),
      0);
  auto empty = session.newDocument("Part");
  std::vector<ProductPreparedPart> prepared{preparedRecord("A", "", full.get()),
                                            preparedRecord("E", "", empty.get())};
  testing::internal::CaptureStdout();
  EXPECT_EQ(drawProduct(R"({"partList":[{"id":"A"},{"id":"E"}]})", prepared), 1);
  EXPECT_NE(testing::internal::GetCapturedStdout().find(
                "warning: Product instance shape representation could not be loaded.\n"),
            std::string::npos);
  EXPECT_EQ(result.createdCount, 2u);
  EXPECT_STREQ(result.warning,
               "Product display prepared: instances=2 shapePrepared=1 displayWarnings=1 update=ok");
}

TEST_F(ProductImportTest, EachInstanceIsShownAndAQuitCancels) {
  const std::string json = R"({"partList":[{"id":"A","sequences":)" + cylinderSequence(1, 1) +
                           R"(},{"id":"A2","refId":"A"},{"id":"A3","refId":"A"}]})";
  auto prepared = prepare(json);
  // The quit arrives while the first instance is shown: nothing after it runs.
  session.eventLoop().postQuit(3);
  EXPECT_EQ(drawProduct(json, prepared, 50), 2);
  EXPECT_EQ(result.errorCode, 500);
  EXPECT_STREQ(result.message, "CATIA host is exiting; Product import cancelled.");
  EXPECT_EQ(root()->children().size(), 1u);
  host::Message again;
  ASSERT_TRUE(session.eventLoop().peekMessage(again));
  EXPECT_EQ(again.id, host::kQuitMessage);
}

TEST_F(ProductImportTest, AWindowWithoutAViewerFailsTheRefreshAndCancels) {
  const std::string json =
      R"({"partList":[{"id":"A","sequences":)" + cylinderSequence(1, 1) + "}]}";
  auto prepared = prepare(json);
  auto blind = session.newDocument("Product");
  session.openWindow(blind, /*withViewer=*/false);
  MardelImportOptions options{2, 1, 300, 500, prepared.data(), prepared.size(), 5};
  EXPECT_EQ(MardelImport_DrawJson(blind.get(), bytesOf(json), json.size(), &options, &result), 2);
  EXPECT_EQ(result.errorCode, 500);
  EXPECT_STREQ(result.message, "CATIA viewer refresh failed; Product import cancelled.");
}

TEST_F(ProductImportTest, WithoutAWindowTheDelayedProductIsWholeAndNeverPauses) {
  const std::string json = R"({"partList":[{"id":"A","sequences":)" + cylinderSequence(1, 1) +
                           R"(},{"id":"A2","refId":"A"},{"id":"A3","refId":"A"}]})";
  auto prepared = prepare(json);
  auto hidden = session.newDocument("Product");
  // A pause would take this quit and cancel; without a window there is none.
  session.eventLoop().postQuit(3);
  MardelImportOptions options{2, 1, 300, 500, prepared.data(), prepared.size(), 5};
  EXPECT_EQ(MardelImport_DrawJson(hidden.get(), bytesOf(json), json.size(), &options, &result), 0);
  EXPECT_STREQ(result.message, "Product JSON imported.");
  EXPECT_EQ(result.createdCount, 3u);
  host::Message quit;
  ASSERT_TRUE(session.eventLoop().peekMessage(quit));
  EXPECT_EQ(quit.id, host::kQuitMessage);
  product = hidden;
  // Three instances of π·1²·1.
  EXPECT_NEAR(exported().totalVolume(), 3 * M_PI, 3 * M_PI * 1e-6);
}

TEST_F(ProductImportTest, AProductWhosePreparedPartsAreAllMissingFails) {
  // The records name files that are not there, as a path cut short in its record does.
  std::vector<ProductPreparedPart> prepared{preparedRecord("A", folder + "/0.CATPa"),
                                            preparedRecord("B", folder + "/1.CATPa")};
  testing::internal::CaptureStdout();
  EXPECT_EQ(
      drawProduct(R"({"partList":[{"id":"A"},{"id":"A2","refId":"A"},{"id":"B"}]})", prepared), 2);
  const std::string log = testing::internal::GetCapturedStdout();
  EXPECT_NE(log.find("warning: Missing prepared source Part for id=B.\n"), std::string::npos);
  EXPECT_EQ(result.errorCode, 200);
  EXPECT_STREQ(result.message, "No prepared source Part could be opened; Product import failed.");
  EXPECT_EQ(result.createdCount, 0u);
  // The first reason stays in the warning; no summary claims a prepared display.
  EXPECT_EQ(std::string(result.warning), "Failed to open prepared Part file for id=A path=" +
                                             folder + "/0.CATPa hr=-2147467259");
  EXPECT_TRUE(root()->children().empty());
  // One Part that can be had is enough for an import with warnings.
  auto part = session.newDocument("Part");
  const std::string partJson = R"({"sequences":)" + cylinderSequence(2, 5) + "}";
  MardelImportOptions partOptions{1, 1, 300, 500, nullptr, 0, 0};
  ASSERT_EQ(
      MardelImport_DrawJson(part.get(), bytesOf(partJson), partJson.size(), &partOptions, nullptr),
      0);
  prepared.push_back(preparedRecord("C", "", part.get()));
  testing::internal::CaptureStdout();
  EXPECT_EQ(drawProduct(R"({"partList":[{"id":"A"},{"id":"C"}]})", prepared), 1);
  testing::internal::GetCapturedStdout();
  EXPECT_STREQ(result.message, "Product JSON imported.");
  EXPECT_EQ(result.createdCount, 1u);
}

TEST_F(ProductImportTest, HostileProductJsonEndsWithWarningsNotACrash) {
  const std::string source = R"({"id":"A","sequences":)" + cylinderSequence(1, 1) + "}";
  auto prepared = prepare(R"({"partList":[)" + source + "]}");
  std::string json = R"({"partList":[)" + source;
  for (int i = 0; i < 100000; ++i) json += R"(,{"id":"x","refId":"missing"})";
  const std::string huge(1 << 20, 'q');
  json += R"(,{"id":")" + huge + R"(","refId":"A","name":")" + huge + R"("}]})";
  testing::internal::CaptureStdout();
  EXPECT_EQ(drawProduct(json, prepared), 1);
  testing::internal::GetCapturedStdout();
  EXPECT_EQ(result.createdCount, 2u);
  EXPECT_EQ(root()->children().back()->instanceName().size(), huge.size());
  EXPECT_EQ(drawProduct(R"({"partList":[{"id":"A","matrix":[NaN,0,0]}]})", prepared), 2);
  EXPECT_STREQ(result.message, "JSON parse failed.");
}

}  // namespace

namespace {

// The command line draws the same way the add-in does and writes one assembly STEP file.
class KestrunCommandProduct : public ::testing::Test {
 protected:
  void SetUp() override {
    dir = platform::CreateUniqueTempDirectory(*platform::TempPath(), "kestrun-cli-").value();
  }
  void TearDown() override {
    std::error_code ignored;
    std::filesystem::remove_all(dir, ignored);
  }

  // Draws the example assembly into `name`.step with `options`; the Part files go below
  // `temp` (the test's own folder unless given). Returns the exit status.
  int drawExample(const std::string& name, const std::string& options, std::string temp = "") {
    if (temp.empty()) temp = dir;
    const std::string command = "TMPDIR=" + temp + " XDG_STATE_HOME=" + dir + " " +
                                std::string(KESTRUN_CLI_PATH) + " draw " + KESTRUN_EXAMPLES +
                                "/pin_stand_assembly.json --mode 2 --step " + step(name) + " " +
                                options + " --log " + dir + "/" + name + ".log > " + dir + "/" +
                                name + ".json 2> " + dir + "/" + name + ".err";
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }
  std::string step(const std::string& name) const { return dir + "/" + name + ".step"; }
  std::string text(const std::string& file) const {
    std::ifstream in(dir + "/" + file, std::ios::binary);
    std::ostringstream out;
    out << in.rdbuf();
    return out.str();
  }

  std::string dir;
};

// 100·60·10 + 2·π·5²·40 + π·8²·5 = 60000 + 2320π mm³.
const double kPinStandVolume = 60000 + 2320 * M_PI;

TEST_F(KestrunCommandProduct, DrawsTheExampleAssembly) {
  EXPECT_EQ(drawExample("stand", ""), 0);
  AssemblyMeasure m = measureAssembly(step("stand"));
  ASSERT_EQ(m.instances.size(), 4u);
  EXPECT_EQ(m.rootName, "Pin stand");
  ASSERT_TRUE(m.find("Base plate") && m.find("Pin left") && m.find("Pin right") && m.find("Cap"));
  EXPECT_NEAR(m.find("Pin left")->x, 20, 1e-9);
  EXPECT_NEAR(m.find("Pin left")->y, 30, 1e-9);
  EXPECT_NEAR(m.find("Pin left")->zmin, 10, 1e-6);
  EXPECT_NEAR(m.totalVolume(), kPinStandVolume, kPinStandVolume * 1e-6);
}

TEST_F(KestrunCommandProduct, ADrawDelayGivesTheSameAssembly) {
  ASSERT_EQ(drawExample("plain", ""), 0);
  // The source Parts are drawn without a window: the delay shows only the Product's instances.
  EXPECT_EQ(drawExample("delayed", "--delay-ms 5"), 0) << text("delayed.json");
  EXPECT_NE(text("delayed.json").find(R"("message":"Product JSON imported.")"), std::string::npos);
  const AssemblyMeasure plain = measureAssembly(step("plain"));
  const AssemblyMeasure delayed = measureAssembly(step("delayed"));
  ASSERT_TRUE(plain.read && delayed.read);
  // One solid per instance: plate, two pins, cap.
  EXPECT_EQ(plain.totalSolids(), 4);
  EXPECT_EQ(delayed.totalSolids(), plain.totalSolids());
  ASSERT_EQ(delayed.instances.size(), plain.instances.size());
  EXPECT_NEAR(delayed.totalVolume(), plain.totalVolume(), kPinStandVolume * 1e-9);
  EXPECT_NEAR(delayed.totalVolume(), kPinStandVolume, kPinStandVolume * 1e-6);
}

TEST_F(KestrunCommandProduct, ATemporaryFolderTooLongForThePartPathsFailsClearly) {
  // 570 characters, made of folders of at most 100 characters.
  std::string temp = dir;
  while (temp.size() + 101 < 570) temp += "/" + std::string(100, 'd');
  temp += "/" + std::string(570 - temp.size() - 1, 'e');
  ASSERT_EQ(temp.size(), 570u);
  ASSERT_TRUE(std::filesystem::create_directories(temp));
  EXPECT_EQ(drawExample("long", "-v", temp), 2);
  const std::string record = text("long.json");
  EXPECT_NE(record.find(R"("status":2,"errorCode":100,)"), std::string::npos) << record;
  EXPECT_NE(record.find(R"("createdCount":0,"message":"Product source-part export folder )"
                        R"(unavailable","warning":"Product source CATPart paths would be longer )"
                        R"(than 511 bytes; use a shorter temporary folder.")"),
            std::string::npos)
      << record;
  EXPECT_EQ(record.find("imported"), std::string::npos);
  EXPECT_NE(text("long.err")
                .find("TransferDataProcessor::ProductExportFolderTooLong path=" + temp +
                      "/TolvaneProductParts/"),
            std::string::npos)
      << text("long.err");
  // No source Part was drawn or saved, and the Product holds nothing to write.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(temp))
    EXPECT_NE(entry.path().extension(), ".CATPart") << entry.path();
  EXPECT_NE(record.find(R"("stepWritten":false,"stepError":"the Product holds no instance)"),
            std::string::npos);
}

}  // namespace
