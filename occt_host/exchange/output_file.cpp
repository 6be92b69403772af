#include "exchange/output_file.h"

#include <stdexcept>

#include "platform/directories.h"
#include "platform/output_file.h"

namespace occt_host {

OutputFile::OutputFile(const std::string& kind, std::string path) : path_(std::move(path)) {
  std::string reason;
  if (!platform::ProbeOutputFile(path_, created_, reason))
    throw std::runtime_error("cannot write the " + kind + " file " + path_ + ": " + reason);
}

OutputFile::~OutputFile() {
  if (created_) platform::RemoveFile(path_);
}

}  // namespace occt_host
