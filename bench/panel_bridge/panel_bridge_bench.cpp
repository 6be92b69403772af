// 64 MiB of part JSON sent by the front-end console page in 4,096 FNV-1a hashed chunks
// through the real bridge (Qt WebEngine, offscreen, the page's web channel) to the assembled
// text handed to the drawing step, whose draw is stubbed; beside it, in the same run, the
// protocol alone over the same packets in this process and FNV-1a alone over the same bytes.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QUrl>
#include <QVariant>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cstdio>
#include <map>
#include <memory>
#include <string>

#include "panel/web_panel_window.h"
#include "platform/debug_output.h"
#include "transfer_payload.h"
#include "vantrel/chunk_hash.h"

namespace {

using bench::kTransferPayloadBytes;

constexpr size_t kChunkCount = 4096;
constexpr int kTimeoutMs = 10 * 60 * 1000;

// The drawing step: takes the assembled text and draws nothing.
class DrawReady : public vantrel::JsonPayloadProcessor {
 public:
  void DrawJson(const std::string& json) override {
    bytes = json.size();
    done = true;
  }
  size_t bytes = 0;
  bool done = false;
};

template <class F>
bool WaitFor(F condition, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > ms) return false;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return true;
}

QVariant RunJs(QWebEnginePage* page, const QString& script) {
  QVariant value;
  bool done = false;
  page->runJavaScript(script, [&](const QVariant& v) {
    value = v;
    done = true;
  });
  WaitFor([&] { return done; }, kTimeoutMs);
  return value;
}

// The page builds the same payload as the protocol benchmarks, so that only the sending,
// hashing and carrying are timed, not the making.
const char kBuildPayload[] = R"(
  (function (size) {
    var parts = ['{"items":['], length = parts[0].length;
    for (var i = 0; length < size - 64; ++i) {
      var item = (i > 0 ? ',' : '') + '{"id":"s' + i + '","type":"line","x":' + (i % 1000) +
                 '.25,"y":-' + (i % 777) + '.5}';
      parts.push(item);
      length += item.length;
    }
    parts.push(']}');
    var text = parts.join('');
    window.benchText = text + ' '.repeat(size - text.length);
    return window.benchText.length;
  })(%1))";

// The panel window showing the console, with the draw stubbed and the payload in the page.
struct Bridge {
  std::unique_ptr<panel::WebPanelWindow> window;
  DrawReady ready;
  std::string error;
};

// Opens the panel on the console and has the page build the payload; the error says why not.
std::string OpenBridge(Bridge& bridge) {
  panel::InstallWebPanel();
  bridge.window = std::make_unique<panel::WebPanelWindow>(0, 800, 600);
  bridge.window->SetDrawTarget(&bridge.ready);
  const QString url = QUrl::fromLocalFile(CONSOLE_DIR "/index.html").toString();
  if (!bridge.window->Show(url.toStdString()))
    return "the panel did not open: " + bridge.window->LastError();
  QWebEnginePage* page = bridge.window->view()->page();
  const auto connected = [&] {
    return RunJs(page, "!!(window.tolvaneConsole && tolvaneConsole.connected)").toBool();
  };
  if (!WaitFor(connected, 60000))
    return "the console did not connect: " + bridge.window->LastError();
  const QVariant built = RunJs(
      page, QString::fromUtf8(kBuildPayload).arg(static_cast<qulonglong>(kTransferPayloadBytes)));
  if (built.toULongLong() != kTransferPayloadBytes) return "the page did not build the payload";
  return "";
}

// Made at the first run; closed before the application goes, as the engine requires.
std::unique_ptr<Bridge> theBridge;

Bridge& TheBridge() {
  if (!theBridge) {
    theBridge = std::make_unique<Bridge>();
    theBridge->error = OpenBridge(*theBridge);
  }
  return *theBridge;
}

