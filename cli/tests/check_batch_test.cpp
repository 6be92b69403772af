// `kestrun check` on a generated batch of 200 files: valid parts, malformed JSON, a cyclic
// list, a part the kernel cannot build and a file that never finishes reading, drawn two
// at a time; one summary row per file, each with the outcome worked out by hand.
#include <sys/stat.h>

#include <rapidjson/document.h>

#include <chrono>
#include <cmath>
#include <map>
#include <vector>

#include "cli_fixture.h"

namespace {

using kestrun_test::readText;
using kestrun_test::writeText;

std::string rectangle(int x0, int y0, int x1, int y1) {
  auto line = [](int a, int b, int c, int d) {
    return "{\"type\":\"line\",\"x1\":" + std::to_string(a) + ",\"y1\":" + std::to_string(b) +
           ",\"x2\":" + std::to_string(c) + ",\"y2\":" + std::to_string(d) + "}";
  };
  return line(x0, y0, x1, y0) + "," + line(x1, y0, x1, y1) + "," + line(x1, y1, x0, y1) + "," +
         line(x0, y1, x0, y0);
}

std::string sketch(const std::string& id, const std::string& geometries) {
  return "{\"type\":\"sketch\",\"id\":\"" + id +
         "\",\"matrix\":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,0,1],\"geometries\":[" + geometries + "]}";
}

std::string pad(const std::string& id, const std::string& sketchId, int height,
                const std::string& extra = "") {
  return "{\"type\":\"extrude\",\"id\":\"" + id + "\",\"sketchId\":\"" + sketchId +
         "\",\"n1Height\":" + std::to_string(height) + extra + "}";
}

std::string part(const std::string& items) {
  return "{\"flatNode\":[" + items + "]}";
}

struct Expected {
  std::string status;
  long long items = -1, built = -1, failed = -1;
  double volume = -1;
};

class CheckBatch : public kestrun_test::CliTest {
 protected:
  void add(const std::string& name, const std::string& text, Expected expected) {
    writeText(dir / "in" / name, text);
    expect[(dir / "in" / name).string()] = expected;
  }

  // 200 files; the name's prefix fixes the order of the summary rows.
  void generate() {
    std::filesystem::create_directories(dir / "in");
    for (int i = 0; i < 191; ++i) {
      // A w x d x h box: one sketch and one pad, both built, volume w*d*h.
      const int w = 10 + i % 7, d = 5 + i % 5, h = 1 + i % 3;
      char name[32];
      std::snprintf(name, sizeof name, "box_%03d.json", i);
      add(name, part(sketch("s", rectangle(0, 0, w, d)) + "," + pad("p", "s", h)),
          {"ok", 2, 2, 0, double(w * d * h)});
    }
    // Not JSON, or not all of it: the import never starts.
    const char* malformed[] = {"{", "[1, 2] x", "not json at all", "{\"flatNode\": [",
                               "\x01\x02\xff\xfe"};
    for (int i = 0; i < 5; ++i)
      add("malformed_" + std::to_string(i) + ".json", malformed[i], {"unreadable"});
    // Two 10 x 10 x 5 pads naming each other: the cycle is skipped with a warning and both
    // are built: 2 * 500 = 1000.
    add("cyclic.json",
        part(sketch("s1", rectangle(0, 0, 10, 10)) + "," + sketch("s2", rectangle(20, 0, 30, 10)) +
             "," + pad("a", "s1", 5, ",\"featureId\":\"b\"") + "," +
             pad("b", "s2", 5, ",\"featureId\":\"a\"")),
        {"warnings", 4, 4, 0, 1000});
    // A round of radius 20 on an edge of a 10 mm plate: the kernel finds no round; the plate
    // (100 x 100 x 10 = 100000) stays.
    add("kernel_fails.json",
        part(sketch("s", rectangle(0, 0, 100, 100)) + "," + pad("plate", "s", 10) +
             R"(,{"type":"fillet","id":"f","radius":20,"filletTopos":[{"featureId":"plate",)"
             R"("topoType":"edge","type":"line","start":[0,0,10],"end":[100,0,10]}]})"),
        {"failed", 3, 2, 1, 100000});
    // An empty file draws the fixed 300 x 500 cylinder with a warning: 300^2 * 500 * pi.
    add("empty.json", "", {"warnings", -1, -1, -1, 45e6 * M_PI});
    // A named pipe nobody writes to: reading it never ends, so the child is stopped.
    const auto hang = (dir / "in" / "hangs.json").string();
    ASSERT_EQ(::mkfifo(hang.c_str(), 0600), 0);
    expect[hang] = {"timedOut"};
    ASSERT_EQ(expect.size(), 200u);
  }

