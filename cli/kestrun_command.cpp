// The kestrun command: `draw` here; `check` and `validate` in their own files.
#include "cli/kestrun_command.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/check_command.h"
#include "cli/item_account.h"
#include "cli/outputs.h"
#include "cli/progress.h"
#include "cli/report_writer.h"
#include "cli/result_json.h"
#include "cli/validate/validate.h"
#include "cli/validate_command.h"
#include "item_sheets.h"
#include "kestrun/kestrun.h"
#include "occt_host/exchange/step_export.h"
#include "occt_host/kernel/kernel_messages.h"
#include "occt_host/session/session.h"
#include "platform/child_process.h"
#include "platform/debug_output.h"
#include "vantrel/payload_kind.h"
#include "vantrel/transfer_data_processor.h"

namespace {

const char* const kUsage =
    "Usage: kestrun draw FILE.json (--step OUT.step | --report OUT.json) [options]\n"
    "\n"
    "Draws a part JSON into a new Part document and writes it as STEP. With --mode 2 the\n"
    "JSON is a product: each source part is drawn into a Part of its own and saved, then\n"
    "the Product places their instances, and the STEP (and glTF, STL) file holds the whole\n"
    "assembly.\n"
    "FILE.json may be '-' to read standard input. The result record is printed on\n"
    "standard output as one JSON object; the exit status is the import status\n"
    "(0 success, 1 success with warnings, 2 failure; 64 for a usage error), or 3 when\n"
    "the import went through but a file asked for could not be written (standard error\n"
    "names the file and the reason).\n"
    "Standard error shows a progress line (on a terminal) and a closing summary.\n"
    "\n"
    "Options:\n"
    "  --step FILE      STEP file to write (at least one of --step, --report, --gltf,\n"
    "                   --stl, --svg and --png is required)\n"
    "  --report FILE    write the per-item report as JSON; '-' prints it on standard\n"
    "                   output instead of the result record\n"
    "  --gltf FILE      also write the bodies as binary glTF (.glb), with their colours\n"
    "  --stl FILE       also write the bodies as binary STL\n"
    "  --png FILE       also save a shaded isometric picture, drawn again by the workstation\n"
    "                   program beside kestrun on the display or under xvfb-run\n"
    "  --svg-items DIR  also write one sheet per item into DIR (NNN_id.svg): the body it\n"
    "                   made or changed as it stood right after it\n"
    "  --svg FILE       also write a drawing sheet: isometric, front, top and right views\n"
    "                   with hidden lines dashed\n"
    "  --deflection MM  chord height of the glTF and STL triangles (default 0.1)\n"
    "  --mode N         0 detect as the add-in does (default: a product when the JSON\n"
    "                   has \"partList\"), 1 part, 2 product\n"
    "  --no-clear       keep the Part's existing content\n"
    "  --radius MM      radius of the fallback cylinder (default 300)\n"
    "  --height MM      height of the fallback cylinder (default 500)\n"
    "  --delay-ms MS    show each finished item for MS milliseconds (default 0)\n"
    "  --log FILE       write the core's whole log to FILE\n"
    "  -v, -vv          show the core's info lines (-v) and its debug lines too (-vv)\n"
    "  --help           show this text\n"
    "\n"
    "kestrun check DIR|FILE... --report-dir OUT [--jobs N] [--timeout S] draws each file\n"
    "in a process of its own and writes a summary of the batch (kestrun check --help).\n"
    "kestrun validate FILE.json|- checks a document without drawing it (kestrun validate\n"
    "--help).\n";

constexpr int kUsageError = 64;

// `kestrun draw --help` (or -h) anywhere among the options.
bool asksForHelp(int argc, char** argv) {
  if (argc < 2 || std::strcmp(argv[1], "draw") != 0) return false;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) return true;
  }
  return false;
}