void BM_PanelBridge(benchmark::State& state) {
  Bridge& bridge = TheBridge();
  if (!bridge.error.empty()) {
    state.SkipWithError(bridge.error.c_str());
    return;
  }
  QWebEnginePage* page = bridge.window->view()->page();
  const QString send = QString("tolvaneConsole.sendLarge(window.benchText, 'json', %1, -1), 0")
                           .arg(kTransferPayloadBytes / kChunkCount);
  for (auto _ : state) {
    bridge.ready = DrawReady();
    QElapsedTimer timer;
    timer.start();
    page->runJavaScript(send);
    if (!WaitFor([&] { return bridge.ready.done; }, kTimeoutMs)) {
      state.SkipWithError("the transfer did not reach the drawing step");
      break;
    }
    state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) / 1e9);
    if (bridge.ready.bytes != kTransferPayloadBytes) {
      state.SkipWithError("the drawing step got the wrong text");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTransferPayloadBytes));
}

void BM_ProtocolOnly(benchmark::State& state) {
  const std::vector<std::string>& packets = bench::TransferPackets(kChunkCount);
  DrawReady ready;
  for (auto _ : state) {
    vantrel::TransferOutcome last = bench::ReceivePackets(packets, {&ready, nullptr});
    if (ready.bytes != kTransferPayloadBytes) {
      state.SkipWithError("the transfer did not complete");
      break;
    }
    benchmark::DoNotOptimize(last.data.data());
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * kTransferPayloadBytes));
}

void BM_Fnv1aAlone(benchmark::State& state) {
  const std::string& payload = bench::TransferPayload();
  for (auto _ : state) benchmark::DoNotOptimize(vantrel::ChunkHash(payload));
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * payload.size()));
}

BENCHMARK(BM_PanelBridge)->UseManualTime()->Iterations(3)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ProtocolOnly)->Unit(benchmark::kMillisecond)->MinTime(3.0);
BENCHMARK(BM_Fnv1aAlone)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The table, then the three throughputs side by side: the bridge on wall time (its work is
// shared with the browser's own processes), the other two on this process's CPU time and on
// wall time.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      if (run.run_type != Run::RT_Iteration || run.error_occurred) continue;
      std::string name = run.benchmark_name();
      name = name.substr(0, name.find('/'));
      wall_[name] = run.GetAdjustedRealTime() / 1e3;  // ms to s
      cpu_[name] = run.GetAdjustedCPUTime() / 1e3;
    }
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const double mb = static_cast<double>(kTransferPayloadBytes) / 1e6;
    const double bridge = wall_["BM_PanelBridge"];
    const double protocol = cpu_["BM_ProtocolOnly"];
    const double fnv = cpu_["BM_Fnv1aAlone"];
    if (bridge > 0) std::printf("\npage to drawn-ready   %8.1f MB/s wall\n", mb / bridge);
    if (protocol > 0) {
      std::printf("protocol only         %8.1f MB/s CPU  %8.1f MB/s wall\n", mb / protocol,
                  mb / wall_["BM_ProtocolOnly"]);
    }
    if (fnv > 0) {
      std::printf("FNV-1a alone          %8.1f MB/s CPU  %8.1f MB/s wall\n", mb / fnv,
                  mb / wall_["BM_Fnv1aAlone"]);
    }
    if (bridge > 0 && protocol > 0 && fnv > 0) {
      std::printf("bridge / protocol %.1fx wall; protocol / FNV-1a %.2fx CPU\n",
                  bridge / wall_["BM_ProtocolOnly"], protocol / fnv);
    }
  }

 private:
  std::map<std::string, double> wall_;
  std::map<std::string, double> cpu_;
};

}  // namespace

int main(int argc, char** argv) {
  // The browser engine's sandbox cannot start as root in containers; only this program, like
  // the panel's tests, turns it off. No display is needed.
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
  if (qEnvironmentVariableIsEmpty("QTWEBENGINE_CHROMIUM_FLAGS"))
    qputenv("QTWEBENGINE_CHROMIUM_FLAGS", "--disable-gpu");
  benchmark::Initialize(&argc, argv);
  QCoreApplication::setAttribute(Qt::AA_ShareOpenGLContexts);
  QApplication app(argc, argv);
  platform::SetDebugOutputEnabled(false);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  theBridge.reset();
  return 0;
}
