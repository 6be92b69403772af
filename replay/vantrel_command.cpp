// The vantrel command line: front-end packets replayed through the transfer protocol (alone
// or in a CAD session), and the add-in's runtime configuration.
#include "replay/vantrel_command.h"

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "occt_host/kernel/kernel_messages.h"
#include "platform/debug_output.h"
#include "replay/session_replay.h"
#include "vantrel/config_report.h"
#include "vantrel/packet_replay.h"
#include "vantrel/transfer_data_processor.h"

namespace {

constexpr char kUsage[] =
    "usage: vantrel [--debug-output] replay FILE|-\n"
    "       vantrel [--debug-output] replay --session FILE|- --export DIR\n"
    "       vantrel [--debug-output] config\n"
    "       vantrel --help\n"
    "\n"
    "replay  reads one packet (a JSON text) per line from FILE, or from standard input for -,\n"
    "        runs them in order through one transfer table and prints one JSON line per\n"
    "        packet: kind, command, name, mode, reply, detail (and schemaResponse when the\n"
    "        demo schema hook answers). Payloads are not drawn; a base64 transfer completes\n"
    "        when every chunk is base64 text. Exit status 1 when any packet failed.\n"
    "        With --session the packets run in a CAD session: json payloads are drawn by the\n"
    "        core, base64 transfers are inserted as STEP files into the active document, and\n"
    "        every document with a solid is exported to DIR.\n"
    "config  loads the runtime configuration as the add-in does (environment, registry file\n"
    "        named by TOLVANE_REGISTRY_FILE, defaults), prints one line per setting with its\n"
    "        value and source, and writes the configuration lines to the daily log.\n"
    "--debug-output  also copy every log line to standard error.\n";

int ReplayFile(const std::string& source) {
  if (source == "-") return vantrel::ReplayPackets(std::cin, std::cout) == 0 ? 0 : 1;
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    std::cerr << "vantrel: cannot open " << source << "\n";
    return 2;
  }
  return vantrel::ReplayPackets(in, std::cout) == 0 ? 0 : 1;
}

void WriteToStandardError(void*, int32_t, const char* text, uint64_t size) {
  std::fwrite(text, 1, size, stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

// The core's log lines and the kernel's messages go to standard error, so that standard
// output carries only the replay's own lines.
size_t ReplaySessionQuietly(std::istream& in, const std::string& exportDir) {
  vantrel::TransferDataProcessor::SetCoreLogSink(WriteToStandardError, nullptr);
  occt_host::sendKernelMessagesTo(stderr);
  std::ostringstream lines;
  const size_t failures = vantrel::ReplaySession(in, lines, exportDir);
  std::cout << lines.str();
  std::cout.flush();
  return failures;
}

int ReplaySessionFile(const std::string& source, const std::string& exportDir) {
  if (source == "-") return ReplaySessionQuietly(std::cin, exportDir) == 0 ? 0 : 1;
  std::ifstream in(source, std::ios::binary);
  if (!in) {
    std::cerr << "vantrel: cannot open " << source << "\n";
    return 2;
  }
  return ReplaySessionQuietly(in, exportDir) == 0 ? 0 : 1;
}

}  // namespace

namespace vantrel {

int RunVantrelCommand(int argc, char** argv) {
  try {
    int arg = 1;
    platform::SetDebugOutputEnabled(false);
    if (arg < argc && std::strcmp(argv[arg], "--debug-output") == 0) {
      platform::SetDebugOutputEnabled(true);
      ++arg;
    }
    std::string command = arg < argc ? argv[arg] : "";
    if (command == "--help" || command == "-h" || command == "help") {
      std::cout << kUsage;
      return 0;
    }
    if (command == "replay" && arg + 2 == argc) return ReplayFile(argv[arg + 1]);
    if (command == "replay" && arg + 5 == argc && std::strcmp(argv[arg + 1], "--session") == 0 &&
        std::strcmp(argv[arg + 3], "--export") == 0) {
      return ReplaySessionFile(argv[arg + 2], argv[arg + 4]);
    }
    if (command == "config" && arg + 1 == argc) {
      for (const std::string& line : vantrel::DescribeRuntimeConfig()) std::cout << line << "\n";
      return 0;
    }
    std::cerr << kUsage;
    return 2;
  } catch (const std::exception& error) {
    std::cerr << "vantrel: " << error.what() << "\n";
    return 3;
  }
}

}  // namespace vantrel