struct Arguments {
  std::string input;
  std::string step;
  std::string log;
  std::string report;
  std::string svgItems;
  int verbosity = 0;
  kestrun_app::MeshOutputs meshes;
  MardelImportOptions options{0, 1, 300.0, 500.0, nullptr, 0, 0};
};

bool parseNumber(const char* text, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == '\0';
}

bool parseOption(const std::string& flag, const char* value, Arguments& args) {
  double number = 0;
  if (flag == "--step")
    args.step = value;
  else if (flag == "--log")
    args.log = value;
  else if (flag == "--report")
    args.report = value;
  else if (flag == "--svg-items")
    args.svgItems = value;
  else if (kestrun_app::parseMeshOption(flag, value, args.meshes))
    return true;
  else if (!parseNumber(value, number))
    return false;
  else if (flag == "--mode")
    args.options.mode = static_cast<int32_t>(number);
  else if (flag == "--radius")
    args.options.radius = number;
  else if (flag == "--height")
    args.options.height = number;
  else if (flag == "--delay-ms")
    args.options.drawDelayMs =
        static_cast<int32_t>(static_cast<uint32_t>(number < 0              ? 0
                                                   : number > 4294967295.0 ? 4294967295.0
                                                                           : number));
  else
    return false;
  return true;
}

// Returns false with a message on standard error when the command line is wrong.
bool parseArguments(int argc, char** argv, Arguments& args) {
  if (argc < 3 || std::string(argv[1]) != "draw") return false;
  args.input = argv[2];
  for (int i = 3; i < argc; ++i) {
    const std::string flag = argv[i];
    if (flag == "--no-clear") {
      args.options.clearPart = 0;
    } else if (flag == "-v" || flag == "-vv") {
      args.verbosity += static_cast<int>(flag.size()) - 1;
    } else if (i + 1 < argc && parseOption(flag, argv[i + 1], args)) {
      ++i;
    } else {
      std::cerr << "kestrun: bad option or value: " << flag << "\n";
      return false;
    }
  }
  const bool output = !args.step.empty() || !args.report.empty() || !args.meshes.gltf.empty() ||
                      !args.meshes.stl.empty() || !args.meshes.svg.empty() ||
                      !args.meshes.png.empty() || !args.svgItems.empty();
  if (!output) {
    std::cerr << "kestrun: an output is required: --step, --report, --gltf, --stl, --svg or "
                 "--png\n";
  }
  return output;
}

bool readInput(const std::string& path, std::vector<unsigned char>& bytes) {
  std::istream* in = &std::cin;
  std::ifstream file;
  if (path != "-") {
    file.open(path, std::ios::binary);
    if (!file) return false;
    in = &file;
  }
  bytes.assign(std::istreambuf_iterator<char>(*in), std::istreambuf_iterator<char>());
  return !in->bad();
}

// Standard output is kept for the result alone: the core's log lines and the kernel's
// messages go to the log file, or to standard error as far as the verbosity asks.
std::FILE* openLog(const std::string& path) {
  const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  if (fd < 0) return nullptr;
  std::FILE* file = fdopen(fd, "a");
  if (!file) close(fd);
  return file;
}

// Where the kernel's own messages go: the log file, standard error when verbose, else
// nowhere.
std::FILE* kernelMessageStream(std::FILE* log, int verbosity) {
  if (log) return log;
  if (verbosity > 0) return stderr;
  static std::FILE* discard = std::fopen("/dev/null", "w");
  return discard ? discard : stderr;
}

// The two stages the add-in runs for an assembly, with the core linked instead of loaded.
int32_t drawProduct(const std::vector<unsigned char>& bytes, const Arguments& args,
                    std::shared_ptr<host::Document>& document, MardelImportResult& result) {
  vantrel::CoreExports exports;
  exports.drawJson = &MardelImport_DrawJson;
  exports.listProductSourceParts = &MardelImport_ListProductSourceParts;
  exports.freeProductSourcePartSpecs = &MardelImport_FreeProductSourcePartSpecs;
  exports.assignProductSourcePartNumber = &MardelImport_AssignProductSourcePartNumber;
  vantrel::TransferDataProcessor::SetDrawDelayMs(static_cast<uint32_t>(args.options.drawDelayMs));
  return vantrel::TransferDataProcessor::DrawProductJson(exports, document, bytes, result);
}

