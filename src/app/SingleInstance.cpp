#include "app/SingleInstance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <string>
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

namespace {

// A folder only this user can write to: a real directory (not a link) that
// the user owns and nobody else may write into.
bool PrivateFolder(const std::string& folder) {
  struct stat st{};
  return ::lstat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode) && st.st_uid == ::getuid() &&
         (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

}  // namespace

std::string SingleInstance::RuntimeFolder() {
  const char* xdg = std::getenv("XDG_RUNTIME_DIR");
  if (xdg && *xdg && PrivateFolder(xdg) && ::access(xdg, W_OK | X_OK) == 0) return xdg;
  // The shared /tmp: a folder of our own, refused when someone else made it.
  std::string folder = "/tmp/twk208-" + std::to_string(::getuid());
  ::mkdir(folder.c_str(), 0700);  // fails harmlessly when it exists
  return folder;
}

SingleInstance::SingleInstance(const std::string& mutexName, const std::string& folder) {
  std::string dir = folder.empty() ? RuntimeFolder() : folder;
  if (!dir.empty() && dir.back() != '/') dir += '/';
  path_ = dir + LockFileName(mutexName);
  // The file itself stays; only the lock on the open file counts, and the
  // system releases it when the process ends, however it ends.
  // Never through a symbolic link, and only in a folder of this user's: a
  // lock file that cannot be made safely counts as a failed mutex.
  if (!PrivateFolder(dir.substr(0, dir.size() - 1))) return;
  fd_ = ::open(path_.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
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
