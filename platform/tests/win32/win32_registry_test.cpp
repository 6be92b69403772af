// The registry through the system's API: a file imported with regedit, read back in the 64-bit
// and the 32-bit view.
#include <gtest/gtest.h>

#include "platform/registry.h"
#include "win32_test_support.h"

using platform::RegistryKey;
using platform::RegistryView;

namespace {

constexpr char kKey[] = "Software\\Vexmoor\\TolvaneViewsTest\\main\\x64";
constexpr char kRoot[] = "Software\\Vexmoor\\TolvaneViewsTest";

// The 64-bit program's regedit writes the 32-bit view where 32-bit programs find it,
// under WOW6432Node.
constexpr char kRegistryText[] =
    "[HKEY_LOCAL_MACHINE\\Software\\Vexmoor\\TolvaneViewsTest\\main\\x64]\r\n"
    "\"OnlyIn64\"=\"sixty-four\"\r\n"
    "\"Both\"=\"view 64 \xC3\xA9\"\r\n"
    "\"Number\"=dword:0000002a\r\n"
    "\"Expand\"=hex(2):25,00,54,00,4d,00,50,00,25,00,00,00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\Vexmoor\\TolvaneViewsTest\\second]\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\Software\\WOW6432Node\\Vexmoor\\TolvaneViewsTest\\main\\x64]\r\n"
    "\"OnlyIn32\"=\"thirty-two\"\r\n"
    "\"Both\"=\"view 32\"\r\n";

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

class Win32Registry : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { imported_ = win32_test::ImportRegistryText(kRegistryText); }
  void SetUp() override { ASSERT_TRUE(imported_) << "regedit could not import the test keys"; }
  static bool imported_;
};
bool Win32Registry::imported_ = false;

TEST_F(Win32Registry, AValueOnlyThe32BitViewHoldsIsReadThere) {
  RegistryKey key32;
  ASSERT_EQ(RegistryKey::OpenLocalMachine(kKey, RegistryView::k32Bit, &key32),
            platform::kErrorSuccess);
  const Query only32 = QueryOf(key32, "OnlyIn32");
  EXPECT_EQ(only32.status, platform::kErrorSuccess);
  EXPECT_EQ(only32.type, platform::kRegSz);
  EXPECT_EQ(only32.bytes, std::string("thirty-two\0", 11));
  EXPECT_EQ(QueryOf(key32, "OnlyIn64").status, platform::kErrorFileNotFound);

  RegistryKey key64;
  ASSERT_EQ(RegistryKey::OpenLocalMachine(kKey, RegistryView::k64Bit, &key64),
            platform::kErrorSuccess);
  EXPECT_EQ(QueryOf(key64, "OnlyIn32").status, platform::kErrorFileNotFound);
  EXPECT_EQ(QueryOf(key64, "OnlyIn64").bytes, std::string("sixty-four\0", 11));
}

TEST_F(Win32Registry, EachViewHasItsOwnValueOfTheSameName) {
  RegistryKey key32, key64;
  ASSERT_EQ(RegistryKey::OpenLocalMachine(kKey, RegistryView::k32Bit, &key32), 0);
  ASSERT_EQ(RegistryKey::OpenLocalMachine(kKey, RegistryView::k64Bit, &key64), 0);
  EXPECT_EQ(QueryOf(key32, "Both").bytes, std::string("view 32\0", 8));
  // UTF-16 in the registry, UTF-8 with its terminator here: "view 64 " + two bytes + zero.
  const Query both64 = QueryOf(key64, "Both");
  EXPECT_EQ(both64.bytes, std::string("view 64 \xC3\xA9\0", 11));
  EXPECT_EQ(both64.size, 11u);
}

TEST_F(Win32Registry, TypesSizesAndSmallBuffers) {
  RegistryKey key;
  ASSERT_EQ(RegistryKey::OpenLocalMachine(kKey, RegistryView::k64Bit, &key), 0);
  const Query number = QueryOf(key, "Number");
  EXPECT_EQ(number.type, platform::kRegDword);
  EXPECT_EQ(number.bytes, std::string("\x2a\0\0\0", 4));
  // An expandable string comes back unexpanded.
  EXPECT_EQ(QueryOf(key, "Expand").bytes, std::string("%TMP%\0", 6));
  const Query small = QueryOf(key, "OnlyIn64", 4);
  EXPECT_EQ(small.status, platform::kErrorMoreData);
  EXPECT_EQ(small.size, 11u);
  EXPECT_EQ(small.type, platform::kRegSz);
  EXPECT_EQ(small.bytes, "");
}

TEST_F(Win32Registry, EnumerationAndMissingKeys) {
  RegistryKey root;
  ASSERT_EQ(RegistryKey::OpenLocalMachine(kRoot, RegistryView::k64Bit, &root), 0);
  std::string first, second, third;
  EXPECT_EQ(root.EnumSubkey(0, &first), platform::kErrorSuccess);
  EXPECT_EQ(root.EnumSubkey(1, &second), platform::kErrorSuccess);
  EXPECT_EQ(root.EnumSubkey(2, &third), platform::kErrorNoMoreItems);
  EXPECT_EQ(first + "," + second, "main,second");

  RegistryKey missing;
  EXPECT_EQ(RegistryKey::OpenLocalMachine("Software\\Vexmoor\\TolvaneViewsTest\\second\\x64",
                                          RegistryView::k64Bit, &missing),
            platform::kErrorFileNotFound);
  EXPECT_FALSE(missing.IsOpen());
  // The second installation has no 32-bit keys at all.
  EXPECT_EQ(RegistryKey::OpenLocalMachine("Software\\Vexmoor\\TolvaneViewsTest\\second",
                                          RegistryView::k32Bit, &missing),
            platform::kErrorFileNotFound);
}

}  // namespace
