#include "view_render.h"

#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <thread>

#include "platform/child_process.h"
#include "platform/directories.h"
#include "platform/environment.h"
#include "platform/temp_files.h"

namespace kestrun_app {
namespace {

// A bracket renders in about a second; a session that cannot start a window never ends.
constexpr double kRenderSeconds = 300;

std::string folderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string(".") : path.substr(0, slash);
}

std::string findOnPath(const std::string& program) {
  std::istringstream dirs(platform::GetEnv("PATH").value_or(""));
  for (std::string dir; std::getline(dirs, dir, ':');) {
    const std::string candidate = (dir.empty() ? "." : dir) + "/" + program;
    if (platform::FileExists(candidate)) return candidate;
  }
  return {};
}

// The last line the workstation wrote on standard error: its reason, when it failed.
std::string lastLine(const std::string& path) {
  std::ifstream in(path);
  std::string line;
  std::string last;
  while (std::getline(in, line)) {
    if (!line.empty()) last = line;
  }
  return last;
}

bool runToEnd(const std::vector<std::string>& command, const std::string& errors,
              std::string& error) {
  platform::ChildProcess child;
  if (!child.start(command, "", errors, &error)) return false;
  platform::ChildOutcome outcome;
  while (!child.poll(outcome)) {
    if (child.secondsRunning() > kRenderSeconds) child.killGroup();
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  if (outcome.exited && outcome.exitCode == 0) return true;
  const std::string why = lastLine(errors);
  error = outcome.exited
              ? "the workstation ended with status " + std::to_string(outcome.exitCode)
              : "the workstation was stopped by signal " + std::to_string(outcome.signal);
  if (!why.empty()) error += ": " + why;
  return false;
}

}  // namespace

std::vector<std::string> viewRenderCommand(const std::string& workstation, const std::string& json,
                                           const std::string& png, std::string& error) {
  const std::vector<std::string> session = {workstation,  "--no-addin", "--open",           json,
                                            "--view-png", png,          "--quit-after-draw"};
  if (!platform::FileExists(workstation)) {
    error = "the workstation program, which renders the view, is not beside kestrun (" +
            workstation + ")";
    return {};
  }
  if (!platform::GetEnv("DISPLAY").value_or("").empty()) return session;
  const std::string xvfb = findOnPath("xvfb-run");
  if (xvfb.empty()) {
    error = "no display to render on: DISPLAY is not set and xvfb-run is not installed";
    return {};
  }
  std::vector<std::string> command = {xvfb, "-a", "-s", "-screen 0 1600x1000x24"};
  command.insert(command.end(), session.begin(), session.end());
  return command;
}

bool renderIsometricPng(const std::vector<unsigned char>& json, const std::string& png,
                        std::string& error) {
  const std::string workstation = folderOf(platform::ExecutablePath()) + "/workstation";
  const std::string folder = platform::TempPath().value_or("/tmp/");
  platform::NewFile input;
  platform::NewFile errors;
  if (!input.CreateUnique(folder, "kestrun-view-", ".json") ||
      !input.Write(json.data(), json.size()) || !input.Close() ||
      !errors.CreateUnique(folder, "kestrun-view-", ".log") || !errors.Close()) {
    error = "cannot write a temporary file in " + folder;
    return false;
  }
  const std::vector<std::string> command = viewRenderCommand(workstation, input.Path(), png, error);
  bool rendered = !command.empty() && runToEnd(command, errors.Path(), error);
  if (rendered && !platform::FileExists(png)) {
    error = "the workstation ended without writing the picture";
    rendered = false;
  }
  platform::RemoveFile(input.Path());
  platform::RemoveFile(errors.Path());
  return rendered;
}

}  // namespace kestrun_app
