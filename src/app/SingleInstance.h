// One copy of the editor at a time: an exclusive lock on a file named after
// the program's mutex name in the user's runtime folder. The lock belongs to
// the open file, so the system drops it when the process ends in any way: a
// crashed process never leaves a lock that blocks the next start.
#pragma once

#include <string>

namespace twk {

class SingleInstance {
 public:
  // Tries to take the lock for `mutexName` in `folder` ("" = the runtime
  // folder). Never waits.
  explicit SingleInstance(const std::string& mutexName, const std::string& folder = "");
  ~SingleInstance();  // releases the lock
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // True only when this process holds the lock. False for a second
  // instance, and when the lock file could not be created at all.
  bool IsFirst() const { return first_; }
  // False when the lock file could not be opened (the "null handle").
  bool HaveHandle() const { return fd_ >= 0; }
  const std::string& LockPath() const { return path_; }

  // $XDG_RUNTIME_DIR when it is set and private to the user, else
  // /tmp/twk208-<uid> (created with mode 0700). The lock is only made in a
  // folder that the user owns and nobody else can write to, and never
  // through a symbolic link; otherwise there is no handle.
  static std::string RuntimeFolder();
  // The mutex name made into a file name: anything but letters, digits,
  // '-' and '.' becomes '_', and ".lock" is appended.
  static std::string LockFileName(const std::string& mutexName);

 private:
  std::string path_;
  int fd_ = -1;
  bool first_ = false;
};

}  // namespace twk