  std::map<std::string, Expected> expect;
};

long long integer(const rapidjson::Value& row, const char* key) {
  return row[key].IsInt64() ? row[key].GetInt64() : -1;
}

TEST_F(CheckBatch, TwoHundredFilesGiveOneCorrectRowEach) {
  generate();
  const auto out = dir / "out";
  const auto began = std::chrono::steady_clock::now();
  const int exitCode =
      shell(kestrun() + " check " + (dir / "in").string() + " --jobs 2 --timeout 8 --report-dir " +
            out.string() + " 2> " + (dir / "check.log").string());
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  // Not every file succeeded.
  EXPECT_EQ(exitCode, 1) << readText(dir / "check.log");

  rapidjson::Document summary;
  ASSERT_FALSE(summary.Parse(readText(out / "summary.json").c_str()).HasParseError());
  EXPECT_EQ(summary["files"].GetInt(), 200);
  EXPECT_EQ(summary["jobs"].GetInt(), 2);
  const auto& counts = summary["counts"];
  EXPECT_EQ(counts["ok"].GetInt(), 191);
  EXPECT_EQ(counts["warnings"].GetInt(), 2);
  EXPECT_EQ(counts["failed"].GetInt(), 1);
  EXPECT_EQ(counts["unreadable"].GetInt(), 5);
  EXPECT_EQ(counts["timedOut"].GetInt(), 1);
  EXPECT_EQ(counts["crashed"].GetInt(), 0);

  const auto& rows = summary["rows"];
  ASSERT_EQ(rows.Size(), 200u);
  std::string previous;
  for (const auto& row : rows.GetArray()) {
    const std::string file = row["file"].GetString();
    SCOPED_TRACE(file);
    EXPECT_LT(previous, file);  // in name order, each file once
    previous = file;
    ASSERT_TRUE(expect.count(file));
    const Expected& want = expect[file];
    EXPECT_EQ(row["status"].GetString(), want.status) << row["message"].GetString();
    if (want.items >= 0) {
      EXPECT_EQ(integer(row, "items"), want.items);
      EXPECT_EQ(integer(row, "built"), want.built);
      EXPECT_EQ(integer(row, "failed"), want.failed);
    }
    if (want.volume >= 0) {
      ASSERT_TRUE(row["volume"].IsNumber());
      EXPECT_NEAR(row["volume"].GetDouble(), want.volume, 1e-6 * want.volume);
    }
    if (want.status == "timedOut") {
      EXPECT_GE(row["seconds"].GetDouble(), 8.0);
      EXPECT_TRUE(row["report"].IsNull());
    } else {
      EXPECT_GT(row["peakMemoryKiB"].GetUint64(), 1000u);
      EXPECT_LT(row["seconds"].GetDouble(), 8.0);
    }
    if (want.status != "timedOut" && want.status != "unreadable") {
      // Each drawn file's own report is in the folder, naming the file.
      ASSERT_TRUE(row["report"].IsString());
      rapidjson::Document report;
      ASSERT_FALSE(report.Parse(readText(out / row["report"].GetString()).c_str()).HasParseError());
      EXPECT_EQ(std::string(report["file"].GetString()), file);
    }
  }

  // The CSV holds the same rows: a header and one line per file.
  const std::string csv = readText(out / "summary.csv");
  EXPECT_EQ(std::count(csv.begin(), csv.end(), '\n'), 201);
  EXPECT_EQ(csv.rfind("file,status,items,built,failed,seconds,peakMemoryKiB,volume,report,message,"
                      "warned,skipped,neverReached,noEffect,unsupported,firstItem,"
                      "firstItemMessage\n",
                      0),
            0u);
  EXPECT_NE(csv.find(",timedOut,,,,"), std::string::npos);
  // Two at a time: well under the 200 files' time end to end (each takes ~0.2 s of CPU).
  RecordProperty("batch_seconds", std::to_string(seconds));
}

TEST_F(CheckBatch, UsageErrorsAndAMissingFile) {
  EXPECT_EQ(shell(kestrun() + " check " + dir.string() + " 2>/dev/null"), 64);
  EXPECT_EQ(shell(kestrun() + " check --report-dir " + dir.string() + " 2>/dev/null"), 64);
  EXPECT_EQ(
      shell(kestrun() + " check x.json --jobs 0 --report-dir " + dir.string() + " 2>/dev/null"),
      64);
  EXPECT_EQ(
      shell(kestrun() + " check x.json --timeout -1 --report-dir " + dir.string() + " 2>/dev/null"),
      64);
  // A file that is not there has its row, and fails the batch.
  const auto missing = (dir / "no_such.json").string();
  EXPECT_EQ(shell(kestrun() + " check " + missing + " --report-dir " + (dir / "out").string() +
                  " 2>/dev/null"),
            1);
  const std::string csv = readText(dir / "out" / "summary.csv");
  EXPECT_NE(csv.find(missing + ",unreadable,"), std::string::npos) << csv;
}

TEST_F(CheckBatch, AReportThatCannotBeWrittenIsNotASuccess) {
  // A 10 x 10 x 2 box that draws cleanly.
  const auto box = (dir / "box.json").string();
  writeText(box, part(sketch("s", rectangle(0, 0, 10, 10)) + "," + pad("p", "s", 2)));
  // A folder stands where the child's report goes: nobody, root included, writes it as a file.
  const auto out = dir / "out";
  std::filesystem::create_directories(out / "reports" / "box.json");
  EXPECT_EQ(shell(kestrun() + " check " + box + " --report-dir " + out.string() + " 2>/dev/null"),
            1);
  const std::string csv = readText(out / "summary.csv");
  EXPECT_NE(csv.find(box + ",notWritten,"), std::string::npos) << csv;
  EXPECT_NE(csv.find(",cannot write the report file " + out.string() +
                     "/reports/box.json: Is a directory,"),
            std::string::npos)
      << csv;
  rapidjson::Document json;
  ASSERT_FALSE(json.Parse(readText(out / "summary.json").c_str()).HasParseError());
  EXPECT_EQ(json["counts"]["notWritten"].GetInt(), 1);
  EXPECT_EQ(json["counts"]["ok"].GetInt(), 0);
}

TEST_F(CheckBatch, WhatBuiltLessThanAskedCountsAsWarnings) {
  const auto in = dir / "in";
  std::filesystem::create_directories(in);
  const std::string box = sketch("s", rectangle(0, 0, 10, 10)) + "," + pad("p", "s", 2);
  writeText(in / "a_box.json", part(box));
  writeText(in / "b_empty_list.json", part(""));
  writeText(in / "c_no_list.json", "{}");
  writeText(in / "d_unsupported.json",
            part(box + R"(,{"type":"rectArray","id":"r","features":["p"]})"));
  // A pocket of the whole square from 50 mm above, 5 mm deep: it misses the 2 mm box.
  writeText(
      in / "e_cut_misses.json",
      part(box +
           R"(,{"type":"sketch","id":"t","matrix":[1,0,0,0,0,1,0,0,0,0,1,0,0,0,50,1],)"
           R"("geometries":[)" +
           rectangle(0, 0, 10, 10) +
           R"(]},{"type":"extrude","id":"cut","sketchId":"t","n1Height":5,"boolType":"remove",)"
           R"("boolSolids":["p"]})"));
  const auto out = dir / "out";
  EXPECT_EQ(shell(kestrun() + " check " + in.string() + " --jobs 2 --report-dir " + out.string() +
                  " 2>/dev/null"),
            0);
  rapidjson::Document json;
  ASSERT_FALSE(json.Parse(readText(out / "summary.json").c_str()).HasParseError());
  EXPECT_EQ(json["counts"]["ok"].GetInt(), 1);
  EXPECT_EQ(json["counts"]["warnings"].GetInt(), 4);
  const auto& rows = json["rows"];
  ASSERT_EQ(rows.Size(), 5u);
  EXPECT_STREQ(rows[0]["status"].GetString(), "ok");
  EXPECT_TRUE(rows[1]["empty"].GetBool());
  EXPECT_TRUE(rows[2]["fallback"].GetBool());
  EXPECT_EQ(rows[3]["unsupported"].GetInt(), 1);
  EXPECT_STREQ(rows[3]["firstItem"].GetString(), "r");
  EXPECT_EQ(rows[4]["noEffect"].GetInt(), 1);
  EXPECT_STREQ(rows[4]["firstItem"].GetString(), "cut");
  for (rapidjson::SizeType i = 1; i < 5; ++i) {
    EXPECT_STREQ(rows[i]["status"].GetString(), "warnings") << rows[i]["file"].GetString();
    EXPECT_STRNE(rows[i]["firstItemMessage"].GetString(), "") << rows[i]["file"].GetString();
  }
  const std::string csv = readText(out / "summary.csv");
  EXPECT_NE(csv.find("e_cut_misses.json,warnings,4,3,0,"), std::string::npos) << csv;
  EXPECT_NE(csv.find(",0,0,0,1,0,cut,/flatNode/3/boolSolids: the cut removed no material"),
            std::string::npos)
      << csv;
}

TEST_F(CheckBatch, AMixedFolderOfPartsAndAssembliesChecksWithoutFlags) {
  const auto in = dir / "in";
  std::filesystem::create_directories(in);
  writeText(in / "box.json", part(sketch("s", rectangle(0, 0, 10, 10)) + "," + pad("p", "s", 2)));
  std::filesystem::copy_file(KESTRUN_EXAMPLES "/pin_stand_assembly.json", in / "stand.json");
  const auto out = dir / "out";
  EXPECT_EQ(shell(kestrun() + " check " + in.string() + " --jobs 2 --report-dir " + out.string() +
                  " 2>/dev/null"),
            0)
      << readText(out / "summary.csv");
  const std::string csv = readText(out / "summary.csv");
  EXPECT_NE(csv.find((in / "box.json").string() + ",ok,"), std::string::npos) << csv;
  EXPECT_NE(csv.find((in / "stand.json").string() + ",ok,"), std::string::npos) << csv;
  EXPECT_NE(readText(out / "logs" / "stand.out.json").find("Product JSON imported."),
            std::string::npos);
  // Forced to parts, the assembly is drawn into a Part, which cannot hold it.
  const auto forced = dir / "forced";
  EXPECT_EQ(shell(kestrun() + " check " + in.string() + " --mode 1 --report-dir " +
                  forced.string() + " 2>/dev/null"),
            1);
  EXPECT_NE(readText(forced / "summary.csv").find((in / "stand.json").string() + ",failed,"),
            std::string::npos)
      << readText(forced / "summary.csv");
  EXPECT_EQ(shell(kestrun() + " check " + in.string() + " --mode 3 --report-dir " +
                  forced.string() + " 2>/dev/null"),
            64);
}

}  // namespace