// Part or Product as the add-in decides it: --mode 1 or 2 wins, else the payload's own text.
bool drawsProduct(const Arguments& args, const std::vector<unsigned char>& bytes) {
  if (args.options.mode == 2) return true;
  if (args.options.mode != 0) return false;
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  return vantrel::DetectPayloadKind(text) == vantrel::PayloadKind::Product;
}

// The core read the payload as a product, which a Part cannot hold.
bool wantsAProduct(const MardelImportResult& result) {
  return result.status == MARDEL_STATUS_FAILED && result.errorCode == MARDEL_CODE_INPUT &&
         std::strcmp(result.message, "CATDocument does not expose Product roots.") == 0;
}

// Draws into a new document of the kind the payload asks for, once more into a Product when
// a Part turns out to be the wrong kind. `product` says what `document` became.
int32_t drawDocument(occt_host::Session& session, const std::vector<unsigned char>& bytes,
                     Arguments& args, std::shared_ptr<host::Document>& document, bool& product,
                     MardelImportResult& result) {
  product = drawsProduct(args, bytes);
  document = session.newDocument(product ? "Product" : "Part");
  session.openWindow(document);
  if (product) return drawProduct(bytes, args, document, result);
  const int32_t status =
      MardelImport_DrawJson(document.get(), bytes.data(), bytes.size(), &args.options, &result);
  if (args.options.mode != 0 || !wantsAProduct(result)) return status;
  product = true;
  document = session.newDocument("Product");
  session.openWindow(document);
  result = MardelImportResult{};
  return drawProduct(bytes, args, document, result);
}

// Writes the STEP, glTF and STL files asked for and returns the result record naming them;
// each file that could not be written adds its line to `failures`.
std::string writeStepAndMeshes(const std::shared_ptr<host::Document>& document,
                               const Arguments& args, const MardelImportResult& result,
                               std::vector<std::string>& failures) {
  std::string stepError;
  const bool written = !args.step.empty() && occt_host::exportStep(document, args.step, &stepError);
  if (!args.step.empty() && !written)
    failures.push_back(kestrun_app::notWrittenLine("STEP", args.step, stepError));
  std::string record = kestrun_app::resultJson(result, args.step, written, stepError);
  record.insert(record.size() - 1, kestrun_app::writeMeshOutputs(document, args.meshes, failures));
  return record;
}

// Writes the report (when asked for) and the result record on standard output. A report
// that could not be written is named in the record, which is then the only account of
// the draw.
void writeReportAndRecord(const Arguments& args, std::string record,
                          const kestrun_app::ReportSummary& summary,
                          const std::vector<kestrun_app::ReportItem>& items,
                          const kestrun_validate::Validation& validation,
                          std::vector<std::string>& failures) {
  std::string reason;
  if (!args.report.empty() &&
      !kestrun_app::writeText(
          args.report,
          kestrun_app::reportJson(args.input, record, summary, items, validation.problems),
          &reason)) {
    if (args.report == "-") {
      failures.push_back("cannot write the report on standard output: " + reason);
      return;
    }
    const std::string line = kestrun_app::notWrittenLine("report", args.report, reason);
    failures.push_back(line);
    record.insert(record.size() - 1, ",\"reportWritten\":false,\"reportError\":\"" +
                                         kestrun_app::escapeJson(line.c_str()) + "\"");
  }
  if (args.report != "-" && !kestrun_app::writeText("-", record + "\n", &reason))
    failures.push_back("cannot write the result record on standard output: " + reason);
}

