// twk208-radiosim: a TW-K208 radio on a pseudo-terminal, for tests and
// benchmarks. It prints the path of the terminal the program should open,
// echoes every byte like the cloning cable, answers identification, read and
// write as the radio does (a write with a bad record or a wrong E5 count is
// refused with status 01 and changes nothing), serves its memory from a clone
// file, saves what it was sent to a clone file, paces its output at a baud
// rate, and can inject each failure the program must detect.
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <set>
#include <string>
#include <vector>

#include "clone/cmcCloneEngine.h"
#include "data/EepromImage.h"
#include "file/CloneOpen.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

volatile std::sig_atomic_t g_stop = 0;
void OnSignal(int) { g_stop = 1; }

struct Failure {
  const char* flag;
  const char* help;
};
const Failure kFailures[] = {
    {"no-echo", "the cable echoes nothing"},
    {"bad-echo", "one echoed byte comes back changed"},
    {"no-answer", "the radio never answers a request"},
    {"non-bcd", "E1 code bytes are not BCD"},
    {"wrong-second-code", "E1 carries the second code 0002"},
    {"short-id", "the identification block has 21 bytes"},
    {"id-length", "identification block byte 0 is not its length"},
    {"bad-format", "identification block format byte is 2"},
    {"lower-hex", "one E4 record uses lower-case hex digits"},
    {"bad-checksum", "one E4 record's checksum is off by one"},
    {"wrong-count", "the E5 record count is one too high"},
    {"skip-block", "one block of the read range is not sent"},
    {"past-image", "a record reaches past the end of the image (0xFF8, 16 bytes)"},
    {"outside-range", "an extra record for 0x1000 lies outside the read range"},
    {"long-frame", "a frame of more than 521 bytes without 0xFD"},
    {"write-status", "the write result carries status 01"},
    {"no-write-result", "no E6 write result after the program's E5"},
    {"bad-marker", "the served image has 0x3DA = 0"},
    {"store-flip", "a written image is stored with bit 0 of 0x5EC flipped (a memory fault)"},
};

struct Options {
  std::string in, out, link;
  int baud = 0;       // 0: unpaced
  bool autoBaud = false;  // pace at the speed the program set on its port
  bool verbose = false;
  std::set<std::string> fail;
  bool Has(const char* f) const { return fail.count(f) != 0; }
};

void Usage() {
  std::fprintf(stderr,
               "usage: twk208-radiosim [--in FILE] [--out FILE] [--baud N|auto] [--link PATH]\n"
               "                       [--verbose] [FAILURE FLAGS]\n"
               "Prints the pseudo-terminal's path on the first line of stdout, then serves\n"
               "until terminated.\n  --in FILE     clone file served on a read (default: a test pattern)\n"
               "  --out FILE    clone file the received image is saved to after a write\n"
               "  --baud N      pace output at N baud; auto: at the port's own speed\n"
               "  --link PATH   also make PATH a symbolic link to the terminal\nfailure flags:\n");
  for (const auto& f : kFailures) std::fprintf(stderr, "  --%-18s %s\n", f.flag, f.help);
}

void SetRaw(int fd) {
  termios tio{};
  if (tcgetattr(fd, &tio) != 0) return;
  cfmakeraw(&tio);
  cfsetispeed(&tio, B9600);
  cfsetospeed(&tio, B9600);
  tcsetattr(fd, TCSANOW, &tio);
}

int SpeedOf(speed_t s) {
  switch (s) {
    case B1200: return 1200;
    case B2400: return 2400;
    case B4800: return 4800;
    case B9600: return 9600;
    case B19200: return 19200;
    case B38400: return 38400;
    case B57600: return 57600;
    case B115200: return 115200;
    default: return 9600;
  }
}

class Radio {
 public:
  Radio(const Options& o, twk::EepromImage& mem) : o_(o), mem_(mem) {}

