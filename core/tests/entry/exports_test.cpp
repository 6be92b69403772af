// The shared module exposes exactly its entry points, bound by name as callers do.
#include <dlfcn.h>
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "dynamic_symbols.h"
#include "kestrun/kestrun.h"
#include "occt_host/session/session.h"

namespace {

// wenlow::ImportJsonToCatia(host::Document*, unsigned char const*, unsigned long,
//                           MardelImportOptions const*, MardelImportResult*)
const char kImportJsonToCatia[] =
    "_ZN6wenlow17ImportJsonToCatiaEPN4host8DocumentEPKhmPK19MardelImportOptions"
    "P18MardelImportResult";

TEST(Exports, EntryPointsBindByNameAndNothingElseLeaks) {
  void* module = dlopen(KESTRUN_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  auto draw = reinterpret_cast<MardelImport_DrawJsonFn>(dlsym(module, "MardelImport_DrawJson"));
  EXPECT_NE(draw, nullptr);
  EXPECT_NE(dlsym(module, kImportJsonToCatia), nullptr);
  // The whole dynamic symbol table: every symbol the module defines for others is one of its
  // entry points, and each entry point is there.
  std::set<std::string> exported;
  std::string error;
  ASSERT_TRUE(ReadDefinedDynamicSymbols(KESTRUN_MODULE_PATH, exported, error)) << error;
  const std::set<std::string> allowed = {
      "MardelImport_AssignProductSourcePartNumber",
      "MardelImport_DrawJson",
      "MardelImport_FreeProductSourcePartSpecs",
      "MardelImport_GetReportSink",
      "MardelImport_ListProductSourceParts",
      "MardelImport_SetLogSink",
      "MardelImport_SetReportSink",
      "MardelImport_SetReportSinkWithFlags",
      kImportJsonToCatia,
  };
  EXPECT_EQ(exported, allowed);
  // Without a document the entry refuses cleanly through the bound pointer.
  MardelImportResult result{};
  EXPECT_EQ(draw(nullptr, nullptr, 0, nullptr, &result), 2);
  EXPECT_STREQ(result.message, "drawingDocument is required.");
  dlclose(module);
}

// The module's log lines reach a bound sink with their level, and a null sink restores
// the standard streams.
TEST(Exports, LogSinkReceivesTheLinesUntilReset) {
  void* module = dlopen(KESTRUN_MODULE_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(module, nullptr) << dlerror();
  auto draw = reinterpret_cast<MardelImport_DrawJsonFn>(dlsym(module, "MardelImport_DrawJson"));
  auto setSink =
      reinterpret_cast<MardelImport_SetLogSinkFn>(dlsym(module, "MardelImport_SetLogSink"));
  ASSERT_TRUE(draw && setSink);
  struct Line {
    int32_t level;
    std::string text;
  };
  std::vector<Line> lines;
  setSink(
      [](void* context, int32_t level, const char* text, uint64_t size) {
        static_cast<std::vector<Line>*>(context)->push_back({level, std::string(text, size)});
      },
      &lines);
  // A sketch with one unknown geometry (a line on standard error) and a pad (debug lines
  // on standard output), drawn once into the sink and once more without it.
  const std::string json =
      R"([{"type": "sketch", "id": "s1", "name": "S", "geometries": [{"type": "polygon"},)"
      R"( {"type": "circle", "center": {"x": 0, "y": 0}, "radius": 5}]},)"
      R"( {"type": "extrude", "id": "e1", "name": "E", "sketches": ["s1"], "n1Height": 10}])";
  const auto* bytes = reinterpret_cast<const unsigned char*>(json.data());
  occt_host::Session session;
  MardelImportResult result{};
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  draw(session.newDocument("Part").get(), bytes, json.size(), nullptr, &result);
  setSink(nullptr, nullptr);
  draw(session.newDocument("Part").get(), bytes, json.size(), nullptr, &result);
  const std::string out = ::testing::internal::GetCapturedStdout();
  const std::string err = ::testing::internal::GetCapturedStderr();
  EXPECT_EQ(result.status, 0);
  ASSERT_FALSE(lines.empty());
  // What the sink got is what the streams get without it, line for line.
  std::string sunkOut, sunkErr;
  for (const Line& line : lines) {
    ASSERT_TRUE(line.level == 0 || line.level == 1);
    EXPECT_EQ(line.text.find('\n'), std::string::npos);
    (line.level == 0 ? sunkOut : sunkErr) += line.text + "\n";
  }
  EXPECT_EQ(sunkOut, out);
  EXPECT_EQ(sunkErr, err);
  dlclose(module);
}

}  // namespace
