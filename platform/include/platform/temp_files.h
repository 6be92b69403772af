// The temporary folder, and unique temporary files and folders in it.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

namespace platform {

// The temporary folder, always ending with a separator ($TMPDIR, else /tmp/).
std::optional<std::string> TempPath();

// Creates a new empty file with a unique name in `folder` and returns its path.
std::optional<std::string> CreateUniqueTempFile(const std::string& folder,
                                                const std::string& prefix,
                                                const std::string& suffix);

// Creates a new empty directory with a unique name in `folder` and returns its path.
std::optional<std::string> CreateUniqueTempDirectory(const std::string& folder,
                                                     const std::string& prefix);

// A file made new for writing: created exclusively under a unique name (never an existing
// file, never through a link) and readable and writable only by its owner. Closed when the
// object goes; the file itself stays until removed.
class NewFile {
 public:
  NewFile() = default;
  ~NewFile() { Close(); }
  NewFile(const NewFile&) = delete;
  NewFile& operator=(const NewFile&) = delete;

  // Creates `folder` + `prefix` + six unique characters + `suffix`; false when it cannot.
  bool CreateUnique(const std::string& folder, const std::string& prefix,
                    const std::string& suffix);
  const std::string& Path() const { return path_; }
  // Writes every byte (retrying short writes); false on a write error.
  bool Write(const void* data, size_t size);
  // False when the data could not be flushed to the file.
  bool Close();

 private:
  int fd_ = -1;
  std::string path_;
};

}  // namespace platform
