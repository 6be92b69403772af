// Probing an output path before a writer runs: the system's reason for a path that cannot
// be written, and an existing file left as it was.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "platform/directories.h"
#include "platform/output_file.h"
#include "platform/temp_files.h"

namespace {

std::string contentOf(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(OutputFile, ProbeNamesTheReasonAndKeepsExistingContent) {
  const std::string dir =
      platform::CreateUniqueTempDirectory(*platform::TempPath(), "tolvane-probe-").value();
  bool created = true;
  std::string reason;
  // A folder that does not exist: nothing is made, and the kernel's text says why.
  EXPECT_FALSE(platform::ProbeOutputFile(dir + "/missing/out.step", created, reason));
  EXPECT_FALSE(created);
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_FALSE(platform::ProbeOutputFile(dir, created, reason));
  EXPECT_EQ(reason, "Is a directory");
  EXPECT_FALSE(platform::ProbeOutputFile("", created, reason));

  // A new file is made and said to be new; an existing one keeps its bytes.
  const std::string fresh = dir + "/fresh.stl";
  EXPECT_TRUE(platform::ProbeOutputFile(fresh, created, reason));
  EXPECT_TRUE(created);
  EXPECT_TRUE(platform::FileExists(fresh));
  const std::string old = dir + "/old.stl";
  std::ofstream(old, std::ios::binary) << "earlier result";
  EXPECT_TRUE(platform::ProbeOutputFile(old, created, reason));
  EXPECT_FALSE(created);
  EXPECT_EQ(contentOf(old), "earlier result");
  // A device is written through, not replaced.
  EXPECT_TRUE(platform::ProbeOutputFile("/dev/null", created, reason));
  EXPECT_FALSE(created);

  // A pipe nobody reads would block the writer for good: refused at once.
  const std::string pipe = dir + "/pipe";
  ASSERT_EQ(::mkfifo(pipe.c_str(), 0600), 0);
  EXPECT_FALSE(platform::ProbeOutputFile(pipe, created, reason));
  EXPECT_EQ(reason, "No such device or address");

  platform::RemoveFile(pipe);
  platform::RemoveFile(fresh);
  platform::RemoveFile(old);
  ::rmdir(dir.c_str());
}

}  // namespace
