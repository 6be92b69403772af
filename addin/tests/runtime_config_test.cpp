#include <gmock/gmock.h>

#include <fstream>

#include "config_test_fixture.h"
#include "vantrel/config_report.h"

using namespace vantrel;
using namespace vantrel::testing;
using ::testing::Contains;
using ::testing::ElementsAre;

namespace {

constexpr char kMainKey[] = "Software\\Vexmoor\\Tolvane\\Main\\x64";

class RuntimeConfigTest : public ConfigTest {
 protected:
  void UseMainInstallation() {
    SetModuleFilePathForTesting(std::optional<std::string>("C:\\Tolvane\\bin\\Vantrel.dll"));
  }
  // A registry file written by the test, for values that depend on the temporary folder.
  void UseGeneratedRegistry(const std::string& values) {
    std::string file = dir_ + "/generated.reg";
    std::ofstream out(file, std::ios::binary);
    out << "Windows Registry Editor Version 5.00\r\n\r\n"
        << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Vexmoor\\Tolvane\\Main\\x64]\r\n"
        << values << "\r\n"
        << "[HKEY_LOCAL_MACHINE\\SOFTWARE\\WOW6432Node\\Microsoft\\Windows\\CurrentVersion\\"
           "Uninstall\\Tolvane-Main-x64]\r\n"
        << "\"InstallLocation\"=\"C:\\\\Tolvane\"\r\n";
    out.close();
    platform::SetEnv("TOLVANE_REGISTRY_FILE", file);
    UseMainInstallation();
  }
};

}  // namespace

TEST_F(RuntimeConfigTest, DefaultsAndTheirConfigurationLines) {
  RuntimeConfigSources sources;
  RuntimeConfig config = LoadRuntimeConfig(&sources);
  EXPECT_EQ(config.debugLogFolder, dir_ + "/tolvane/debug");
  EXPECT_EQ(config.frontendUrl, "https://tolvane.vexmoor.com/panel/");
  EXPECT_EQ(config.drawDelayMs, 0u);
  EXPECT_EQ(config.panelWidth, 380);
  EXPECT_EQ(config.panelHeight, 1040);
  EXPECT_EQ(config.iconName, "AIAvatar");
  EXPECT_FALSE(config.autoOpenPanel);
  EXPECT_EQ(sources.frontendUrl, "default");
  EXPECT_EQ(sources.debugLogFolder, "default");
  EXPECT_THAT(Messages(), ElementsAre("registry selection failed: product root is unavailable",
                                      "config TOLVANE_DEBUG_LOG_PATH source=default value=" + dir_ +
                                          "/tolvane/debug",
                                      "config TOLVANE_WEBVIEW_URL source=default value="
                                      "https://tolvane.vexmoor.com/panel/",
                                      "config TOLVANE_DRAW_DELAY source=default value=0",
                                      "config TOLVANE_PANEL_WIDTH source=default value=",
                                      "config TOLVANE_PANEL_HEIGHT source=default value=",
                                      "config TOLVANE_ICON_NAME source=default value=AIAvatar",
                                      "config TOLVANE_AUTO_OPEN_PANEL source=default value=off"));
  // Byte for byte, with the fixed clock and this process's ids.
  EXPECT_EQ(
      ReadLines(LogFile()).at(2),
      ExpectedPrefix(FixedTime(2026, 3, 4, 5, 6, 7, 89), "INFO", "runtime.config") +
          "config TOLVANE_WEBVIEW_URL source=default value=https://tolvane.vexmoor.com/panel/");
}

