// The clone engine under a manual clock, against a scripted radio behind a
// fake serial device.
#include <algorithm>
#include <cstdio>
#include <string>

#include "FakeSerial.h"
#include "clone/cmcCloneEngine.h"
#include "common/TestSupport.h"

namespace twk {
namespace {

using test::Bytes;
using test::FakeLine;

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }

Bytes Frame(int cmd, const Bytes& body) {
  Bytes f = {0xFE, 0xFE, 0xEF, 0xEE, static_cast<std::uint8_t>(cmd)};
  f.insert(f.end(), body.begin(), body.end());
  f.push_back(0xFD);
  return f;
}

Bytes IdReply() {
  Bytes b = {0x29, 0x89, 0x00, 0x01, 22, 0x12, 1};
  for (int i = 0; i < 19; ++i) b.push_back('A');
  return Frame(0xE1, b);
}

Bytes Record(int address, const Bytes& data) {
  return Frame(0xE4, Text(RecordText(address, data.data(), static_cast<int>(data.size()))));
}

Bytes End(int count) {
  char c[3];
  std::snprintf(c, sizeof c, "%02X", count % 256);
  return Frame(0xE5, Text(std::string("Zelt Inc.") + c));
}

std::uint8_t Pattern(int a) { return static_cast<std::uint8_t>(a * 3 + 1); }

// The radio's whole memory as records, with a hook to change single frames,
// followed by the E5 frame with `count` (none when negative).
Bytes MemoryDump(const std::function<void(int address, Bytes& frame)>& edit = nullptr,
                 int count = 256) {
  Bytes all;
  for (int a = 0; a < 0x1000; a += 16) {
    Bytes d(16);
    for (int i = 0; i < 16; ++i) d[i] = Pattern(a + i);
    Bytes f = Record(a, d);
    if (edit) edit(a, f);
    all.insert(all.end(), f.begin(), f.end());
  }
  if (count >= 0) {
    const Bytes e = End(count);
    all.insert(all.end(), e.begin(), e.end());
  }
  return all;
}

struct Rig {
  ManualClock clock;
  FakeLine line;
  cmcCloneEngine engine{clock, test::MakeFake(line)};
  bool done = false;
  cmcCloneResult result;
  int writeRecords = 0;
  Bytes writeEnd;
  std::function<Bytes(const Bytes&)> onRead;  // answer to E2
  Bytes e6 = Frame(0xE6, {0x00});