  // One byte from the program's line; replies go to `out`.
  void Feed(std::uint8_t b, std::deque<std::uint8_t>& out) {
    if (!o_.Has("no-echo")) {
      ++echoed_;
      out.push_back(o_.Has("bad-echo") && echoed_ == 5 ? static_cast<std::uint8_t>(b ^ 0x01) : b);
    }
    if (b == 0xFE) {
      frame_.assign(1, 0xFE);
    } else if (frame_.empty()) {
    } else if (b == 0xFD) {
      Handle(frame_, out);
      frame_.clear();
    } else if (frame_.size() < 600) {
      frame_.push_back(b);
    }
  }

 private:
  static void Put(std::deque<std::uint8_t>& out, const Bytes& b) { out.insert(out.end(), b.begin(), b.end()); }
  static void PutText(Bytes& b, const std::string& t) { b.insert(b.end(), t.begin(), t.end()); }

  void Handle(const Bytes& f, std::deque<std::uint8_t>& out) {
    if (f.size() < 4 || f[1] != 0xEE || f[2] != 0xEF) return;
    const int cmd = f[3];
    if (o_.verbose) std::fprintf(stderr, "radiosim: frame %02X (%zu bytes)\n", cmd, f.size());
    switch (cmd) {
      case 0xE8: break;  // speed change: the port follows on its own
      case 0xE0: if (!o_.Has("no-answer")) Identify(out); break;
      case 0xE2: if (!o_.Has("no-answer")) SendMemory(out); break;
      case 0xE3: writing_ = !o_.Has("no-answer"); received_ = 0; badRecords_ = 0; staged_.Assign(mem_); break;
      case 0xE4: if (writing_) StoreRecord(f); break;
      case 0xE5: if (writing_) EndWrite(f, out); break;
      default: break;
    }
  }

  void Identify(std::deque<std::uint8_t>& out) {
    Bytes r = {0xFE, 0xFE, 0xEF, 0xEE, 0xE1, 0x29, 0x89, 0x00, 0x01};
    if (o_.Has("non-bcd")) r[5] = 0x2A;
    if (o_.Has("wrong-second-code")) r[8] = 0x02;
    Bytes block = {22, 0x12, 1};
    PutText(block, "TW-K208 SIM     ");
    block.push_back(0);
    block.push_back(0);
    block.push_back(0);  // model index
    if (o_.Has("short-id")) block.resize(21), block[0] = 21;
    if (o_.Has("id-length")) block[0] = 23;
    if (o_.Has("bad-format")) block[2] = 2;
    r.insert(r.end(), block.begin(), block.end());
    r.push_back(0xFD);
    Put(out, r);
  }

