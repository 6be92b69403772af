#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "platform/environment.h"
#include "platform/registry.h"

using platform::RegistryKey;
using platform::RegistryView;

namespace {

std::shared_ptr<const platform::RegistryTree> LoadData(const std::string& name,
                                                       std::string* error = nullptr) {
  std::ifstream in(std::string(PLATFORM_TEST_DATA) + "/" + name, std::ios::binary);
  std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_FALSE(bytes.empty()) << name;
  return platform::RegistryTree::Parse(bytes, error);
}

struct Query {
  long status = -1;
  uint32_t type = 0;
  uint32_t size = 0;
  std::string bytes;
};

Query QueryOf(const RegistryKey& key, const std::string& name, uint32_t buffer = 4096) {
  Query q;
  q.status = key.QueryValue(name, buffer, &q.type, &q.bytes, &q.size);
  return q;
}

}  // namespace

TEST(RegistryView, ThirtyTwoBitViewLivesUnderWow6432Node) {
  EXPECT_EQ(platform::MapRegistryPathToView("Software\\A", RegistryView::k32Bit),
            "Software\\WOW6432Node\\A");
  EXPECT_EQ(platform::MapRegistryPathToView("SOFTWARE", RegistryView::k32Bit),
            "SOFTWARE\\WOW6432Node");
  EXPECT_EQ(platform::MapRegistryPathToView("Software\\A", RegistryView::k64Bit), "Software\\A");
  EXPECT_EQ(platform::MapRegistryPathToView("SoftwareX\\A", RegistryView::k32Bit), "SoftwareX\\A");
  EXPECT_EQ(platform::MapRegistryPathToView("System\\A", RegistryView::k32Bit), "System\\A");
}

TEST(RegistryFile, UnicodeExportReadsStringsExpandStringsAndDwords) {
  std::string error;
  auto tree = LoadData("unicode_export.reg", &error);
  EXPECT_EQ(error, "");
  RegistryKey key;
  ASSERT_EQ(
      RegistryKey::Open(tree, "Software\\Vexmoor\\Tolvane\\main\\X64", RegistryView::k64Bit, &key),
      platform::kErrorSuccess);
  Query icon = QueryOf(key, "TOLVANE_ICON_NAME");
  EXPECT_EQ(icon.type, platform::kRegSz);
  EXPECT_EQ(icon.bytes, std::string("Gear \"big\"\0", 11));
  EXPECT_EQ(icon.size, 11u);
  Query expand = QueryOf(key, "expand");
  EXPECT_EQ(expand.type, platform::kRegExpandSz);
  EXPECT_EQ(expand.bytes, std::string("%TEMP%\\\xC3\xA9\0", 10));
  Query count = QueryOf(key, "Count");
  EXPECT_EQ(count.type, platform::kRegDword);
  EXPECT_EQ(count.bytes, std::string("\x2A\0\0\0", 4));
  EXPECT_EQ(QueryOf(key, "").bytes, std::string("default text\0", 13));
  Query binary = QueryOf(key, "Long");
  EXPECT_EQ(binary.type, platform::kRegBinary);
  EXPECT_EQ(binary.bytes, std::string("\x01\x02\x03\x04\x05", 5));
  EXPECT_EQ(QueryOf(key, "Missing").status, platform::kErrorFileNotFound);
}

TEST(RegistryFile, SmallBufferReportsMoreDataWithTypeAndSize) {
  auto tree = LoadData("unicode_export.reg");
  RegistryKey key;
  ASSERT_EQ(
      RegistryKey::Open(tree, "Software\\Vexmoor\\Tolvane\\Main\\x64", RegistryView::k64Bit, &key),
      0);
  Query q = QueryOf(key, "TOLVANE_ICON_NAME", 4);
  EXPECT_EQ(q.status, platform::kErrorMoreData);
  EXPECT_EQ(q.type, platform::kRegSz);
  EXPECT_EQ(q.size, 11u);
}

