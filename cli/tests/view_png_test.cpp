// `kestrun draw --png`: the shaded isometric picture, rendered by the workstation program
// beside kestrun on the display there is or on a virtual one, and a clear failure when there
// is neither.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <utility>

#include "cli_fixture.h"
#include "platform/environment.h"
#include "view_render.h"

namespace kestrun_test {
namespace {

class ViewPngTest : public CliTest {
 protected:
  void SetUp() override {
    CliTest::SetUp();
    display_ = platform::GetEnv("DISPLAY");
    path_ = platform::GetEnv("PATH");
  }
  void TearDown() override {
    restore("DISPLAY", display_);
    restore("PATH", path_);
  }
  static void restore(const char* name, const std::optional<std::string>& value) {
    if (value) {
      platform::SetEnv(name, *value);
    } else {
      platform::UnsetEnv(name);
    }
  }
  // A program file named `name` in the scratch folder `folder`.
  std::string fakeProgram(const std::string& folder, const std::string& name) {
    std::filesystem::create_directories(dir / folder);
    const auto path = dir / folder / name;
    writeText(path, "#!/bin/sh\n");
    return path.string();
  }
  std::optional<std::string> display_;
  std::optional<std::string> path_;
};

// The width and height a PNG file's header gives; zero when it is no PNG file.
std::pair<std::uint32_t, std::uint32_t> pngSize(const std::string& bytes) {
  if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
      bytes.compare(12, 4, "IHDR") != 0)
    return {0, 0};
  auto word = [&](std::size_t at) {
    std::uint32_t v = 0;
    for (std::size_t i = 0; i < 4; ++i) v = v << 8 | static_cast<unsigned char>(bytes[at + i]);
    return v;
  };
  return {word(16), word(20)};
}

TEST_F(ViewPngTest, TheCommandRendersOnTheDisplayElseUnderXvfbElseSaysWhy) {
  const std::string workstation = fakeProgram("bin", "workstation");
  std::string error;
  platform::SetEnv("DISPLAY", ":7");
  auto command = kestrun_app::viewRenderCommand(workstation, "a.json", "a.png", error);
  ASSERT_EQ(command.size(), 7u) << error;
  EXPECT_EQ(command.front(), workstation);
  EXPECT_EQ(command[3], "a.json");
  EXPECT_EQ(command[5], "a.png");

  platform::UnsetEnv("DISPLAY");
  const std::string xvfb = fakeProgram("tools", "xvfb-run");
  platform::SetEnv("PATH", (dir / "empty").string() + ":" + (dir / "tools").string());
  command = kestrun_app::viewRenderCommand(workstation, "a.json", "a.png", error);
  ASSERT_EQ(command.size(), 11u) << error;
  EXPECT_EQ(command.front(), xvfb);
  EXPECT_EQ(command[4], workstation);

  platform::SetEnv("PATH", (dir / "empty").string());
  EXPECT_TRUE(kestrun_app::viewRenderCommand(workstation, "a.json", "a.png", error).empty());
  EXPECT_EQ(error, "no display to render on: DISPLAY is not set and xvfb-run is not installed");

  platform::SetEnv("DISPLAY", ":7");
  EXPECT_TRUE(kestrun_app::viewRenderCommand("/no/workstation", "a.json", "a.png", error).empty());
  EXPECT_EQ(error,
            "the workstation program, which renders the view, is not beside kestrun "
            "(/no/workstation)");
}

TEST_F(ViewPngTest, WithoutADisplayOrXvfbTheDrawStillWritesItsStepAndFailsThePicture) {
  const auto png = dir / "bracket.png", step = dir / "bracket.step", err = dir / "err.txt";
  const std::string out = (dir / "out.json").string();
  const int status = shell("env -u DISPLAY PATH=/nonexistent " + kestrun() +
                           " draw " KESTRUN_EXAMPLES "/flanged_bracket.json --png " + png.string() +
                           " --step " + step.string() + " > " + out + " 2> " + err.string());
  EXPECT_EQ(status, 3);
  EXPECT_NE(readText(out).find("\"stepWritten\":true"), std::string::npos) << readText(out);
  EXPECT_NE(readText(out).find("\"pngWritten\":false"), std::string::npos) << readText(out);
  EXPECT_NE(readText(err).find("kestrun: cannot write the PNG file " + png.string() +
                               ": no display to render on"),
            std::string::npos)
      << readText(err);
  EXPECT_FALSE(std::filesystem::exists(png));
}

TEST_F(ViewPngTest, TheBracketPictureIsWrittenWhereAVirtualDisplayCanStart) {
  if (std::system("command -v xvfb-run > /dev/null") != 0) GTEST_SKIP() << "no xvfb-run";
  const auto png = dir / "bracket.png";
  const std::string out = (dir / "out.json").string();
  ASSERT_EQ(shell("env -u DISPLAY " + kestrun() +
                  " draw " KESTRUN_EXAMPLES "/flanged_bracket.json --png " + png.string() + " > " +
                  out + " 2> /dev/null"),
            0)
      << readText(out);
  EXPECT_NE(readText(out).find("\"pngWritten\":true"), std::string::npos) << readText(out);
  // The 3D view of the workstation's window on its 1600 x 1000 screen.
  const auto [width, height] = pngSize(readText(png));
  EXPECT_GT(width, 400u);
  EXPECT_GT(height, 300u);
  EXPECT_LT(width, 1600u);
  EXPECT_LT(height, 1000u);
}

}  // namespace
}  // namespace kestrun_test