  void Record(std::deque<std::uint8_t>& out, int address, int n, bool lower = false, int ckOff = 0) {
    std::uint8_t data[16] = {};
    for (int i = 0; i < n; ++i) data[i] = mem_.InRange(address + i) ? mem_.GetByte(address + i) : 0;
    std::string text = twk::RecordText(address, data, n);
    if (ckOff) {
      const int ck = (std::strtol(text.substr(text.size() - 2).c_str(), nullptr, 16) + ckOff) & 0xFF;
      char buf[3];
      std::snprintf(buf, sizeof buf, "%02X", ck);
      text.replace(text.size() - 2, 2, buf);
    }
    if (lower)
      for (auto& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    Bytes b = {0xFE, 0xFE, 0xEF, 0xEE, 0xE4};
    PutText(b, text);
    b.push_back(0xFD);
    Put(out, b);
  }

  void SendMemory(std::deque<std::uint8_t>& out) {
    int records = 0;
    for (int a = 0; a < 0x1000; a += 16) {
      if (o_.Has("skip-block") && a == 0x070) continue;
      if (o_.Has("past-image") && a == 0xFF0) {
        Record(out, 0xFF8, 16);
      } else {
        Record(out, a, 16, o_.Has("lower-hex") && a == 0x0A0, o_.Has("bad-checksum") && a == 0x050 ? 1 : 0);
      }
      ++records;
    }
    if (o_.Has("outside-range")) Record(out, 0x1000, 1), ++records;
    if (o_.Has("long-frame")) {
      Bytes b = {0xFE, 0xEF, 0xEE, 0xE4};
      b.insert(b.end(), 530, '0');
      Put(out, b);
    }
    Bytes e5 = {0xFE, 0xFE, 0xEF, 0xEE, 0xE5};
    PutText(e5, "Zelt Inc.");
    char count[3];
    std::snprintf(count, sizeof count, "%02X", (records + (o_.Has("wrong-count") ? 1 : 0)) % 256);
    PutText(e5, count);
    e5.push_back(0xFD);
    Put(out, e5);
  }

  // Like the radio: a record with anything but upper-case hex, a wrong
  // length or checksum, or addresses past the memory is not stored, and the
  // write result then reports the failure.
  void StoreRecord(const Bytes& f) {
    ++received_;
    const std::string text(f.begin() + 4, f.end());
    const bool hex = text.size() % 2 == 0 && text.find_first_not_of("0123456789ABCDEF") == std::string::npos;
    const Bytes d = twk::HexTextToBytes(text);
    int sum = 0;
    for (auto b : d) sum += b;
    if (!hex || d.size() < 4 || static_cast<int>(d.size()) != d[2] + 4 || (sum & 0xFF) != 0 ||
        !staged_.InRange((d[0] << 8 | d[1]) + d[2] - 1)) {
      ++badRecords_;
      if (o_.verbose) std::fprintf(stderr, "radiosim: bad record %s\n", text.c_str());
      return;
    }
    const int address = d[0] << 8 | d[1];
    for (int i = 0; i < d[2]; ++i) staged_.SetByte(address + i, d[3 + i]);
  }

  void EndWrite(const Bytes& f, std::deque<std::uint8_t>& out) {
    writing_ = false;
    char count[3];
    std::snprintf(count, sizeof count, "%02X", received_ % 256);
    const bool ok = badRecords_ == 0 && std::string(f.begin() + 4, f.end()) == std::string("Zelt Inc.") + count;
    if (o_.verbose) std::fprintf(stderr, "radiosim: %d records written%s\n", received_, ok ? "" : ", refused");
    if (!ok) {
      Put(out, {0xFE, 0xFE, 0xEF, 0xEE, 0xE6, 0x01, 0xFD});
      return;
    }
    mem_.Assign(staged_);  // only a complete, valid write reaches the memory
    if (o_.Has("store-flip")) mem_.SetByte(0x5EC, static_cast<std::uint8_t>(mem_.GetByte(0x5EC) ^ 0x01));
    if (!o_.out.empty()) {
      const int rc = twk::WriteCloneFile(o_.out, mem_, nullptr);
      if (rc) std::fprintf(stderr, "radiosim: saving %s failed (%d)\n", o_.out.c_str(), rc);
    }
    if (o_.Has("no-write-result")) return;
    Put(out, {0xFE, 0xFE, 0xEF, 0xEE, 0xE6, static_cast<std::uint8_t>(o_.Has("write-status") ? 1 : 0), 0xFD});
  }

  const Options& o_;
  twk::EepromImage& mem_;
  Bytes frame_;
  bool writing_ = false;
  int received_ = 0;
  int badRecords_ = 0;
  twk::EepromImage staged_;
  long echoed_ = 0;
};

}  // namespace