namespace {

// Standard output of a shell command.
std::string capture(const std::string& command) {
  std::string text;
  if (FILE* pipe = ::popen(command.c_str(), "r")) {
    char buffer[256];
    while (std::fgets(buffer, sizeof buffer, pipe)) text += buffer;
    ::pclose(pipe);
  }
  return text;
}

TEST_F(CheckBatch, StoppingTheBatchStopsItsChildren) {
  // A child that would read a named pipe for 100 s; the batch is asked to stop after 1 s.
  const auto pipe = (dir / "stuck_reader.json").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string script = kestrun() + " check " + pipe + " --timeout 100 --report-dir " +
                             (dir / "out").string() +
                             " 2>/dev/null & sleep 1; kill -TERM $!; wait $!";
  EXPECT_EQ(shell(script), 130);
  // No process is left reading the pipe.
  EXPECT_EQ(capture("ps -eo args | grep -F '" + pipe + "' | grep -v grep"), "");
}

TEST_F(CheckBatch, KillingTheBatchOutrightEndsItsChildrenToo) {
  // SIGKILL gives the batch no chance to stop its children: they end with it by themselves.
  const auto pipe = (dir / "orphan_reader.json").string();
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  const std::string script =
      kestrun() + " check " + pipe + " --timeout 100 --report-dir " + (dir / "out").string() +
      " 2>/dev/null & sleep 1; kill -KILL $!; wait $!; status=$?; sleep 0.5; exit $status";
  EXPECT_EQ(shell(script), 137);
  EXPECT_EQ(capture("ps -eo args | grep -F '" + pipe + "' | grep -v grep"), "");
}

}  // namespace
