// How a batch row is told from what one child did, and how rows are written.
#include <gtest/gtest.h>
#include <signal.h>

#include <rapidjson/document.h>

#include <map>

#include "check_summary.h"
#include "cli_fixture.h"

namespace {

using kestrun_app::ChildRun;
using kestrun_app::classify;
using kestrun_app::FileRow;

ChildRun exited(int code, const std::string& result, const std::string& report = "") {
  ChildRun run;
  run.outcome.exited = true;
  run.outcome.exitCode = code;
  run.outcome.seconds = 0.5;
  run.outcome.peakMemoryKiB = 4096;
  run.resultText = result;
  run.reportText = report;
  return run;
}

const char* const kReport =
    R"({"file":"a.json","result":{"status":1,"message":"Part JSON imported."},)"
    R"("summary":{"items":5,"built":2,"warned":1,"failed":1,"skipped":1,"neverReached":0,)"
    R"("seconds":0.1,"volume":1234.5},"items":[]})";

// A draw that built everything it was asked.
const char* const kCleanReport =
    R"({"file":"g.json","result":{"status":0,"message":"Part JSON imported."},)"
    R"("summary":{"items":5,"built":5,"warned":0,"failed":0,"skipped":0,"neverReached":0,)"
    R"("unsupported":0,"noEffect":0,"fallback":false,"empty":false,"seconds":0.1,)"
    R"("volume":1234.5},"items":[]})";

// A report of two items whose summary has the counts and flags of a clean draw but for
// `changed` ("noEffect":1), and whose items are `items`.
std::string shortReport(const std::string& changed, const std::string& items = "[]") {
  std::map<std::string, std::string> summary = {
      {"items", "2"},        {"built", "1"},        {"warned", "0"},      {"failed", "0"},
      {"skipped", "0"},      {"neverReached", "0"}, {"unsupported", "0"}, {"noEffect", "0"},
      {"fallback", "false"}, {"empty", "false"},    {"seconds", "0.1"},   {"volume", "null"}};
  const std::size_t colon = changed.find(':');
  summary[changed.substr(1, colon - 2)] = changed.substr(colon + 1);
  std::string text;
  for (const auto& [key, value] : summary)
    text += (text.empty() ? "\"" : ",\"") + key + "\":" + value;
  return R"({"file":"h.json","result":{"status":0,"message":"Part JSON imported."},"summary":{)" +
         text + R"(},"items":)" + items + "}";
}

FileRow drawnWithStatusZero(const std::string& report) {
  return classify("h.json", "reports/h.json",
                  exited(0, R"({"status":0,"message":"Part JSON imported."})", report));
}

TEST(CheckSummary, ADrawThatBuiltLessThanAskedIsAWarningWhateverItsStatus) {
  EXPECT_EQ(drawnWithStatusZero(kCleanReport).status, "ok");
  const std::string cutThatMisses =
      R"([{"id":"s1","outcome":"built"},{"id":"cut","outcome":"noEffect","reason":"r",)"
      R"("problem":{"pointer":"/flatNode/3/boolSolids","message":"the cut removed no material",)"
      R"("suggestion":"place the profile"}}])";
  FileRow noEffect = drawnWithStatusZero(shortReport(R"("noEffect":1)", cutThatMisses));
  EXPECT_EQ(noEffect.status, "warnings");
  EXPECT_EQ(noEffect.noEffect, 1);
  EXPECT_EQ(noEffect.firstItem, "cut");
  EXPECT_EQ(noEffect.firstItemMessage,
            "/flatNode/3/boolSolids: the cut removed no material (place the profile)");
  EXPECT_EQ(drawnWithStatusZero(shortReport(R"("unsupported":1)")).status, "warnings");
  EXPECT_EQ(drawnWithStatusZero(shortReport(R"("warned":1)")).status, "warnings");
  FileRow empty = drawnWithStatusZero(shortReport(R"("empty":true)"));
  EXPECT_EQ(empty.status, "warnings");
  EXPECT_EQ(empty.firstItemMessage, "the item list is empty: nothing was drawn");
  EXPECT_EQ(drawnWithStatusZero(shortReport(R"("fallback":true)")).status, "warnings");
  // The first failed item wins over an earlier one that only warned.
  FileRow failed =
      classify("f.json", "r",
               exited(2, R"({"status":2,"message":"One or more features failed to update."})",
                      shortReport(R"("failed":1)",
                                  R"([{"id":"a","outcome":"warned","messages":["warn: x"]},)"
                                  R"({"id":"b","outcome":"failed","messages":["error: y"]}])")));
  EXPECT_EQ(failed.status, "failed");
  EXPECT_EQ(failed.firstItem, "b");
  EXPECT_EQ(failed.firstItemMessage, "error: y");
}

TEST(CheckSummary, AnUnreadableFileSaysWhereItStoppedBeingJson) {
  const char* report =
      R"({"file":"b.json","result":{"status":2,"message":"JSON parse failed.","warning":"Invalid value."},)"
      R"("summary":{"items":0},"items":[],"problems":[{"pointer":"/flatNode/1","item":"",)"
      R"("message":"not JSON at line 3, column 1: Invalid value.","suggestion":"","line":3,"column":1}]})";
  FileRow row = classify("b.json", "r", exited(2, "", report));
  EXPECT_EQ(row.status, "unreadable");
  EXPECT_EQ(row.message, "JSON parse failed. Invalid value. (line 3, column 1)");
}

TEST(CheckSummary, ReportGivesItemsAndVolumeAndTheRecordGivesTheStatus) {
  FileRow row = classify("a.json", "reports/a.json",
                         exited(1, R"({"status":1,"message":"Part JSON imported."})", kReport));
  EXPECT_EQ(row.status, "warnings");
  EXPECT_EQ(row.items, 5);
  EXPECT_EQ(row.built, 3);  // built and built with warnings
  EXPECT_EQ(row.failed, 1);
  EXPECT_DOUBLE_EQ(row.volume, 1234.5);
  EXPECT_EQ(row.report, "reports/a.json");
  EXPECT_EQ(row.peakMemoryKiB, 4096u);
  // Without standard output the report's own record serves.
  EXPECT_EQ(classify("a.json", "r", exited(1, "", kReport)).status, "warnings");
}

TEST(CheckSummary, WhatTheChildLeftDecidesTheStatus) {
  FileRow parse = classify(
      "b.json", "r",
      exited(2, R"({"status":2,"message":"JSON parse failed.","warning":"Invalid value."})"));
  EXPECT_EQ(parse.status, "unreadable");
  EXPECT_EQ(parse.message, "JSON parse failed. Invalid value.");
  EXPECT_EQ(parse.report, "");  // no report was written
  EXPECT_EQ(classify("c", "r", exited(2, R"({"status":2,"message":"x"})")).status, "failed");
  EXPECT_EQ(classify("c", "r", exited(0, R"({"status":0,"message":"x"})")).status, "ok");
  EXPECT_EQ(classify("c", "r", exited(64, "")).status, "unreadable");
  // An import status but no record at all: the exit status says it.
  FileRow bare = classify("c", "r", exited(2, "garbage"));
  EXPECT_EQ(bare.status, "failed");
  EXPECT_EQ(bare.message, "no result record");
  FileRow odd = classify("c", "r", exited(5, ""));
  EXPECT_EQ(odd.status, "crashed");
  EXPECT_EQ(odd.message, "exit status 5");
}

TEST(CheckSummary, AChildThatCouldNotWriteAnOutputIsNotASuccess) {
  // The import went through (its record says 0) but the report could not be written.
  FileRow lost = classify(
      "g.json", "reports/g.json",
      exited(
          3,
          R"({"status":0,"message":"Part JSON imported.","reportWritten":false,)"
          R"("reportError":"cannot write the report file out/g.json: No space left on device"})"));
  EXPECT_EQ(lost.status, "notWritten");
  EXPECT_EQ(lost.message, "cannot write the report file out/g.json: No space left on device");
  EXPECT_EQ(lost.report, "");
  EXPECT_FALSE(kestrun_app::succeeded(lost));
  // Nothing on standard output either, but the report is there: still not a success.
  FileRow silent = classify("g.json", "reports/g.json", exited(3, "", kReport));
  EXPECT_EQ(silent.status, "notWritten");
  EXPECT_EQ(silent.message, "an output could not be written");
  EXPECT_EQ(silent.items, 5);
  // A failed import keeps its word.
  EXPECT_EQ(classify("g", "r", exited(2, R"({"status":2,"message":"x"})")).status, "failed");
}

TEST(CheckSummary, SignalsTimeoutsAndStartFailures) {
  ChildRun crash;
  crash.outcome.signal = SIGSEGV;
  FileRow row = classify("d", "reports/d.json", crash);
  EXPECT_EQ(row.status, "crashed");
  EXPECT_EQ(row.message, "ended by signal 11 (Segmentation fault)");
  EXPECT_EQ(row.report, "");
  ChildRun late;
  late.outcome.signal = SIGKILL;
  late.timedOut = true;
  late.timeoutSeconds = 2.5;
  EXPECT_EQ(classify("e", "r", late).status, "timedOut");
  EXPECT_EQ(classify("e", "r", late).message, "stopped after 2.5 s");
  ChildRun unstarted;
  unstarted.startError = "cannot start x: No such file or directory";
  EXPECT_EQ(classify("f", "r", unstarted).status, "crashed");
}

class CheckSummaryFiles : public kestrun_test::CliTest {};

TEST_F(CheckSummaryFiles, CsvQuotesAndJsonCounts) {
  // No report text: the row names no report.
  FileRow odd =
      classify("we,ird \"name\".json", "r", exited(2, R"({"status":2,"message":"a, b"})"));
  FileRow good =
      classify("good.json", "reports/good.json",
               exited(0, R"({"status":0,"message":"Part JSON imported."})", kCleanReport));
  std::string error;
  ASSERT_TRUE(kestrun_app::writeSummary(dir.string(), {odd, good}, {2, 10, 1.5}, &error)) << error;
  const std::string csv = kestrun_test::readText(dir / "summary.csv");
  EXPECT_EQ(csv.rfind("file,status,items,built,failed,seconds,peakMemoryKiB,volume,report,message,"
                      "warned,skipped,neverReached,noEffect,unsupported,firstItem,"
                      "firstItemMessage\n",
                      0),
            0u)
      << csv;
  EXPECT_NE(csv.find("\n\"we,ird \"\"name\"\".json\",failed,,,,0.500,4096,,,\"a, b\",,,,,,,\n"),
            std::string::npos)
      << csv;
  EXPECT_NE(csv.find("\ngood.json,ok,5,5,0,0.500,4096,1234.5,reports/good.json,Part JSON "
                     "imported.,0,0,0,0,0,,\n"),
            std::string::npos)
      << csv;
  rapidjson::Document json;
  ASSERT_FALSE(json.Parse(kestrun_test::readText(dir / "summary.json").c_str()).HasParseError());
  EXPECT_EQ(json["counts"]["failed"].GetInt(), 1);
  EXPECT_EQ(json["counts"]["ok"].GetInt(), 1);
  EXPECT_EQ(json["counts"]["timedOut"].GetInt(), 0);
  EXPECT_EQ(json["counts"]["notWritten"].GetInt(), 0);
  EXPECT_STREQ(json["rows"][0]["file"].GetString(), "we,ird \"name\".json");
  EXPECT_TRUE(json["rows"][0]["volume"].IsNull());
  EXPECT_FALSE(kestrun_app::writeSummary((dir / "missing").string(), {}, {}, &error));
}

}  // namespace
