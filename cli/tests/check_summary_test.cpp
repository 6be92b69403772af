// How a batch row is told from what one child did, and how rows are written.
#include <gtest/gtest.h>
#include <signal.h>

#include <rapidjson/document.h>

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
  FileRow good = classify("good.json", "reports/good.json",
                          exited(0, R"({"status":0,"message":"Part JSON imported."})", kReport));
  std::string error;
  ASSERT_TRUE(kestrun_app::writeSummary(dir.string(), {odd, good}, {2, 10, 1.5}, &error)) << error;
  const std::string csv = kestrun_test::readText(dir / "summary.csv");
  EXPECT_NE(csv.find("\n\"we,ird \"\"name\"\".json\",failed,,,,0.500,4096,,,\"a, b\"\n"),
            std::string::npos)
      << csv;
  EXPECT_NE(
      csv.find("\ngood.json,ok,5,3,1,0.500,4096,1234.5,reports/good.json,Part JSON imported.\n"),
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
