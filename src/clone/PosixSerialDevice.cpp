// Serial port over POSIX termios.
#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <thread>

#include "clone/SerialDevice.h"

namespace twk {
namespace {

bool BaudConstant(int baud, speed_t* out) {
  static const struct {
    int baud;
    speed_t value;
  } kRates[] = {{300, B300},       {600, B600},       {1200, B1200},     {2400, B2400},
                {4800, B4800},     {9600, B9600},     {19200, B19200},   {38400, B38400},
                {57600, B57600},   {115200, B115200}, {230400, B230400}};
  for (const auto& r : kRates) {
    if (r.baud == baud) {
      *out = r.value;
      return true;
    }
  }
  return false;
}

class PosixSerialDevice : public SerialDevice {
 public:
  ~PosixSerialDevice() override { Close(); }

  bool Open(const std::string& path, const LineSettings& line) override {
    Close();
    error_.clear();
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd_ < 0) {
      const int e = errno;
      error_ = "Cannot open " + path + ": " + std::strerror(e);
      if (e == EACCES || e == EPERM) error_ += PermissionHint(path);
      return false;
    }
    if (!isatty(fd_)) return Fail(path + " is not a serial port");
    // Exclusive use; released again before every close.
    if (ioctl(fd_, TIOCEXCL) != 0) return Fail("Cannot get exclusive access to " + path);
    exclusive_ = true;
    termios tio{};
    if (tcgetattr(fd_, &tio) != 0) return Fail("Cannot read the line settings of " + path);
    speed_t speed;
    if (!BaudConstant(line.baud, &speed))
      return Fail("Baud rate " + std::to_string(line.baud) + " is not supported");
    cfmakeraw(&tio);
    tio.c_cflag &= ~(CSIZE | CSTOPB | PARENB | PARODD | CRTSCTS | HUPCL);
    static const tcflag_t kSizes[] = {CS5, CS5, CS6, CS7, CS8};  // 4 bits: the nearest, 5
    tio.c_cflag |= kSizes[line.byteSize - 4] | CLOCAL | CREAD;
    // termios has no 1.5 stop bits: the nearest longer setting is two.
    if (line.stopBits != 0) tio.c_cflag |= CSTOPB;
    if (line.parityCheck) tio.c_cflag |= PARENB | PARODD;
    tio.c_iflag &= ~(IXON | IXOFF | IXANY | INPCK | ISTRIP);
    tio.c_cc[VMIN] = 0;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    if (tcsetattr(fd_, TCSANOW, &tio) != 0) return Fail("Cannot set the line settings of " + path);
    // DTR off, RTS on (the cable draws its power from RTS). A pseudo-terminal
    // has no modem lines; that is not an error.
    int dtr = TIOCM_DTR, rts = TIOCM_RTS;
    if (ioctl(fd_, TIOCMBIC, &dtr) != 0 && errno != ENOTTY && errno != EINVAL)
      return Fail("Cannot set the modem lines of " + path);
    if (ioctl(fd_, TIOCMBIS, &rts) != 0 && errno != ENOTTY && errno != EINVAL)
      return Fail("Cannot set the modem lines of " + path);
    if (tcflush(fd_, TCIOFLUSH) != 0) return Fail("Cannot purge " + path);
    return true;
  }

  void Close() override {
    if (fd_ < 0) return;
    if (exclusive_) ioctl(fd_, TIOCNXCL);
    exclusive_ = false;
    ::close(fd_);
    fd_ = -1;
  }

  bool IsOpen() const override { return fd_ >= 0; }

  int Read(std::uint8_t* buffer, int max) override {
    if (fd_ < 0 || max <= 0) return 0;
    const int n = std::min(InputWaiting(), max);
    if (n <= 0) return 0;
    const ssize_t r = ::read(fd_, buffer, n);
    return r > 0 ? static_cast<int>(r) : 0;
  }

  int Write(const std::uint8_t* bytes, int n, int timeoutMs) override {
    if (fd_ < 0) return 0;
    using Clock = std::chrono::steady_clock;
    const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int done = 0;
    while (done < n) {
      const ssize_t w = ::write(fd_, bytes + done, n - done);
      if (w > 0) {
        done += static_cast<int>(w);
        continue;
      }
      if (w < 0 && errno != EAGAIN && errno != EWOULDBLOCK && errno != EINTR) break;
      const auto left =
          std::chrono::duration_cast<std::chrono::milliseconds>(end - Clock::now()).count();
      if (left <= 0) break;
      pollfd p{fd_, POLLOUT, 0};
      if (::poll(&p, 1, static_cast<int>(left)) < 0 && errno != EINTR) break;
      if (p.revents & (POLLERR | POLLHUP | POLLNVAL)) break;
    }
    return done;
  }

  int InputWaiting() override {
    int n = 0;
    if (fd_ < 0 || ioctl(fd_, FIONREAD, &n) != 0) return 0;
    return n;
  }

  int OutputWaiting() override {
    int n = 0;
    if (fd_ < 0 || ioctl(fd_, TIOCOUTQ, &n) != 0) return 0;
    return n;
  }

  void Sleep(int ms) override { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

  std::string ErrorText() const override { return error_; }

 private:
  bool Fail(const std::string& text) {
    const int e = errno;
    error_ = text;
    if (e) error_ += std::string(" (") + std::strerror(e) + ")";
    Close();
    return false;
  }

  static std::string PermissionHint(const std::string& path) {
    struct stat st{};
    std::string owner = "dialout";
    if (::stat(path.c_str(), &st) == 0) {
      if (const struct group* g = getgrgid(st.st_gid)) owner = g->gr_name;
    }
    return ".\nYour user may not use this port. Add it to the group that owns the device ('" +
           owner + "'): sudo usermod -aG " + owner +
           " $USER, then log out and in again.";
  }

  int fd_ = -1;
  bool exclusive_ = false;
  std::string error_;
};

}  // namespace

std::unique_ptr<SerialDevice> MakePosixSerialDevice() {
  return std::make_unique<PosixSerialDevice>();
}

}  // namespace twk
