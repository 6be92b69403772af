// Runs the kestrun program as a user does, in a scratch folder of the test's own.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace kestrun_test {

inline std::string readText(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

inline void writeText(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

class CliTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = std::filesystem::path(KESTRUN_TEST_SCRATCH) / info->test_suite_name() / info->name();
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
  }

  // The exit status of `command` run by the shell, -1 when it did not exit.
  static int shell(const std::string& command) {
    const int status = std::system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static std::string kestrun() { return KESTRUN_BINARY; }

  std::filesystem::path dir;
};

}  // namespace kestrun_test
