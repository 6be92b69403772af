// The add-in and its panel command on the real workstation: dictionary, header, toolbar,
// auto-open, the choice of the panel's parent window, retries, failure and close.
#include <QDockWidget>
#include <QFrame>
#include <QTest>
#include <QToolBar>

#include <algorithm>

#include "vantrel/addin_exports.h"
#include "vantrel/vantrel_cmd.h"
#include "workstation_fixture.h"

namespace workstation::testing {
namespace {

using ::testing::ElementsAre;

bool Contains(const std::vector<std::string>& lines, const std::string& line) {
  return std::find(lines.begin(), lines.end(), line) != lines.end();
}

vantrel::VantrelCmd* OnlyCommand(Workstation& ws) {
  return ws.commands().size() == 1 ? static_cast<vantrel::VantrelCmd*>(ws.commands().front())
                                   : nullptr;
}

TEST_F(WorkstationTest, ModuleRegistrationCreatesAddinToolbarAndCommand) {
  Workstation& ws = MakeWorkstation(true);
  vantrel::RegisterVantrelModule(ws);
  ASSERT_NE(ws.lookupClass("VantrelAddin", host::kGeneralWorkbenchAddinInterface), nullptr);
  ASSERT_NE(ws.lookupClass("VantrelCmd", host::kCommandInterface), nullptr);
  EXPECT_EQ(ws.createAddins(), 1);

  ASSERT_EQ(ws.headers().size(), 1u);
  const host::CommandHeader& header = *ws.headers().front();
  EXPECT_EQ(header.id(), "VantrelCmdHeader");
  EXPECT_EQ(header.loadName(), "Vantrel");
  EXPECT_EQ(header.className(), "VantrelCmd");
  EXPECT_EQ(header.resourceFileName(), "VantrelAddinHeader");
  EXPECT_EQ(header.title(), u"BrontelAI");
  EXPECT_EQ(header.help(), u"Harnet AI Brontel");
  EXPECT_EQ(header.clone()->resourceFileName(), "VantrelAddinHeader");
  ASSERT_EQ(ws.toolbars().size(), 1u);
  EXPECT_EQ(ws.toolbars().front()->name(), "VantrelTlb");
  auto* bar = ws.mainWindowWidget().findChild<QToolBar*>("VantrelTlb");
  ASSERT_NE(bar, nullptr);
  ASSERT_EQ(bar->actions().size(), 1);
  EXPECT_EQ(bar->actions().front()->text(), QString("BrontelAI"));

  // Pressing the button creates the command through the dictionary; the host owns it.
  bar->actions().front()->trigger();
  EXPECT_EQ(ws.commands().size(), 1u);
  EXPECT_THAT(Messages("plugin.addin"),
              ElementsAre("plugin_open addin_loaded", "VantrelAddin::CreateCommands",
                          "VantrelAddin::CreateToolbars"));
  ws.releaseAddins();
  EXPECT_TRUE(Contains(Messages("plugin.addin"), "plugin_close addin_unloaded"));
  EXPECT_TRUE(Contains(Messages("plugin.command"), "panel_close command_destroyed"));
}

TEST_F(WorkstationTest, EmptyIconNameGivesAIAvatarInHeaderAndStarter) {
  platform::SetEnv("TOLVANE_ICON_NAME", "");
  Workstation& ws = MakeWorkstation(true);
  vantrel::VantrelAddin addin;
  addin.createCommands();
  std::shared_ptr<host::CommandContainer> toolbar = addin.createToolbars();
  ASSERT_EQ(ws.headers().size(), 1u);
  EXPECT_EQ(ws.headers().front()->iconName(), "AIAvatar");
  EXPECT_EQ(ws.headers().front()->iconIndex(), 0);
  ASSERT_EQ(toolbar->children().size(), 1u);
  EXPECT_EQ(toolbar->children().front()->iconName(), "AIAvatar");
  EXPECT_EQ(toolbar->children().front()->headerId(), "VantrelCmdHeader");
}

TEST_F(WorkstationTest, AutoOpenAfterFifteenSecondsOnTheHostClock) {
  platform::SetEnv("TOLVANE_AUTO_OPEN_PANEL", "on");
  Workstation& ws = MakeWorkstation(true);
  vantrel::VantrelAddin addin;
  addin.createCommands();
  addin.createToolbars();
  EXPECT_TRUE(Contains(Messages("plugin.addin"), "VantrelAddin::ScheduleAutoOpenPanel"));
  ws.manualTimers()->advance(14999);
  EXPECT_FALSE(Contains(Messages("plugin.addin"), "VantrelAddin::AutoOpenPanel"));
  EXPECT_TRUE(ws.commands().empty());

  ws.manualTimers()->advance(1);
  const std::vector<std::string> lines = Messages("plugin.addin");
  auto scheduled = std::find(lines.begin(), lines.end(), "VantrelAddin::ScheduleAutoOpenPanel");
  auto opened = std::find(lines.begin(), lines.end(), "VantrelAddin::AutoOpenPanel");
  ASSERT_NE(opened, lines.end());
  EXPECT_LT(scheduled, opened);
  EXPECT_EQ(ws.commands().size(), 1u);
  EXPECT_TRUE(Contains(Messages("plugin.command"), "panel_open command_created"));
  // The one-shot timer is gone: no second panel later.
  ws.manualTimers()->advance(60000);
  EXPECT_EQ(ws.commands().size(), 1u);
}

TEST_F(WorkstationTest, AutoOpenOffSchedulesNothing) {
  Workstation& ws = MakeWorkstation(true);
  vantrel::VantrelAddin addin;
  addin.createToolbars();
  EXPECT_FALSE(Contains(Messages("plugin.addin"), "VantrelAddin::ScheduleAutoOpenPanel"));
  EXPECT_EQ(ws.activeTimers(), 0u);
}

// A command whose dialog and frame get the given client sizes once their windows exist.
std::string ParentChoiceFor(WorkstationTest& test, Workstation& ws, int frameWidth) {
  // The main window is hidden, so the first attempt finds no handle and retries later.
  std::unique_ptr<host::Command> command(fctCreateVantrelCmd());
  auto* cmd = static_cast<vantrel::VantrelCmd*>(command.get());
  EXPECT_EQ(cmd->panelHost(), nullptr);
  EXPECT_EQ(cmd->initRetryCount(), 1);
  auto* dialog = ws.mainWindowWidget().findChild<QWidget*>("VantrelDialogClient");
  auto* frame = ws.mainWindowWidget().findChild<QFrame*>("VantrelHostFrame");
  EXPECT_TRUE(dialog != nullptr && frame != nullptr);
  if (dialog == nullptr || frame == nullptr) return {};
  dialog->setFixedSize(200, 100);
  frame->setFixedSize(frameWidth, 100);
  test.ShowWindow();
  ws.manualTimers()->advance(250);
  EXPECT_NE(cmd->panelHost(), nullptr);
  std::string choice;
  for (const std::string& line : test.Messages("plugin.command")) {
    if (line == "VantrelCmd::UseFrameWindowHandle" || line == "VantrelCmd::UseDialogWindowHandle")
      choice = line;
  }
  ws.adoptCommand(command.release());
  return choice;
}

TEST_F(WorkstationTest, FrameOfHalfTheDialogHostsThePanel) {
  Workstation& ws = MakeWorkstation(true);
  // 100 x 100 = 10000 is not below half of 200 x 100 = 20000 / 2 = 10000.
  EXPECT_EQ(ParentChoiceFor(*this, ws, 100), "VantrelCmd::UseFrameWindowHandle");
}

TEST_F(WorkstationTest, FrameBelowHalfTheDialogLeavesThePanelToTheDialog) {
  Workstation& ws = MakeWorkstation(true);
  // 99 x 100 = 9900 < 10000.
  EXPECT_EQ(ParentChoiceFor(*this, ws, 99), "VantrelCmd::UseDialogWindowHandle");
}

TEST_F(WorkstationTest, TwentyRetriesThenThePanelWindowHandleIsUnavailable) {
  Workstation& ws = MakeWorkstation(true);
  std::unique_ptr<host::Command> command(fctCreateVantrelCmd());
  auto* cmd = static_cast<vantrel::VantrelCmd*>(command.get());
  for (int i = 0; i < 30; ++i) ws.manualTimers()->advance(250);
  EXPECT_EQ(cmd->initRetryCount(), 20);
  EXPECT_EQ(cmd->panelHost(), nullptr);
  EXPECT_EQ(Count("VantrelCmd::SchedulePanelHostInitialization"), 20);
  // One first attempt and twenty retries, each without a window.
  EXPECT_EQ(Count("VantrelCmd::DialogWindowHandleNull"), 21);
  EXPECT_EQ(Count("VantrelCmd::FrameWindowHandleNull"), 21);
  EXPECT_EQ(Count("VantrelCmd::PanelWindowHandleUnavailable"), 1);
  EXPECT_EQ(Messages("plugin.command").back(), "VantrelCmd::PanelWindowHandleUnavailable");
  EXPECT_EQ(ws.activeTimers(), 0u);
  ws.adoptCommand(command.release());
}

TEST_F(WorkstationTest, EachRetryWaitsItsWhole250MillisecondsOnTheHostClock) {
  Workstation& ws = MakeWorkstation(true);
  std::unique_ptr<host::Command> command(fctCreateVantrelCmd());
  auto* cmd = static_cast<vantrel::VantrelCmd*>(command.get());
  ASSERT_EQ(Count("VantrelCmd::InitializePanelHost"), 1);
  for (int retry = 1; retry <= 3; ++retry) {
    ws.manualTimers()->advance(249);
    EXPECT_EQ(Count("VantrelCmd::InitializePanelHost"), retry);
    ws.manualTimers()->advance(1);
    EXPECT_EQ(Count("VantrelCmd::InitializePanelHost"), retry + 1);
    EXPECT_EQ(cmd->initRetryCount(), retry + 1);
  }
  ws.adoptCommand(command.release());
}

TEST_F(WorkstationTest, EmptyFrontendLocationFailsOnceAndIsNotRetried) {
  vantrel::SetFrontendLaunchOverride(std::string());
  Workstation& ws = MakeWorkstation(true);
  ShowWindow();
  std::unique_ptr<host::Command> command(fctCreateVantrelCmd());
  auto* cmd = static_cast<vantrel::VantrelCmd*>(command.get());
  QApplication::processEvents();
  ASSERT_NE(cmd->panelHost(), nullptr);
  EXPECT_FALSE(cmd->panelHost()->initialized());
  int failures = 0;
  for (const LogEntry& e : Log()) {
    if (e.message == "panel_initialize_failed detail=frontend location is empty") {
      ++failures;
      EXPECT_EQ(e.level, "ERROR");
      EXPECT_EQ(e.component, "plugin.command");
    }
  }
  EXPECT_EQ(failures, 1);
  EXPECT_TRUE(Contains(Messages("runtime.config"), "config FrontendLocation source=final value="));

  // Later notifications reach the command but start nothing again.
  auto* dock = ws.mainWindowWidget().findChild<QDockWidget*>("VantrelDialog");
  ASSERT_NE(dock, nullptr);
  dock->resize(dock->width() + 40, dock->height());
  dock->hide();
  dock->show();
  QApplication::processEvents();
  EXPECT_GE(Count("VantrelCmd::OnPanelReady"), 1);
  EXPECT_EQ(Count("VantrelCmd::InitializePanelHost"), 1);
  EXPECT_EQ(Count("panel_initialize_failed detail=frontend location is empty"), 1);
  ws.adoptCommand(command.release());
}

TEST_F(WorkstationTest, WebPanelMissingIsReportedWithItsLastError) {
  Workstation& ws = MakeWorkstation(true);
  ShowWindow();
  ws.adoptCommand(fctCreateVantrelCmd());
  vantrel::VantrelCmd* cmd = OnlyCommand(ws);
  ASSERT_NE(cmd, nullptr);
  ASSERT_NE(cmd->panelWindow(), nullptr);
  const std::string lastError = cmd->panelWindow()->LastError();
  EXPECT_EQ(lastError.find("PanelWindow::Show failed: "), 0u);
  const std::vector<std::string> lines = Messages("plugin.command");
  auto failed =
      std::find(lines.begin(), lines.end(), "panel_initialize_failed detail=" + lastError);
  ASSERT_NE(failed, lines.end());
  ASSERT_NE(failed + 1, lines.end());
  EXPECT_EQ(*(failed + 1), lastError);
}

TEST_F(WorkstationTest, ClosingTheDialogShutsDownThenTheHostDestroysTheCommand) {
  Workstation& ws = MakeWorkstation(true);
  ShowWindow();
  ws.adoptCommand(fctCreateVantrelCmd());
  ASSERT_NE(OnlyCommand(ws), nullptr);
  auto* dock = ws.mainWindowWidget().findChild<QDockWidget*>("VantrelDialog");
  ASSERT_NE(dock, nullptr);
  ASSERT_TRUE(dock->isVisible());
  const size_t before = Log().size();

  dock->close();
  EXPECT_FALSE(dock->isVisible());
  EXPECT_EQ(ws.commands().size(), 1u);  // destruction waits for the message loop
  QApplication::processEvents();
  EXPECT_TRUE(ws.commands().empty());
  EXPECT_EQ(ws.mainWindowWidget().findChild<QDockWidget*>("VantrelDialog"), nullptr);

  std::vector<std::string> after;
  const std::vector<LogEntry> log = Log();
  for (size_t i = before; i < log.size(); ++i) {
    // Hiding the dialog notifies the command too; it has nothing left to start.
    if (log[i].message != "VantrelCmd::OnPanelReady") after.push_back(log[i].message);
  }
  EXPECT_THAT(after, ElementsAre("panel_close requested", "panel_host_shutdown",
                                 "panel_close command_destroyed", "panel_host_shutdown"));
}

}  // namespace
}  // namespace workstation::testing