TEST_F(RuntimeConfigTest, EnvironmentWinsAndIsReadAgainAtEachLoad) {
  platform::SetEnv("TOLVANE_WEBVIEW_URL", "http://localhost:5173/");
  platform::SetEnv("TOLVANE_PANEL_WIDTH", "500px");
  platform::SetEnv("TOLVANE_PANEL_HEIGHT", "  +720");
  platform::SetEnv("TOLVANE_ICON_NAME", "");  // empty counts as unset
  platform::SetEnv("TOLVANE_DRAW_DELAY_OVERRIDE", " 250 ");
  platform::SetEnv("TOLVANE_DEBUG_LOG_PATH", "/should/not/be/used");
  RuntimeConfigSources sources;
  RuntimeConfig config = LoadRuntimeConfig(&sources);
  EXPECT_EQ(config.frontendUrl, "http://localhost:5173/");
  EXPECT_EQ(config.panelWidth, 500);
  EXPECT_EQ(config.panelHeight, 720);
  EXPECT_EQ(config.iconName, "AIAvatar");
  EXPECT_EQ(config.drawDelayMs, 250u);
  EXPECT_EQ(config.debugLogFolder, dir_ + "/tolvane/debug");
  EXPECT_EQ(sources.drawDelayMs, "launch-override");
  EXPECT_EQ(sources.iconName, "default");
  EXPECT_THAT(Messages(), Contains("config TOLVANE_DRAW_DELAY source=launch-override value= 250 "));
  EXPECT_THAT(
      Messages(),
      Contains("config TOLVANE_WEBVIEW_URL source=environment value=http://localhost:5173/"));

  platform::SetEnv("TOLVANE_PANEL_WIDTH", "640");
  EXPECT_EQ(LoadRuntimeConfig().panelWidth, 640);
}

TEST_F(RuntimeConfigTest, PanelSizesBelowOneOrUnreadableFallBack) {
  for (const char* text : {"0", "-5", "abc", "", "99999999999"}) {
    platform::SetEnv("TOLVANE_PANEL_WIDTH", text);
    platform::SetEnv("TOLVANE_PANEL_HEIGHT", text);
    RuntimeConfig config = LoadRuntimeConfig();
    EXPECT_EQ(config.panelWidth, 380) << text;
    EXPECT_EQ(config.panelHeight, 1040) << text;
  }
}

TEST_F(RuntimeConfigTest, DrawDelayOverrideValues) {
  const std::pair<const char*, uint32_t> cases[] = {{" 250 ", 250},     {"250ms", 0},
                                                    {"-1", 0},          {"4294967295", 0},
                                                    {"99999999999", 0}, {"4294967294", 4294967294u},
                                                    {"\t7\n", 7}};
  for (const auto& [text, expected] : cases) {
    platform::SetEnv("TOLVANE_DRAW_DELAY_OVERRIDE", text);
    EXPECT_EQ(LoadRuntimeConfig().drawDelayMs, expected) << text;
  }
}

TEST_F(RuntimeConfigTest, AutoOpenOnlyForOnInEitherCase) {
  const std::pair<const char*, bool> cases[] = {{"on", true},    {"ON", true}, {"On", false},
                                                {"true", false}, {"1", false}, {" on", false}};
  for (const auto& [text, expected] : cases) {
    platform::SetEnv("TOLVANE_AUTO_OPEN_PANEL", text);
    EXPECT_EQ(LoadRuntimeConfig().autoOpenPanel, expected) << text;
  }
}

TEST_F(RuntimeConfigTest, RegistryValuesWithTypeAndSizeChecks) {
  UseRegistry("odd_values.reg");
  UseMainInstallation();
  platform::SetEnv("TOLVANE_PANEL_HEIGHT", "");  // empty: the registry value applies
  RuntimeConfigSources sources;
  RuntimeConfig config = LoadRuntimeConfig(&sources);
  EXPECT_EQ(config.panelWidth, 380);  // REG_DWORD refused
  EXPECT_EQ(config.panelHeight, 900);
  EXPECT_EQ(config.iconName, "%ICON%");  // expandable strings stay unexpanded
  EXPECT_FALSE(config.autoOpenPanel);
  EXPECT_EQ(config.frontendUrl, "https://registry.example/panel");
  EXPECT_EQ(sources.panelWidth, "default");
  EXPECT_EQ(sources.panelHeight, "registry");
  const std::string at = std::string(" at ") + kMainKey;
  EXPECT_THAT(
      Messages(),
      ElementsAre("registry selection matched Main-x64 at C:\\Tolvane",
                  "registry query failed for TOLVANE_DEBUG_LOG_PATH" + at + ": RegQueryValueExA=2",
                  "config TOLVANE_DEBUG_LOG_PATH source=default value=" + dir_ + "/tolvane/debug",
                  "config TOLVANE_WEBVIEW_URL source=registry value=https://registry.example/panel",
                  "registry query failed for TOLVANE_DRAW_DELAY: invalid size=0",
                  "config TOLVANE_DRAW_DELAY source=default value=0",
                  "registry query failed for TOLVANE_PANEL_WIDTH: unexpected type=4",
                  "config TOLVANE_PANEL_WIDTH source=default value=",
                  "config TOLVANE_PANEL_HEIGHT source=registry value=900",
                  "config TOLVANE_ICON_NAME source=registry value=%ICON%",
                  "config TOLVANE_AUTO_OPEN_PANEL source=default value=off"));
}

