#include <gmock/gmock.h>

#include "config_test_fixture.h"

using namespace vantrel;
using namespace vantrel::testing;
using ::testing::Contains;
using ::testing::ElementsAre;
using ::testing::HasSubstr;

namespace {

std::string Candidate(const std::string& name) {
  return "Software\\Vexmoor\\Tolvane\\" + name + "\\x64";
}

class RegistrySelectionTest : public ConfigTest {
 protected:
  // Runs the selection and flushes its held lines into the log file.
  std::string Select() {
    std::string key = SelectRegistryKey();
    SetLogFolder(dir_ + "/tolvane/debug");
    return key;
  }
};

}  // namespace

TEST_F(RegistrySelectionTest, DeepestInstallationFolderWins) {
  UseRegistry("nested_installations.reg");
  EXPECT_EQ(Select(), Candidate("N2"));
  EXPECT_THAT(Messages(), ElementsAre("registry selection matched N1-x64 at C:\\Apps\\X",
                                      "registry selection matched N2-x64 at C:\\Apps\\X\\Sub"));
  EXPECT_EQ(ReadConfigValue("TOLVANE_ICON_NAME", "AIAvatar"), "FromN2");
}

TEST_F(RegistrySelectionTest, EquallyDeepFoldersCancelEachOther) {
  UseRegistry("tied_installations.reg");
  EXPECT_EQ(Select(), "");
  EXPECT_THAT(
      Messages(),
      ElementsAre("registry selection matched N1-x64 at C:\\Apps\\X",
                  "registry selection ambiguous for module C:\\Apps\\X\\Sub\\bin\\Vantrel.dll",
                  "registry selection failed for module C:\\Apps\\X\\Sub\\bin\\Vantrel.dll"));
  // Only environment and defaults apply now.
  EXPECT_EQ(ReadConfigValue("TOLVANE_ICON_NAME", "AIAvatar"), "AIAvatar");
}

TEST_F(RegistrySelectionTest, ADeeperInstallationAfterATieStillWins) {
  UseRegistry("tie_then_deeper.reg");
  EXPECT_EQ(Select(), Candidate("B3"));
  EXPECT_THAT(Messages(), ElementsAre("registry selection matched A1-x64 at C:\\Apps\\X",
                                      "registry selection ambiguous for module "
                                      "C:\\Apps\\X\\Sub\\bin\\Vantrel.dll",
                                      "registry selection matched B3-x64 at C:\\Apps\\X\\Sub"));
}

TEST_F(RegistrySelectionTest, FolderPrefixWithoutSeparatorDoesNotHoldTheModule) {
  UseRegistry("sibling_prefix.reg");
  SetModuleFilePathForTesting(std::optional<std::string>("C:\\Apps\\XY\\bin\\Vantrel.dll"));
  EXPECT_EQ(Select(), "");
  EXPECT_THAT(Messages(),
              ElementsAre("registry selection failed for module C:\\Apps\\XY\\bin\\Vantrel.dll"));
}

TEST_F(RegistrySelectionTest, CandidateWithoutX64KeyIsNeverConsidered) {
  UseRegistry("missing_x64.reg");
  EXPECT_EQ(Select(), Candidate("Shallow"));
  EXPECT_THAT(Messages(), ElementsAre("registry selection matched Shallow-x64 at C:\\Apps"));
}

TEST_F(RegistrySelectionTest, ModuleAtTheInstallFolderItselfAndForwardSlashes) {
  UseRegistry("sibling_prefix.reg");
  SetModuleFilePathForTesting(std::optional<std::string>("c:/apps/x"));
  EXPECT_EQ(Select(), Candidate("N1"));
}

TEST_F(RegistrySelectionTest, MissingRegistryOrModulePathSelectsNothing) {
  EXPECT_EQ(Select(), "");
  EXPECT_THAT(Messages(), ElementsAre("registry selection failed: product root is unavailable"));
  ResetRegistrySelectionForTesting();
  UseRegistry("nested_installations.reg");
  SetModuleFilePathForTesting(
      std::optional<std::optional<std::string>>(std::in_place, std::nullopt));
  EXPECT_EQ(Select(), "");
  EXPECT_THAT(Messages(), Contains("registry selection failed: VirtualQuery"));
  ResetRegistrySelectionForTesting();
  SetModuleFilePathForTesting(std::optional<std::string>(""));
  EXPECT_EQ(Select(), "");
  EXPECT_THAT(Messages(), Contains("registry selection failed: GetModuleFileNameA"));
}

TEST_F(RegistrySelectionTest, SelectionIsMadeOncePerProcess) {
  UseRegistry("nested_installations.reg");
  EXPECT_EQ(Select(), Candidate("N2"));
  UseRegistry("tied_installations.reg");  // a changed registry does not re-run the selection
  EXPECT_EQ(Select(), Candidate("N2"));
  EXPECT_EQ(Messages().size(), 2u);
}

TEST_F(RegistrySelectionTest, WrongInstallLocationTypeIsLoggedAndSkipped) {
  UseRegistry("wrong_install_location_type.reg");
  SetModuleFilePathForTesting(std::optional<std::string>("C:\\Tolvane\\Vantrel.dll"));
  EXPECT_EQ(Select(), "");
  EXPECT_THAT(Messages(),
              ElementsAre("registry query failed for InstallLocation: unexpected type=4",
                          "registry selection failed for module C:\\Tolvane\\Vantrel.dll"));
}

TEST(NormalizePathForCompare, SlashesCaseAndTrailingSeparators) {
  EXPECT_EQ(NormalizePathForCompare("C:/Apps/X//"), "c:\\apps\\x");
  EXPECT_EQ(NormalizePathForCompare("C:\\"), "c:\\");
  EXPECT_EQ(NormalizePathForCompare("C:\\\\\\"), "c:\\");
  EXPECT_EQ(NormalizePathForCompare(""), "");
}

TEST(ModuleFilePath, NamesThisExecutable) {
  std::optional<std::string> path = ModuleFilePath();
  ASSERT_TRUE(path.has_value());
  EXPECT_THAT(*path, HasSubstr("addin_tests"));
}
