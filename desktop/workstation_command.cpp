// The workstation command line: a desktop CAD session that loads the Vantrel add-in, linked
// to the geometry core, drawing a file on start when asked.
#include "desktop/workstation_command.h"

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
#include <iterator>
#include <optional>
#include <sstream>
#include <string>

#include "desktop/core_drawing.h"
#include "occt_host/session/application_frame.h"
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
    "  --frontend URL        the panel's front-end location (for example the console page)\n"
    "  --open-panel          open the add-in's panel on start\n"
    "  --open FILE.json      draw a part JSON into the Part on start (a product JSON into a\n"
    "                        new Product)\n"
    "  --delay-ms MS         show each drawn item for MS milliseconds (default 0)\n"
    "  --screenshot FILE.png save the window once the drawing is done\n"
    "  --view-png FILE.png   save the drawn document's 3D view alone, shaded, isometric\n"
    "  --quit-after-draw     end once the drawing (and screenshot) is done\n"
    "  --report-startup      print the time to a shown window and the peak memory\n"
    "  --help                show this text\n";

struct Arguments {
  std::string addin;
  bool noAddin = false;
  std::optional<std::string> frontend;
  bool openPanel = false;
  std::string open;
  unsigned long delayMs = 0;
  std::string screenshot;
  std::string viewPng;
  bool quitAfterDraw = false;
  bool reportStartup = false;
};

constexpr int kViewNotSaved = 3;

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
    } else if (flag == "--frontend" && hasValue) {
      args.frontend = argv[++i];
    } else if (flag == "--open-panel") {
      args.openPanel = true;
    } else if (flag == "--open" && hasValue) {
      args.open = argv[++i];
    } else if (flag == "--delay-ms" && hasValue) {
      args.delayMs = std::strtoul(argv[++i], nullptr, 10);
    } else if (flag == "--screenshot" && hasValue) {
      args.screenshot = argv[++i];
    } else if (flag == "--view-png" && hasValue) {
      args.viewPng = argv[++i];
    } else if (flag == "--quit-after-draw") {
      args.quitAfterDraw = true;
    } else if (flag == "--report-startup") {
      args.reportStartup = true;
    } else {
      return false;
    }
  }
  return true;
}

bool loadAddin(workstation::Workstation& ws, const std::string& path,
               const std::optional<std::string>& frontend, platform::DynamicLibrary& module) {
  // The add-in brings Qt WebEngine, whose clean-up runs when the application object goes and
  // at exit: its code must stay mapped until then, as a host keeps its add-ins for the session.
  if (!module.Open(path, platform::DynamicLibrary::Residency::UntilExit)) {
    std::cerr << "workstation: cannot load the add-in " << path << ": " << module.LastError()
              << "\n";
    return false;
  }
  using SetLocation = void (*)(const char*);
  auto setLocation = reinterpret_cast<SetLocation>(module.Symbol("Vantrel_SetFrontendLocation"));
  if (frontend && setLocation != nullptr) setLocation(frontend->c_str());
  if (ws.createAddins() == 0) {
    std::cerr << "workstation: " << path << " registered no add-in\n";
    return false;
  }
  return true;
}

// Peak resident memory of this process in KiB (VmHWM), 0 when unknown.
long peakResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmHWM:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
  }
  return 0;
}

// Seconds since the process started, from the kernel's own start time.
double secondsSinceStart() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  std::istringstream fields(text.substr(text.rfind(')') + 2));
  std::string field;
  unsigned long long startTicks = 0;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
    if (i == 22) startTicks = std::stoull(field);
  }
  std::ifstream uptime("/proc/uptime");
  double up = 0;
  uptime >> up;
  return up - static_cast<double>(startTicks) / static_cast<double>(sysconf(_SC_CLK_TCK));
}

// Draws the file asked for; returns the document drawn into (the first Part when none).
std::shared_ptr<host::Document> openOnStart(workstation::Workstation& ws, const Arguments& args) {
  std::shared_ptr<host::Document> document = ws.frame().documents().front();
  if (args.open.empty()) return document;
  std::ifstream in(args.open, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  if (!in) std::cerr << "workstation: cannot read " << args.open << "\n";
  workstation::Workstation::DrawResult result;
  const int status = ws.openJson(text.str(), static_cast<std::uint32_t>(args.delayMs), document,
                                 result, &document);
  std::cout << "{\"status\":" << status << ",\"errorCode\":" << result.errorCode
            << ",\"createdCount\":" << result.createdCount << "}" << std::endl;
  return document;
}

void drawOnStart(workstation::Workstation& ws, const Arguments& args) {
  if (args.reportStartup) {
    for (workstation::OcctView* view : ws.mainWindowWidget().views()) view->repaint();
    std::cout << "{\"startupSeconds\":" << secondsSinceStart()
              << ",\"peakResidentKb\":" << peakResidentKb() << "}" << std::endl;
  }
  const std::shared_ptr<host::Document> drawn = openOnStart(ws, args);
  if (!args.screenshot.empty()) {
    for (workstation::OcctView* view : ws.mainWindowWidget().views()) view->repaint();
    if (!ws.mainWindowWidget().grab().save(QString::fromStdString(args.screenshot)))
      std::cerr << "workstation: cannot write " << args.screenshot << "\n";
  }
  std::string error;
  const bool viewSaved = args.viewPng.empty() || ws.saveIsometricView(drawn, args.viewPng, error);
  if (!viewSaved) std::cerr << "workstation: " << error << "\n";
  // A view that was asked for and not saved fails the run, so that a caller can tell.
  if (args.quitAfterDraw) ws.pump().postQuit(viewSaved ? 0 : kViewNotSaved);
}

}  // namespace

namespace desktop {

int runWorkstation(int argc, char** argv) {
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
  // Declared before the application object, so that it goes after it: the application's
  // clean-up still calls into what the add-in brought.
  platform::DynamicLibrary addinModule;
  // Qt WebEngine shares its OpenGL contexts with the application's.
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  workstation::Workstation ws;
  CoreDrawing drawing(ws);
  watchSignals(ws);
  ws.newPart();
  if (!args.noAddin) {
    const std::string path =
        args.addin.empty() ? QCoreApplication::applicationDirPath().toStdString() + "/libVantrel.so"
                           : args.addin;
    if (!loadAddin(ws, path, args.frontend, addinModule)) return 1;
  }
  ws.mainWindowWidget().show();
  if (args.openPanel) ws.startCommand("VantrelCmdHeader");
  QTimer::singleShot(0, [&ws, &args] { drawOnStart(ws, args); });
  const int code = QApplication::exec();
  ws.releaseAddins();
  return code;
}

}  // namespace desktop