TEST_F(RuntimeConfigTest, EnvironmentOverridesRegistry) {
  UseRegistry("odd_values.reg");
  UseMainInstallation();
  platform::SetEnv("TOLVANE_WEBVIEW_URL", "https://env.example/");
  EXPECT_EQ(LoadRuntimeConfig().frontendUrl, "https://env.example/");
}

TEST_F(RuntimeConfigTest, LogFolderFromRegistryReceivesTheHeldLines) {
  std::string folder = dir_ + "/from-registry/logs";
  UseGeneratedRegistry("\"TOLVANE_DEBUG_LOG_PATH\"=\"" + folder + "/\"\r\n");
  RuntimeConfig config = LoadRuntimeConfig();
  EXPECT_EQ(config.debugLogFolder, folder + "/");
  std::vector<std::string> lines = ReadLines(folder + "/2026-03-04.log");
  ASSERT_GE(lines.size(), 3u);
  EXPECT_EQ(MaskLine(lines[0]),
            "TIME level=INFO component=runtime.config pid=P tid=T message=registry selection "
            "matched Main-x64 at C:\\Tolvane");
  EXPECT_EQ(MaskLine(lines[1]),
            "TIME level=INFO component=runtime.config pid=P tid=T "
            "message=config TOLVANE_DEBUG_LOG_PATH source=registry value=" +
                folder + "/");
}

TEST_F(RuntimeConfigTest, OversizedAndEmptyRegistryStrings) {
  UseGeneratedRegistry("\"TOLVANE_ICON_NAME\"=\"" + std::string(4096, 'i') + "\"\r\n" +
                       "\"TOLVANE_WEBVIEW_URL\"=\"" + std::string(4095, 'u') + "\"\r\n" +
                       "\"TOLVANE_PANEL_WIDTH\"=\"\"\r\n");
  EXPECT_EQ(ReadRegistryString(RegistryRoot::kLocalMachine, kMainKey, "TOLVANE_ICON_NAME", true),
            "");  // 4097 bytes with the terminator: too large for the buffer
  EXPECT_EQ(ReadRegistryString(RegistryRoot::kLocalMachine, kMainKey, "TOLVANE_WEBVIEW_URL", true),
            std::string(4095, 'u'));
  EXPECT_EQ(ReadRegistryString(RegistryRoot::kLocalMachine, kMainKey, "TOLVANE_PANEL_WIDTH", true),
            "");
  EXPECT_EQ(ReadRegistryString(RegistryRoot::kLocalMachine, "Software\\Nowhere", "X", false), "");
  EXPECT_EQ(ReadRegistryString(RegistryRoot::kLocalMachine, "Software\\Nowhere", "X", true), "");
  SetLogFolder(dir_ + "/tolvane/debug");
  EXPECT_THAT(Messages(), ElementsAre("registry query failed for TOLVANE_ICON_NAME at " +
                                          std::string(kMainKey) + ": RegQueryValueExA=234",
                                      "registry query failed for X at Software\\Nowhere: "
                                      "RegOpenKeyExA=2"));
}

