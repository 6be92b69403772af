// The add-in as the workstation loads it: the built (or installed) libVantrel.so opened
// through its path beside the program, its panel showing the console page, and the page
// sending the flanged bracket in hashed chunks. Nothing says where the core is: the add-in
// finds it from its own module file, loads it and draws the part into the session.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineView>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "occt_host/kernel/inspect.h"
#include "platform/dynamic_library.h"
#include "workstation/workstation.h"

namespace {

// Removes what it can: the browser engine may still be writing its own files there.
void RemoveTree(const std::filesystem::path& path) {
  std::error_code error;
  std::filesystem::remove_all(path, error);
}

std::string ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

template <class F>
bool WaitFor(F condition, int ms = 60000) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < ms) {
    if (condition()) return true;
    QApplication::processEvents(QEventLoop::AllEvents, 20);
  }
  return condition();
}

QVariant Js(QWebEngineView* view, const QString& script) {
  QVariant value;
  bool done = false;
  view->page()->runJavaScript(script, [&](const QVariant& v) {
    value = v;
    done = true;
  });
  WaitFor([&] { return done; }, 10000);
  return value;
}

// The add-in's module: the path the workstation would take unless the test names another.
std::string AddinPath() {
  const char* chosen = getenv("TOLVANE_TEST_ADDIN");
  return chosen != nullptr && *chosen != '\0' ? chosen : DEFAULT_ADDIN;
}

std::string LogText(const std::filesystem::path& folder) {
  std::string text;
  std::error_code error;
  for (const auto& entry : std::filesystem::recursive_directory_iterator(folder, error))
    if (entry.is_regular_file()) text += ReadAll(entry.path());
  return text;
}

// A session with one Part, the add-in loaded as the workstation loads it, and its panel
// showing the console page.
class PanelModule : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(getenv("TOLVANE_MARDEL_CORE_DLL"), nullptr) << "the core must be found, not named";
    RemoveTree(state_);
    std::filesystem::create_directories(state_);
    setenv("XDG_STATE_HOME", state_.c_str(), 1);
    // The panel's browser profile lives in the temporary folder: one of its own for this run.
    setenv("TMPDIR", state_.c_str(), 1);
    part_ = ws_.newPart();
    ws_.mainWindowWidget().resize(1500, 900);
    ws_.mainWindowWidget().show();
    QApplication::processEvents();
    // Kept until the process ends, as the workstation keeps it.
    static platform::DynamicLibrary addin;
    ASSERT_TRUE(addin.Open(AddinPath(), platform::DynamicLibrary::Residency::UntilExit))
        << addin.LastError();
    using SetLocation = void (*)(const char*);
    auto setLocation = reinterpret_cast<SetLocation>(addin.Symbol("Vantrel_SetFrontendLocation"));
    ASSERT_NE(setLocation, nullptr);
    setLocation(QUrl::fromLocalFile(CONSOLE_DIR "/index.html").toString().toStdString().c_str());
    ASSERT_EQ(ws_.createAddins(), 1);
    ASSERT_TRUE(ws_.startCommand("VantrelCmdHeader"));
    ASSERT_TRUE(WaitFor([&] {
      view_ = ws_.mainWindowWidget().findChild<QWebEngineView*>();
      return view_ != nullptr &&
             Js(view_, "!!(window.tolvaneConsole && tolvaneConsole.connected)").toBool();
    })) << LogText(state_);
  }
  void TearDown() override {
    ws_.releaseAddins();
    RemoveTree(state_);
  }

  const std::filesystem::path state_ =
      std::filesystem::temp_directory_path() / ("tolvane-panel-module-" + std::to_string(getpid()));
  workstation::Workstation ws_;
  std::shared_ptr<host::Document> part_;
  QWebEngineView* view_ = nullptr;
};

TEST_F(PanelModule, TheConsoleSendsTheBracketInHashedChunksAndTheFoundCoreDrawsIt) {
  const std::string bracket = ReadAll(EXAMPLES_DIR "/flanged_bracket.json");
  ASSERT_FALSE(bracket.empty());
  // 6005 bytes in chunks of 700: nine hashed chunks, the third damaged once and sent again.
  const QString text =
      QString::fromUtf8(
          QJsonDocument(QJsonArray{QString::fromStdString(bracket)}).toJson(QJsonDocument::Compact))
          .mid(1)
          .chopped(1);
  Js(view_, QString("tolvaneConsole.sendLarge(%1, 'json', 700, 2)").arg(text));
  QJsonArray replies;
  ASSERT_TRUE(WaitFor([&] {
    replies = QJsonDocument::fromJson(
                  Js(view_, "JSON.stringify(tolvaneConsole.replies())").toString().toUtf8())
                  .array();
    for (const auto& reply : replies)
      if (reply.toObject()["cmd"] == "transferLargeEcho") return true;
    return false;
  })) << QJsonDocument(replies).toJson().toStdString()
      << LogText(state_);

  const std::string log = LogText(state_);
  EXPECT_EQ(log.find("TransferDataProcessor::LoadLibraryFailed"), std::string::npos) << log;
  EXPECT_NE(log.find("TransferDataProcessor::ImportStatus status=0 resultStatus=0"),
            std::string::npos)
      << log;
  // Base 120*80*10 = 96000 and upright 120*10*70 = 84000 share 120*10*10 = 12000: 168000;
  // four base bores pi*5^2*10 = 250 pi each and two upright bores pi*6^2*10 = 360 pi each
  // take 1720 pi; the 40 x 20 pocket 4 deep with the 1 mm overshoot takes 40*20*5 = 4000.
  const double expected = 168000 - 1720 * M_PI - 4000;
  EXPECT_NEAR(occt_host::partVolume(part_), expected, expected * 1e-6);
}

}  // namespace