  Rig() {
    ApplyStandardPreset(engine, 3, 0x2989);
    engine.SetCodes(0x2989, 0);
    engine.SetImageSize(EepromImage::kModelSize);
    line.radio = [this](const Bytes& f) -> Bytes {
      if (f.size() < 4) return {};
      switch (f[3]) {
        case 0xE0: return IdReply();
        case 0xE2: return onRead ? onRead(f) : MemoryDump();
        case 0xE4: ++writeRecords; return {};
        case 0xE5: writeEnd = f; return e6;
        default: return {};
      }
    };
  }
  cmcCloneEngine::Completion Done() {
    return [this](cmcCloneResult& r) {
      result.code = r.code;
      result.mode = r.mode;
      result.firstCode = r.firstCode;
      result.secondCode = r.secondCode;
      result.idBlock = r.idBlock;
      result.image.Assign(r.image);
      done = true;
    };
  }
  bool Run(std::int64_t limit = 20000) { return clock.RunUntil([&] { return done; }, limit); }
  void ExpectIdleAndClosed() {
    EXPECT_FALSE(engine.Busy());
    EXPECT_FALSE(line.isOpen);
    EXPECT_FALSE(engine.TickRunning());
    EXPECT_EQ(engine.EchoOutstanding(), 0);
    EXPECT_EQ(clock.RunningTimers(), 0);
  }
};

TEST(CloneEngine, IdentificationPutsTheSpeedChangeAndE0OnTheWire) {
  Rig rig;
  ASSERT_TRUE(rig.engine.StartIdentification(rig.Done()));
  EXPECT_FALSE(rig.engine.StartIdentification(rig.Done()));  // busy
  ASSERT_TRUE(rig.Run());
  EXPECT_EQ(rig.result.code, 0);
  EXPECT_EQ(rig.result.firstCode, 0x2989);
  EXPECT_EQ(rig.result.secondCode, 0x0001);
  ASSERT_EQ(rig.result.idBlock.size(), 22u);
  EXPECT_EQ(rig.result.idBlock[0], 22);
  // 4800 baud for the speed change, then 9600 for the transfer.
  ASSERT_EQ(rig.line.openLines.size(), 2u);
  EXPECT_EQ(rig.line.openLines[0].baud, 4800);
  EXPECT_EQ(rig.line.openLines[1].baud, 9600);
  EXPECT_EQ(rig.line.openPaths[0], "/dev/ttyS2");
  Bytes expected(20, 0xFE);
  for (int b : {0xEE, 0xEF, 0xE8, 0x29, 0x89, 0x00, 0x00, 0x01, 0x30, 0x43, 0xFD})
    expected.push_back(static_cast<std::uint8_t>(b));
  expected.insert(expected.end(), 12, 0xFE);
  for (int b : {0xFE, 0xFE, 0xEE, 0xEF, 0xE0, 0x29, 0x89, 0x00, 0x00, 0xFD})
    expected.push_back(static_cast<std::uint8_t>(b));
  EXPECT_EQ(rig.line.sent, expected);
  rig.ExpectIdleAndClosed();
}

TEST(CloneEngine, ReadFillsTheResultImageFromTheRecords) {
  Rig rig;
  EepromImage document(EepromImage::kModelSize);
  document.Fill(0x55);
  ASSERT_TRUE(rig.engine.StartRead(ReadRangeList(), rig.Done()));
  ASSERT_TRUE(rig.Run());
  ASSERT_EQ(rig.result.code, 0);
  EXPECT_EQ(rig.engine.Records(), 256);
  EXPECT_EQ(rig.engine.DataBytes(), 4096);
  for (int a = 0; a < 0x1000; ++a) ASSERT_EQ(rig.result.image.GetByte(a), Pattern(a)) << a;
  EXPECT_EQ(rig.result.image.GetByte(0x1000), 0);
  rig.ExpectIdleAndClosed();
}

// Each case changes the radio's read answer; the result code must follow.
TEST(CloneEngine, ReadFailuresEndWithTheirResultCode) {
  struct Case {
    const char* name;
    std::function<Bytes()> answer;
    int code;
  } cases[] = {
      {"lower-case hex",
       [] {
         return MemoryDump([](int a, Bytes& f) {
           if (a == 0x0A0)
             for (auto& b : f) b = static_cast<std::uint8_t>(std::tolower(b));
         });
       },
       6},
      {"checksum off by one",
       [] {
         return MemoryDump([](int a, Bytes& f) {
           if (a == 0x050) f[f.size() - 2] = f[f.size() - 2] == '0' ? '1' : '0';
         });
       },
       6},
      {"odd record text",
       [] {
         return MemoryDump([](int a, Bytes& f) {
           if (a == 0x020) f.insert(f.end() - 1, '0');
         });
       },
       6},
      {"wrong header",
       [] {
         return MemoryDump([](int a, Bytes& f) {
           if (a == 0x030) f[2] = 0xEE;
         });
       },
       6},
      {"E5 count one too high",
       [] {
         return MemoryDump(nullptr, 257);
       },
       7},
      {"wrong maker name",
       [] {
         Bytes b = MemoryDump(nullptr, -1);
         Bytes e = Frame(0xE5, Text("Zelt Inc,00"));
         b.insert(b.end(), e.begin(), e.end());
         return b;
       },
       6},
      {"a block skipped",
       [] {
         return MemoryDump(
             [](int a, Bytes& f) {
               if (a == 0x070) f.clear();
             },
             255);
       },
       8},
      {"record past the image",
       [] {
         return MemoryDump([](int a, Bytes& f) {
           if (a == 0xFF0) f = Record(0xFF8, Bytes(16, 1));
         });
       },
       9},
      {"record outside the range",
       [] {
         Bytes b = MemoryDump(nullptr, -1);
         Bytes r = Record(0x1000, {7});
         Bytes e = End(257);
         b.insert(b.end(), r.begin(), r.end());
         b.insert(b.end(), e.begin(), e.end());
         return b;
       },
       9},
      {"522-byte frame",
       [] {
         Bytes b = {0xFE, 0xEF, 0xEE, 0xE4};
         b.insert(b.end(), 518, '0');
         return b;
       },
       6},
      {"no answer", [] { return Bytes{}; }, 5},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    const Bytes answer = c.answer();
    rig.onRead = [&](const Bytes&) { return answer; };
    ASSERT_TRUE(rig.engine.StartRead(ReadRangeList(), rig.Done()));
    ASSERT_TRUE(rig.Run());
    EXPECT_EQ(rig.result.code, c.code);
    rig.ExpectIdleAndClosed();
    // Ready again: the next transfer runs normally.
    rig.done = false;
    rig.onRead = nullptr;
    ASSERT_TRUE(rig.engine.StartRead(ReadRangeList(), rig.Done()));
    ASSERT_TRUE(rig.Run());
    EXPECT_EQ(rig.result.code, 0);
  }
}

TEST(CloneEngine, ReplyFramesHoldAtMost521Bytes) {
  for (int extra : {0, 1}) {
    SCOPED_TRACE(extra);
    Rig rig;
    rig.engine.SetTransferPort(3, "9600,N,8,1");
    rig.line.radio = [&](const Bytes& f) -> Bytes {
      if (f[3] != 0xE0) return {};
      // FE EF EE E1 + 4 code bytes + block: 521 bytes kept, or one more.
      Bytes body = {0x29, 0x89, 0x00, 0x01};
      body.insert(body.end(), 513 + extra, 0x11);
      Bytes frame = {0xFE, 0xEF, 0xEE, 0xE1};
      frame.insert(frame.end(), body.begin(), body.end());
      frame.push_back(0xFD);
      return frame;
    };
    ASSERT_TRUE(rig.engine.StartIdentification(rig.Done()));
    ASSERT_TRUE(rig.Run());
    EXPECT_EQ(rig.result.code, extra ? 6 : 0);
    if (!extra) {
      EXPECT_EQ(rig.result.idBlock.size(), 513u);
    }
  }
}

TEST(CloneEngine, IdentificationChecksTheReplyFrame) {
  struct Case {
    const char* name;
    Bytes reply;
    int code;
  } cases[] = {
      {"codes not BCD", Frame(0xE1, {0x2A, 0x89, 0x00, 0x01, 1}), 6},
      {"too short", Frame(0xE1, {0x29, 0x89, 0x00}), 6},
      {"wrong command", Frame(0xE3, {0x29, 0x89, 0x00, 0x01}), 6},
      {"codes only", Frame(0xE1, {0x29, 0x89, 0x00, 0x02}), 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    Rig rig;
    rig.line.radio = [&](const Bytes& f) { return f[3] == 0xE0 ? c.reply : Bytes{}; };
    ASSERT_TRUE(rig.engine.StartIdentification(rig.Done()));
    ASSERT_TRUE(rig.Run());
    EXPECT_EQ(rig.result.code, c.code);
    if (c.code) {
      EXPECT_TRUE(rig.result.idBlock.empty());
    }
  }
}

TEST(CloneEngine, StepDeadlinesGiveEchoAndNoAnswerCodes) {
  {
    SCOPED_TRACE("no echo: code 4 one second after the speed change");
    Rig rig;
    rig.line.echo = false;
    ASSERT_TRUE(rig.engine.StartIdentification(rig.Done()));
    ASSERT_TRUE(rig.Run());
    EXPECT_EQ(rig.result.code, 4);
    EXPECT_GE(rig.clock.Now(), 1000);
    EXPECT_LT(rig.clock.Now(), 1100);
    EXPECT_EQ(rig.line.opens, 1);  // never reached the 9600-baud open
    rig.ExpectIdleAndClosed();
  }
  {
    SCOPED_TRACE("an echo byte changed: code 4 at once");
    Rig rig;
    rig.line.echo = false;
    rig.line.radio = [&](const Bytes&) { return Bytes{0xFE, 0xFE, 0xEE}; };  // "echo" of E8 gone wrong
    ASSERT_TRUE(rig.engine.StartIdentification(rig.Done()));
    ASSERT_TRUE(rig.Run());
    EXPECT_EQ(rig.result.code, 4);
    EXPECT_LT(rig.clock.Now(), 200);
  }
  {
    SCOPED_TRACE("no answer to E0: code 5 one second after its echo");
    Rig rig;
    rig.line.radio = nullptr;
    ASSERT_TRUE(rig.engine.StartIdentification(rig.Done()));
    ASSERT_TRUE(rig.Run());
    EXPECT_EQ(rig.result.code, 5);
    EXPECT_GE(rig.clock.Now(), 1000);
    EXPECT_LT(rig.clock.Now(), 1200);
  }
  {
    SCOPED_TRACE("port does not open: code 2");
    Rig rig;
    rig.line.openOk = false;
    ASSERT_TRUE(rig.engine.StartIdentification(rig.Done()));
    ASSERT_TRUE(rig.Run());
    EXPECT_EQ(rig.result.code, 2);
    rig.ExpectIdleAndClosed();
  }
}

TEST(CloneEngine, BytesLeftFromTheSpeedChangeAreDroppedWithTheReopen) {
  Rig rig;
  auto radio = rig.line.radio;
  // Line noise right behind the E8 echo, read together with it at 4800 baud.
  rig.line.radio = [&](const Bytes& f) { return f[3] == 0xE8 ? Bytes{0x00, 0x80} : radio(f); };
  ASSERT_TRUE(rig.engine.StartIdentification(rig.Done()));
  ASSERT_TRUE(rig.Run());
  EXPECT_EQ(rig.result.code, 0);
}

TEST(CloneEngine, WriteSendsTheRangeListAndEndsWithTheE6Status) {
  struct Case {
    bool maker;
    int records;
    const char* count;
  } cases[] = {{false, 255, "FF"}, {true, 256, "00"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.maker);
    Rig rig;
    EepromImage image(EepromImage::kModelSize);
    for (int a = 0; a < image.Size(); ++a) image.SetByte(a, Pattern(a));
    ASSERT_TRUE(rig.engine.StartWrite(image, WriteRangeList(c.maker), rig.Done()));
    ASSERT_TRUE(rig.Run());
    EXPECT_EQ(rig.result.code, 0);
    EXPECT_EQ(rig.writeRecords, c.records);
    EXPECT_EQ(rig.engine.DataBytes(), c.maker ? 4096 : 0xFEC);
    ASSERT_EQ(rig.writeEnd.size(), 15u);
    EXPECT_EQ(std::string(rig.writeEnd.begin() + 4, rig.writeEnd.end()),
              std::string("Zelt Inc.") + c.count);
    // The whole wire, byte by byte: speed change, E3, the records, E5.
    Bytes wire(20, 0xFE);
    for (int b : {0xEE, 0xEF, 0xE8, 0x29, 0x89, 0x00, 0x00, 0x01, 0x30, 0x43, 0xFD})
      wire.push_back(static_cast<std::uint8_t>(b));
    wire.insert(wire.end(), 12, 0xFE);
    for (int b : {0xFE, 0xFE, 0xEE, 0xEF, 0xE3, 0x29, 0x89, 0x00, 0x00, 0xFD})
      wire.push_back(static_cast<std::uint8_t>(b));
    const int last = c.maker ? 0xFFF : 0xFEB;
    for (int a = 0; a <= last; a += 16) {
      const int n = std::min(16, last - a + 1);
      char text[16];
      std::snprintf(text, sizeof text, "%04X%02X", a, n);
      int sum = (a >> 8) + (a & 0xFF) + n;
      std::string record = text;
      for (int i = 0; i < n; ++i) {
        std::snprintf(text, sizeof text, "%02X", Pattern(a + i));
        record += text;
        sum += Pattern(a + i);
      }
      std::snprintf(text, sizeof text, "%02X", (256 - sum % 256) % 256);
      record += text;
      for (int b : {0xFE, 0xFE, 0xEE, 0xEF, 0xE4}) wire.push_back(static_cast<std::uint8_t>(b));
      wire.insert(wire.end(), record.begin(), record.end());
      wire.push_back(0xFD);
    }
    for (int b : {0xFE, 0xFE, 0xEE, 0xEF, 0xE5}) wire.push_back(static_cast<std::uint8_t>(b));
    const std::string end = std::string("Zelt Inc.") + c.count;
    wire.insert(wire.end(), end.begin(), end.end());
    wire.push_back(0xFD);
    EXPECT_EQ(rig.line.sent, wire);
    rig.ExpectIdleAndClosed();
  }
}

TEST(CloneEngine, WriteResultDeadlineAndStatus) {
  {
    SCOPED_TRACE("status 01: code 10");
    Rig rig;
    rig.e6 = Frame(0xE6, {0x01});
    EepromImage image(EepromImage::kModelSize);
    ASSERT_TRUE(rig.engine.StartWrite(image, WriteRangeList(false), rig.Done()));
    ASSERT_TRUE(rig.Run());
    EXPECT_EQ(rig.result.code, 10);
  }
  {
    SCOPED_TRACE("no E6 within 2 s: code 5");
    Rig rig;
    rig.e6.clear();
    std::int64_t endSent = -1;
    auto radio = rig.line.radio;
    rig.line.radio = [&](const Bytes& f) {
      if (f[3] == 0xE5) endSent = rig.clock.Now();
      return radio(f);
    };
    EepromImage image(EepromImage::kModelSize);
    ASSERT_TRUE(rig.engine.StartWrite(image, WriteRangeList(false), rig.Done()));
    ASSERT_TRUE(rig.Run());
    EXPECT_EQ(rig.result.code, 5);
    ASSERT_GE(endSent, 0);
    const std::int64_t waited = rig.clock.Now() - endSent;
    EXPECT_GE(waited, 2000);
    EXPECT_LT(waited, 2100);
    rig.ExpectIdleAndClosed();
  }
}

TEST(CloneEngine, DataRecordsStreamWithAtMost128BytesOfEchoOutstanding) {
  Rig rig;
  EepromImage image(EepromImage::kModelSize);
  ASSERT_TRUE(rig.engine.StartWrite(image, WriteRangeList(true), rig.Done()));
  // Let the speed change, the reopen and E3 go through with a prompt echo.
  ASSERT_TRUE(rig.clock.RunUntil([&] { return rig.engine.CurrentState() == cmcCloneEngine::kSendData; }, 5000));
  rig.line.holdEcho = true;
  const std::size_t before = rig.line.sent.size();
  rig.clock.Advance(10);  // the first data step
  const std::size_t firstStep = rig.line.sent.size() - before;
  ASSERT_GT(firstStep, 128u);
  rig.clock.Advance(200);  // echo held: no step may send more
  EXPECT_EQ(rig.line.sent.size() - before, firstStep);
  // Release echo until at most 128 bytes are outstanding: sending resumes.
  rig.line.Release(static_cast<int>(firstStep) - 129);
  rig.clock.Advance(30);
  EXPECT_EQ(rig.line.sent.size() - before, firstStep);  // 129 outstanding: still held
  rig.line.Release(1);
  rig.clock.Advance(10);
  EXPECT_GT(rig.line.sent.size() - before, firstStep);
  rig.line.holdEcho = false;
  rig.line.Release(100000);
  ASSERT_TRUE(rig.Run());
  EXPECT_EQ(rig.result.code, 0);
}

TEST(CloneEngine, RecordsStagedWhileThePortIsBusyGoOutOnceItDrains) {
  Rig rig;
  EepromImage image(EepromImage::kModelSize);
  const cmcRangeList oneBlock{{0x000, 0x00F}, {1, 0}};
  ASSERT_TRUE(rig.engine.StartWrite(image, oneBlock, rig.Done()));
  ASSERT_TRUE(rig.clock.RunUntil([&] { return rig.engine.CurrentState() == cmcCloneEngine::kSendData; }, 5000));
  rig.line.outq = 1000;  // the driver is busy: the record is only staged
  rig.clock.Advance(50);
  EXPECT_EQ(rig.writeRecords, 0);
  rig.line.outq = 0;
  ASSERT_TRUE(rig.Run());
  EXPECT_EQ(rig.result.code, 0);
  EXPECT_EQ(rig.writeRecords, 1);
  ASSERT_EQ(rig.writeEnd.size(), 15u);
  EXPECT_EQ(std::string(rig.writeEnd.begin() + 4, rig.writeEnd.end()), "Zelt Inc.01");
}

TEST(CloneEngine, ShortPortWriteEndsWithCode17) {
  Rig rig;
  rig.line.shortWriteAt = 0;
  ASSERT_TRUE(rig.engine.StartIdentification(rig.Done()));
  ASSERT_TRUE(rig.Run());
  EXPECT_EQ(rig.result.code, 17);
  rig.ExpectIdleAndClosed();
}

TEST(CloneEngine, HexTextAndRecordText) {
  EXPECT_EQ(HexTextToBytes("FEFE ee EF E0 x 2"), (Bytes{0xFE, 0xFE, 0xEE, 0xEF, 0xE0, 0x20}));
  const Bytes zero(16, 0);
  EXPECT_EQ(RecordText(0x0010, zero.data(), 16), "001010" + std::string(32, '0') + "E0");
  const Bytes abc = {0x41, 0x42, 0x43};
  EXPECT_EQ(RecordText(0x0123, abc.data(), 3), "012303414243" "13");
  EXPECT_EQ(RangeListBytes(WriteRangeList(false)), 0xFEC);
  EXPECT_EQ(RangeListBytes(ReadRangeList()), 0x1000);
}

}  // namespace
}  // namespace twk
