#include <gtest/gtest.h>

#include "platform/text_encoding.h"
#include "platform/windows_path.h"

namespace winpath = platform::winpath;

TEST(TextEncoding, ValidUtf8AcceptsWellFormedAndRejectsBrokenSequences) {
  EXPECT_TRUE(platform::IsValidUtf8(""));
  EXPECT_TRUE(platform::IsValidUtf8("plain"));
  EXPECT_TRUE(platform::IsValidUtf8("caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"));
  EXPECT_FALSE(platform::IsValidUtf8("caf\xE9"));           // Windows-1252 byte
  EXPECT_FALSE(platform::IsValidUtf8("\xC0\xAF"));          // overlong slash
  EXPECT_FALSE(platform::IsValidUtf8("\xE0\x80\xAF"));      // overlong
  EXPECT_FALSE(platform::IsValidUtf8("\xED\xA0\x80"));      // surrogate
  EXPECT_FALSE(platform::IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(platform::IsValidUtf8("\xE2\x82"));          // truncated
  EXPECT_FALSE(platform::IsValidUtf8("\x80"));              // lone continuation
}

TEST(TextEncoding, Windows1252MapsHighBytes) {
  EXPECT_EQ(platform::Windows1252ToUtf8("caf\xE9"), "caf\xC3\xA9");
  EXPECT_EQ(platform::Windows1252ToUtf8("\x80"), "\xE2\x82\xAC");  // euro sign
  EXPECT_EQ(platform::Windows1252ToUtf8("\x81"), "\xC2\x81");      // unassigned stays C1
  EXPECT_EQ(platform::Windows1252ToUtf8("\x9F"), "\xC5\xB8");      // Y with diaeresis
  EXPECT_EQ(platform::Windows1252ToUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
  EXPECT_TRUE(platform::IsValidUtf8(platform::Windows1252ToUtf8("\xFF\x80\x9D")));
}

TEST(TextEncoding, Utf16LeCombinesPairsAndReplacesLoneSurrogates) {
  EXPECT_EQ(platform::Utf16LeToUtf8(std::string("A\0\xE9\0", 4)), "A\xC3\xA9");
  EXPECT_EQ(platform::Utf16LeToUtf8(std::string("\x3D\xD8\x00\xDE", 4)), "\xF0\x9F\x98\x80");
  EXPECT_EQ(platform::Utf16LeToUtf8(std::string("\x3D\xD8", 2)), "\xEF\xBF\xBD");
  EXPECT_EQ(platform::Utf16LeToUtf8(std::string("A\0B", 3)), "A");  // odd byte ignored
}

TEST(WindowsPath, SeparatorsCaseAndDriveRoots) {
  EXPECT_EQ(winpath::ToBackslashes("C:/a/b\\c"), "C:\\a\\b\\c");
  EXPECT_TRUE(winpath::EqualsIgnoreCase("C:\\Apps", "c:\\APPS"));
  EXPECT_FALSE(winpath::EqualsIgnoreCase("C:\\Apps", "C:\\App"));
  EXPECT_TRUE(winpath::HasDriveRoot("C:"));
  EXPECT_TRUE(winpath::HasDriveRoot("d:/x"));
  EXPECT_FALSE(winpath::HasDriveRoot("1:\\"));
  EXPECT_FALSE(winpath::HasDriveRoot("C:x"));
  EXPECT_TRUE(winpath::IsDriveRoot("C:\\"));
  EXPECT_FALSE(winpath::IsDriveRoot("C:\\x"));
}

TEST(WindowsPath, TrailingSeparatorsKeepDriveRoot) {
  EXPECT_EQ(winpath::StripTrailingSeparators("D:\\logs\\\\"), "D:\\logs");
  EXPECT_EQ(winpath::StripTrailingSeparators("D:\\logs/\\/"), "D:\\logs");
  EXPECT_EQ(winpath::StripTrailingSeparators("C:\\"), "C:\\");
  EXPECT_EQ(winpath::StripTrailingSeparators("C:\\\\\\"), "C:\\");
  EXPECT_EQ(winpath::StripTrailingSeparators("\\\\"), "\\\\");
  EXPECT_EQ(winpath::StripTrailingSeparators("/var/log/", 1), "/var/log");
  EXPECT_EQ(winpath::StripTrailingSeparators("/", 1), "/");
}

TEST(WindowsPath, ParentJoinAndContainment) {
  EXPECT_EQ(winpath::ParentFolder("C:\\Apps\\X\\bin\\"), "C:\\Apps\\X");
  EXPECT_EQ(winpath::ParentFolder("C:\\Apps"), "C:\\");
  EXPECT_EQ(winpath::ParentFolder("C:\\"), "");
  EXPECT_EQ(winpath::ParentFolder("file.txt"), "");
  EXPECT_EQ(winpath::Join("C:\\a", "b.log"), "C:\\a\\b.log");
  EXPECT_EQ(winpath::Join("C:\\a\\", "\\b.log"), "C:\\a\\b.log");
  EXPECT_EQ(winpath::Join("", "b.log"), "b.log");
  EXPECT_TRUE(winpath::IsInsideFolder("C:\\Apps\\X\\bin\\m.dll", "c:/apps/x/"));
  EXPECT_TRUE(winpath::IsInsideFolder("C:\\Apps\\X", "C:\\Apps\\X"));
  EXPECT_FALSE(winpath::IsInsideFolder("C:\\Apps\\XY\\bin", "C:\\Apps\\X"));
  EXPECT_TRUE(winpath::IsInsideFolder("C:\\Apps", "C:\\"));
  EXPECT_FALSE(winpath::IsInsideFolder("", "C:\\"));
}

TEST(WindowsPath, DirectoryPrefixesSkipTheDriveRoot) {
  EXPECT_EQ(winpath::DirectoryPrefixes("C:/a/b"), (std::vector<std::string>{"C:\\a", "C:\\a\\b"}));
  EXPECT_EQ(winpath::DirectoryPrefixes("C:\\"), (std::vector<std::string>{"C:\\"}));
  EXPECT_TRUE(winpath::DirectoryPrefixes("").empty());
}
