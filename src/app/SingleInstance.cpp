#include "app/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace twk {

std::string SingleInstance::LockFileName(const std::string& mutexName) {
  std::string name;
  for (char c : mutexName) {
    unsigned char u = static_cast<unsigned char>(c);
    name += (std::isalnum(u) || c == '-' || c == '.') ? c : '_';
  }
  return name + ".lock";
}

std::string SingleInstance::RuntimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg && *xdg) {
    struct stat st{};
    if (::stat(xdg, &st) == 0 && S_ISDIR(st.st_mode) && ::access(xdg, W_OK | X_OK) == 0)
      return std::string(xdg);
  }
  std::string folder = "/tmp/twk208-" + std::to_string(::getuid());
  if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) return "/tmp";
  return folder;
}

SingleInstance::SingleInstance(const std::string& mutexName, const std::string& folder) {
  std::string dir = folder.empty() ? RuntimeFolder() : folder;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  path_ = dir + LockFileName(mutexName);
  // The file itself stays; only the lock on the open file counts, and the
  // system releases it when the process ends, however it ends.
  fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  if (fd_ < 0) return;
  for (;;) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      first_ = true;
      break;
    }
    if (errno != EINTR) break;
  }
}

SingleInstance::~SingleInstance() {
  if (fd_ >= 0) {
    if (first_) ::flock(fd_, LOCK_UN);
    ::close(fd_);
  }
}

}  // namespace twk
