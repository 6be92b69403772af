// The file an exporter writes: refused up front, with the system's reason, when it cannot
// be written (before any meshing or translation is spent on it), and taken away again when
// the export made it and then failed.
#pragma once

#include <string>

namespace occt_host {

class OutputFile {
 public:
  // Throws std::runtime_error("cannot write the <kind> file <path>: <reason>").
  OutputFile(const std::string& kind, std::string path);
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // The export succeeded: the file stays.
  void keep() { created_ = false; }

 private:
  std::string path_;
  bool created_ = false;
};

}  // namespace occt_host
