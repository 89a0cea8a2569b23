#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace quell {

namespace {

Failure<StoreError> failed(const std::filesystem::path& path, const char* step, int error) {
  return {StoreError::kWriteFailed, "cannot " + std::string(step) + " " + path.string() + ": " + std::strerror(error)};
}

}  // namespace

Status<StoreError> writeFileAtomically(const std::filesystem::path& path, std::string_view bytes) {
  std::filesystem::path temporary = path;
  temporary += ".XXXXXX";
  std::string name = temporary.string();
  const int fd = mkstemp(name.data());
  if (fd < 0) return failed(path, "write", errno);
  // The new file is a new backup: readable by its owner alone, like what mkstemp makes, unless the old
  // file was shared more widely.
  struct stat old;
  if (::stat(path.c_str(), &old) == 0) (void)fchmod(fd, old.st_mode & 07777);
  int error = 0;
  for (std::size_t written = 0; written < bytes.size() && error == 0;) {
    const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
    if (n < 0 && errno != EINTR) error = errno;
    if (n > 0) written += static_cast<std::size_t>(n);
  }
  if (error == 0 && fsync(fd) != 0) error = errno;
  if (::close(fd) != 0 && error == 0) error = errno;
  if (error == 0 && std::rename(name.c_str(), path.c_str()) != 0) error = errno;
  if (error != 0) {
    ::unlink(name.c_str());
    return failed(path, "write", error);
  }
  return {};
}

}  // namespace quell