TEST(ParseUnsigned, AcceptsOnlyACleanDecimalNumber) {
  EXPECT_EQ(ParseUnsigned("250"), 250u);
  EXPECT_EQ(ParseUnsigned(" 250 "), 250u);
  EXPECT_EQ(ParseUnsigned("+5"), 5u);
  EXPECT_EQ(ParseUnsigned(""), 0u);
  EXPECT_EQ(ParseUnsigned("   "), 0u);
  EXPECT_EQ(ParseUnsigned("-1"), 0u);
  EXPECT_EQ(ParseUnsigned("250ms"), 0u);
  EXPECT_EQ(ParseUnsigned("0"), 0u);
  EXPECT_EQ(ParseUnsigned("4294967295"), 0u);
  EXPECT_EQ(ParseUnsigned("4294967296"), 0u);
  EXPECT_EQ(ParseUnsigned("99999999999999999999999"), 0u);
  EXPECT_EQ(ParseUnsigned("0x10"), 0u);
  EXPECT_EQ(ParseUnsigned(std::string("12\0", 3)), 0u);
}

TEST(ParsePanelDimension, LeadingIntegerOrFallback) {
  EXPECT_EQ(ParsePanelDimension("500px", 380), 500);
  EXPECT_EQ(ParsePanelDimension(" \t42", 380), 42);
  EXPECT_EQ(ParsePanelDimension("1", 380), 1);
  EXPECT_EQ(ParsePanelDimension("2147483647", 380), 2147483647);
  EXPECT_EQ(ParsePanelDimension("2147483648", 380), 380);
  EXPECT_EQ(ParsePanelDimension("-", 380), 380);
  EXPECT_EQ(ParsePanelDimension("+", 1040), 1040);
}

TEST(DefaultLogFolder, FollowsTheStateDirectoryConvention) {
  EXPECT_EQ(DefaultLogFolder(std::string("/state"), std::string("/home/u"), std::string("/tmp/")),
            "/state/tolvane/debug");
  EXPECT_EQ(DefaultLogFolder(std::string("relative"), std::string("/home/u"), std::nullopt),
            "/home/u/.local/state/tolvane/debug");
  EXPECT_EQ(DefaultLogFolder(std::nullopt, std::string(""), std::string("/tmp/")),
            "/tmp/TolvaneDebug");
  EXPECT_EQ(DefaultLogFolder(std::nullopt, std::nullopt, std::string("/var/tmp")),
            "/var/tmp/TolvaneDebug");
  EXPECT_EQ(DefaultLogFolder(std::nullopt, std::nullopt, std::nullopt), "./TolvaneDebug");
  EXPECT_EQ(DefaultLogFolderWindows(std::string("C:\\ProgramData"), std::string("C:\\T\\")),
            "C:\\ProgramData\\Vexmoor\\Tolvane\\debug");
  EXPECT_EQ(DefaultLogFolderWindows(std::string(""), std::string("C:\\T\\")),
            "C:\\T\\TolvaneDebug");
  EXPECT_EQ(DefaultLogFolderWindows(std::string(260, 'p'), std::nullopt), ".\\TolvaneDebug");
}

TEST_F(RuntimeConfigTest, ReportHasOneLinePerFieldWithItsSource) {
  platform::SetEnv("TOLVANE_AUTO_OPEN_PANEL", "ON");
  platform::SetEnv("TOLVANE_DRAW_DELAY_OVERRIDE", "40");
  EXPECT_THAT(
      DescribeRuntimeConfig(),
      ElementsAre("name=debugLogFolder value=" + dir_ + "/tolvane/debug source=default",
                  "name=frontendUrl value=https://tolvane.vexmoor.com/panel/ source=default",
                  "name=drawDelayMs value=40 source=launch-override",
                  "name=panelWidth value=380 source=default",
                  "name=panelHeight value=1040 source=default",
                  "name=iconName value=AIAvatar source=default",
                  "name=autoOpenPanel value=true source=environment"));
  EXPECT_EQ(Messages().size(), 8u);  // the configuration lines reached the log
}