// The core's record says why a text is not JSON but not where: standard error says that,
// from the problems found before the draw (checked now when no report asked for them).
void sayWhereParsingStopped(const MardelImportResult& result, std::string_view text,
                            const kestrun_validate::Validation& validation) {
  if (std::strcmp(result.message, "JSON parse failed.") != 0) return;
  const kestrun_validate::Validation checked =
      validation.readable ? kestrun_validate::validateText(text) : validation;
  for (const kestrun_validate::Problem& p : checked.problems) {
    if (p.line <= 0) continue;
    // The message names the line and the column ("not JSON at line 3, column 1: ...").
    std::cerr << "kestrun: " << p.message << (p.suggestion.empty() ? "" : " (" + p.suggestion + ")")
              << "\n";
    return;
  }
}

}  // namespace

namespace kestrun_app {

int runKestrun(int argc, char** argv) {
  // A file run by `kestrun check` ends with the batch, even when the batch is killed.
  platform::EndWithParentIfAsked();
  if (argc >= 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::cout << kUsage;
    return 0;
  }
  if (argc >= 2 && std::strcmp(argv[1], "check") == 0) return kestrun_app::runCheck(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], "validate") == 0)
    return kestrun_app::runValidate(argc, argv);
  if (asksForHelp(argc, argv)) {
    std::cout << kUsage;
    return 0;
  }
  Arguments args;
  if (!parseArguments(argc, argv, args)) {
    std::cerr << kUsage;
    return kUsageError;
  }
  std::vector<unsigned char> bytes;
  if (!readInput(args.input, bytes)) {
    std::cerr << "kestrun: cannot read " << args.input << "\n";
    return kUsageError;
  }
  std::FILE* log = args.log.empty() ? nullptr : openLog(args.log);
  if (!args.log.empty() && !log) {
    std::cerr << "kestrun: cannot open log file " << args.log << "\n";
    return kUsageError;
  }
  kestrun_app::Progress progress(stderr, isatty(STDERR_FILENO) == 1, args.verbosity, log);
  // The progress line needs the report's events, not the volumes a report file shows.
  progress.install(!args.report.empty());
  occt_host::sendKernelMessagesTo(kernelMessageStream(log, args.verbosity));
  // A product is staged by the add-in's own code, whose diagnostic lines would otherwise
  // reach standard error past the quiet progress line.
  platform::SetDebugOutputEnabled(args.verbosity > 0);

  // The document's mistakes, found before the draw, go into the report beside its items.
  const kestrun_validate::Validation validation =
      args.report.empty() ? kestrun_validate::Validation{}
                          : kestrun_validate::validateText(std::string_view(
                                reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  occt_host::Session session;
  std::shared_ptr<host::Document> document;
  bool product = false;
  MardelImportResult result{};
  const int32_t status = drawDocument(session, bytes, args, document, product, result);
  const double seconds = progress.elapsed();
  std::vector<std::string> failures;
  std::string record = writeStepAndMeshes(document, args, result, failures);
  record.insert(record.size() - 1, kestrun_app::writeViewPng(bytes, args.meshes, failures));
  progress.uninstall();
  if (!args.svgItems.empty())
    record.insert(record.size() - 1,
                  kestrun_app::writeItemSheets(document, progress.collector().items(),
                                               args.svgItems, failures));
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  kestrun_app::explainItems(progress.collector().items(), validation.problems, text);
  kestrun_app::ReportSummary summary = progress.collector().summary(
      seconds,
      product || args.report.empty() ? std::nullopt : kestrun_app::partSolidsVolume(document));
  kestrun_app::flagDocument(summary, result);
  progress.finish(summary, result);
  sayWhereParsingStopped(result, text, validation);
  writeReportAndRecord(args, record, summary, progress.collector().items(), validation, failures);
  for (const std::string& line : failures) std::cerr << "kestrun: " << line << "\n";
  return kestrun_app::drawExitStatus(status, failures.empty());
}

}  // namespace kestrun_app