int main(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    auto value = [&]() -> std::string {
      if (i + 1 >= argc) {
        Usage();
        std::exit(2);
      }
      return argv[++i];
    };
    if (a == "--in") o.in = value();
    else if (a == "--out") o.out = value();
    else if (a == "--link") o.link = value();
    else if (a == "--verbose") o.verbose = true;
    else if (a == "--baud") {
      const std::string v = value();
      if (v == "auto") o.autoBaud = true;
      else o.baud = std::atoi(v.c_str());
    } else if (a == "--help" || a == "-h") {
      Usage();
      return 0;
    } else {
      bool known = false;
      for (const auto& f : kFailures)
        if (a == std::string("--") + f.flag) o.fail.insert(f.flag), known = true;
      if (!known) {
        std::fprintf(stderr, "twk208-radiosim: unknown option %s\n", a.c_str());
        Usage();
        return 2;
      }
    }
  }

  twk::EepromImage mem(twk::EepromImage::kModelSize);
  if (!o.in.empty()) {
    if (const int rc = twk::LoadCloneFile(o.in, mem.Size(), mem, nullptr)) {
      std::fprintf(stderr, "twk208-radiosim: cannot load %s (clone file code %d)\n", o.in.c_str(), rc);
      return 1;
    }
  } else {
    for (int a = 0; a < mem.Size(); ++a) mem.SetByte(a, static_cast<std::uint8_t>((a * 7 + (a >> 8)) & 0xFF));
    mem.SetByte(0x3D9, 0);
    mem.SetByte(0x3DA, 1);
  }
  if (o.Has("bad-marker")) mem.SetByte(0x3DA, 0);

  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  if (master < 0 || grantpt(master) != 0 || unlockpt(master) != 0) {
    std::perror("twk208-radiosim: pseudo-terminal");
    return 1;
  }
  const char* name = ptsname(master);
  const std::string slavePath = name ? name : "";
  // Held open for the whole run, so the program may close and reopen its
  // side as often as it likes without the line hanging up.
  const int slave = ::open(slavePath.c_str(), O_RDWR | O_NOCTTY);
  if (slave < 0) {
    std::perror("twk208-radiosim: open slave");
    return 1;
  }
  SetRaw(slave);
  fcntl(master, F_SETFL, fcntl(master, F_GETFL) | O_NONBLOCK);
  if (!o.link.empty()) {
    ::unlink(o.link.c_str());
    if (symlink(slavePath.c_str(), o.link.c_str()) != 0) std::perror("twk208-radiosim: link");
  }
  std::signal(SIGTERM, OnSignal);
  std::signal(SIGINT, OnSignal);
  std::signal(SIGPIPE, SIG_IGN);
  std::printf("%s\n", slavePath.c_str());
  std::fflush(stdout);

  Radio radio(o, mem);
  std::deque<std::uint8_t> out;
  using Clock = std::chrono::steady_clock;
  Clock::time_point paceStart = Clock::now();
  long long paceSent = 0;  // bytes sent since paceStart
  int paceBaud = 0;
  std::uint8_t buf[4096];
  while (!g_stop) {
    int baud = o.baud;
    if (o.autoBaud) {
      termios tio{};
      baud = tcgetattr(slave, &tio) == 0 ? SpeedOf(cfgetospeed(&tio)) : 9600;
    }
    if (baud != paceBaud || out.empty()) {
      // A new burst (or a speed change) starts the line clock again.
      paceBaud = baud;
      paceStart = Clock::now();
      paceSent = 0;
    }
    int timeout = 50;
    std::size_t allowed = out.size();
    if (baud > 0 && !out.empty()) {
      const double elapsed = std::chrono::duration<double>(Clock::now() - paceStart).count();
      const long long due = static_cast<long long>(elapsed * baud / 10.0) + 1;
      allowed = static_cast<std::size_t>(std::max(0LL, std::min<long long>(due - paceSent, out.size())));
      timeout = allowed ? 0 : 1;
    } else if (!out.empty()) {
      timeout = 0;
    }
    pollfd p{master, POLLIN, 0};
    if (allowed) p.events |= POLLOUT;
    if (::poll(&p, 1, timeout) < 0) continue;
    if (p.revents & POLLIN) {
      const ssize_t n = ::read(master, buf, sizeof buf);
      for (ssize_t i = 0; i < n; ++i) radio.Feed(buf[i], out);
    }
    if (allowed && (p.revents & POLLOUT)) {
      const std::size_t n = std::min(allowed, sizeof buf);
      for (std::size_t i = 0; i < n; ++i) buf[i] = out[i];
      const ssize_t w = ::write(master, buf, n);
      if (w > 0) {
        out.erase(out.begin(), out.begin() + w);
        paceSent += w;
      }
    }
  }
  if (!o.link.empty()) ::unlink(o.link.c_str());
  ::close(slave);
  ::close(master);
  return 0;
}
