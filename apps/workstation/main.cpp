// workstation: the desktop CAD session that loads the Vantrel add-in.
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QFileInfo>
#include <QSocketNotifier>
#include <QTimer>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "occt_host/application_frame.h"
#include "platform/dynamic_library.h"
#include "workstation/occt_view.h"
#include "workstation/workstation.h"

namespace {

const char* const kUsage =
    "Usage: workstation [options]\n"
    "\n"
    "Opens a CAD session with one Part and the Vantrel add-in's toolbar.\n"
    "\n"
    "Options:\n"
    "  --addin PATH          the add-in module (default: libVantrel.so beside the program)\n"
    "  --no-addin            start without the add-in\n"
    "  --open FILE.json      draw a part JSON into the Part on start\n"
    "  --delay-ms MS         show each drawn item for MS milliseconds (default 0)\n"
    "  --screenshot FILE.png save the window once the drawing is done\n"
    "  --quit-after-draw     end once the drawing (and screenshot) is done\n"
    "  --help                show this text\n";

struct Arguments {
  std::string addin;
  bool noAddin = false;
  std::string open;
  unsigned long delayMs = 0;
  std::string screenshot;
  bool quitAfterDraw = false;
};

int g_signalPipe[2] = {-1, -1};

void onSignal(int number) {
  const char byte = static_cast<char>(number);
  (void)!write(g_signalPipe[1], &byte, 1);
}

// SIGINT and SIGTERM end the session through its message loop, as closing the window does.
void watchSignals(workstation::Workstation& ws) {
  if (socketpair(AF_UNIX, SOCK_STREAM, 0, g_signalPipe) != 0) return;
  auto* notifier = new QSocketNotifier(g_signalPipe[0], QSocketNotifier::Read, qApp);
  QObject::connect(notifier, &QSocketNotifier::activated, [&ws] {
    char byte = 0;
    (void)!read(g_signalPipe[0], &byte, 1);
    ws.pump().postQuit(0);
  });
  struct sigaction action {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  sigaction(SIGINT, &action, nullptr);
  sigaction(SIGTERM, &action, nullptr);
}

bool parse(int argc, char** argv, Arguments& args) {
  for (int i = 1; i < argc; ++i) {
    const std::string flag = argv[i];
    const bool hasValue = i + 1 < argc;
    if (flag == "--addin" && hasValue) {
      args.addin = argv[++i];
    } else if (flag == "--no-addin") {
      args.noAddin = true;
    } else if (flag == "--open" && hasValue) {
      args.open = argv[++i];
    } else if (flag == "--delay-ms" && hasValue) {
      args.delayMs = std::strtoul(argv[++i], nullptr, 10);
    } else if (flag == "--screenshot" && hasValue) {
      args.screenshot = argv[++i];
    } else if (flag == "--quit-after-draw") {
      args.quitAfterDraw = true;
    } else {
      return false;
    }
  }
  return true;
}

bool loadAddin(workstation::Workstation& ws, const std::string& path,
               platform::DynamicLibrary& module) {
  if (!module.Open(path)) {
    std::cerr << "workstation: cannot load the add-in " << path << ": " << module.LastError()
              << "\n";
    return false;
  }
  if (ws.createAddins() == 0) {
    std::cerr << "workstation: " << path << " registered no add-in\n";
    return false;
  }
  return true;
}

void drawOnStart(workstation::Workstation& ws, const Arguments& args) {
  if (!args.open.empty()) {
    std::ifstream in(args.open, std::ios::binary);
    std::stringstream text;
    text << in.rdbuf();
    if (!in) std::cerr << "workstation: cannot read " << args.open << "\n";
    MardelImportResult result{};
    const int status = ws.drawJson(ws.frame().documents().front(), text.str(),
                                   static_cast<std::uint32_t>(args.delayMs), result);
    std::cout << "{\"status\":" << status << ",\"errorCode\":" << result.errorCode
              << ",\"createdCount\":" << result.createdCount << "}" << std::endl;
  }
  if (!args.screenshot.empty()) {
    for (workstation::OcctView* view : ws.mainWindowWidget().views()) view->repaint();
    if (!ws.mainWindowWidget().grab().save(QString::fromStdString(args.screenshot)))
      std::cerr << "workstation: cannot write " << args.screenshot << "\n";
  }
  if (args.quitAfterDraw) ws.pump().postQuit(0);
}

}  // namespace

int main(int argc, char** argv) {
  Arguments args;
  for (int i = 1; i < argc; ++i) {
    if (std::string(argv[i]) == "--help") {
      std::cout << kUsage;
      return 0;
    }
  }
  if (!parse(argc, argv, args)) {
    std::cerr << kUsage;
    return 64;
  }
  QApplication app(argc, argv);
  // Declared first so that it is unloaded after every object it made is gone.
  platform::DynamicLibrary addinModule;
  workstation::Workstation ws;
  watchSignals(ws);
  ws.newPart();
  if (!args.noAddin) {
    const std::string path =
        args.addin.empty() ? QCoreApplication::applicationDirPath().toStdString() + "/libVantrel.so"
                           : args.addin;
    if (!loadAddin(ws, path, addinModule)) return 1;
  }
  ws.mainWindowWidget().show();
  QTimer::singleShot(0, [&ws, &args] { drawOnStart(ws, args); });
  const int code = QApplication::exec();
  ws.releaseAddins();
  return code;
}