TEST(RegistryFile, ViewsAndEnumeration) {
  auto tree = LoadData("unicode_export.reg");
  RegistryKey uninstall;
  const std::string path =
      "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Tolvane-Main-x64";
  EXPECT_EQ(RegistryKey::Open(tree, path, RegistryView::k64Bit, &uninstall),
            platform::kErrorFileNotFound);
  ASSERT_EQ(RegistryKey::Open(tree, path, RegistryView::k32Bit, &uninstall), 0);
  EXPECT_EQ(QueryOf(uninstall, "InstallLocation").bytes,
            std::string("C:\\Program Files\\Tolvane\0", 25));

  RegistryKey root;
  ASSERT_EQ(RegistryKey::Open(tree, "Software\\Vexmoor\\Tolvane", RegistryView::k64Bit, &root), 0);
  std::vector<std::string> names;
  std::string name;
  uint32_t index = 0;
  while (root.EnumSubkey(index++, &name) == platform::kErrorSuccess) names.push_back(name);
  EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "beta", "Main"}));  // "Gone" was deleted
  EXPECT_EQ(root.EnumSubkey(99, &name), platform::kErrorNoMoreItems);
}

TEST(RegistryFile, AnsiExportConvertsWindows1252AndSkipsBrokenLines) {
  std::string error;
  auto tree = LoadData("ansi_export.reg", &error);
  EXPECT_NE(error.find("line 6"), std::string::npos) << error;
  RegistryKey key;
  ASSERT_EQ(
      RegistryKey::Open(tree, "SOFTWARE\\Vexmoor\\Tolvane\\Old\\x64", RegistryView::k64Bit, &key),
      0);
  EXPECT_EQ(QueryOf(key, "Folder").bytes, std::string("C:\\\xC3\xA9\0", 6));
  EXPECT_EQ(QueryOf(key, "Name").bytes, std::string("caf\xC3\xA9\0", 6));
  EXPECT_EQ(QueryOf(key, "Dropped").status, platform::kErrorFileNotFound);
}

TEST(RegistryFile, WrongHeaderOrGarbageGivesEmptyRegistry) {
  std::string error;
  auto tree = LoadData("not_an_export.reg", &error);
  EXPECT_EQ(error, "not a registry export file");
  RegistryKey key;
  EXPECT_EQ(RegistryKey::Open(tree, "Software\\X", RegistryView::k64Bit, &key),
            platform::kErrorFileNotFound);
  for (std::string text :
       {std::string(""), std::string("REGEDIT4\n[]\n[\\\\]\n\"a\n@\n"),
        std::string("REGEDIT4\n[HKLM\\A]\n\"v\"=hex(zz):00\n\"w\"=dword:123456789\n"),
        std::string("\xFF\xFE", 2), std::string("\xFF\xFE\x41", 3)}) {
    auto garbage = platform::RegistryTree::Parse(text, &error);
    EXPECT_EQ(RegistryKey::Open(garbage, "Software", RegistryView::k64Bit, &key),
              platform::kErrorFileNotFound);
  }
}

// On Windows the local machine is the system's registry (win32/win32_registry_test.cpp).
#if !defined(_WIN32)
TEST(RegistryFile, EnvironmentNamesTheFile) {
  RegistryKey key;
  platform::UnsetEnv("TOLVANE_REGISTRY_FILE");
  EXPECT_EQ(RegistryKey::OpenLocalMachine("Software\\Vexmoor\\Tolvane", RegistryView::k64Bit, &key),
            platform::kErrorFileNotFound);
  platform::SetEnv("TOLVANE_REGISTRY_FILE",
                   std::string(PLATFORM_TEST_DATA) + "/unicode_export.reg");
  EXPECT_EQ(RegistryKey::OpenLocalMachine("Software\\Vexmoor\\Tolvane", RegistryView::k64Bit, &key),
            platform::kErrorSuccess);
  platform::SetEnv("TOLVANE_REGISTRY_FILE", "/nonexistent/file.reg");
  EXPECT_EQ(RegistryKey::OpenLocalMachine("Software\\Vexmoor\\Tolvane", RegistryView::k64Bit, &key),
            platform::kErrorFileNotFound);
  platform::UnsetEnv("TOLVANE_REGISTRY_FILE");
}
#endif
