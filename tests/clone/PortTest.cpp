#include "clone/cmcPort.h"
#include "common/TestSupport.h"
#include "FakeSerial.h"

namespace twk {
namespace {

using test::FakeLine;

TEST(cmcPort, OpenMapsTheNumberAndRefusesASecondOpen) {
  ManualClock clock;
  FakeLine line;
  cmcPort port(clock, test::MakeFake(line));
  ASSERT_TRUE(port.Open(5, "4800,N,8,1"));
  EXPECT_EQ(line.openPaths.back(), "/dev/ttyUSB0");
  EXPECT_EQ(port.WriteMultiplier(), 20);
  EXPECT_FALSE(port.Open(6, "9600,N,8,1"));
  EXPECT_TRUE(port.IsOpen());
  EXPECT_EQ(line.opens, 1);
  port.Close();
  ASSERT_TRUE(port.Open(1, "9600,N,8,1", "/dev/pts/9"));
  EXPECT_EQ(line.openPaths.back(), "/dev/pts/9");
  EXPECT_EQ(port.WriteMultiplier(), 10);
  port.Close();
  port.Close();  // harmless
  EXPECT_FALSE(port.Open(300, "9600,N,8,1"));  // no device for that number
  line.openOk = false;
  EXPECT_FALSE(port.Open(2, "9600,N,8,1"));
  EXPECT_FALSE(port.IsOpen());
}

TEST(cmcPort, PumpHandsTheDriver1024ByteChunksOnlyWhenItsQueueIsEmpty) {
  ManualClock clock;
  FakeLine line;
  line.echo = false;
  cmcPort port(clock, test::MakeFake(line));
  ASSERT_TRUE(port.Open(1, "9600,N,8,1"));
  line.outqPerWrite = 1;  // every write fills the driver queue
  std::vector<std::uint8_t> data(3000);
  for (int i = 0; i < 3000; ++i) data[i] = static_cast<std::uint8_t>(i);
  port.Write(data.data(), 3000);
  ASSERT_EQ(line.chunks, (std::vector<int>{1024}));  // the first run is immediate
  EXPECT_EQ(port.Pending(), 3000);                    // 1024 in the driver + 1976 buffered
  clock.Advance(100);
  EXPECT_EQ(line.chunks.size(), 1u);  // the queue is busy: nothing more
  line.outq = 0;
  clock.Advance(10);
  ASSERT_EQ(line.chunks, (std::vector<int>{1024, 1024}));
  line.outq = 0;
  clock.Advance(10);
  ASSERT_EQ(line.chunks, (std::vector<int>{1024, 1024, 952}));
  line.outq = 0;
  EXPECT_EQ(port.Pending(), 0);
  EXPECT_EQ(line.sent, data);
  clock.Advance(50);
  EXPECT_EQ(line.chunks.size(), 3u);
  EXPECT_EQ(clock.RunningTimers(), 0);  // the pump stops when nothing is queued
}

TEST(cmcPort, ShortWriteSetsWriteFailedUntilClose) {
  ManualClock clock;
  FakeLine line;
  line.echo = false;
  line.shortWriteAt = 0;
  cmcPort port(clock, test::MakeFake(line));
  ASSERT_TRUE(port.Open(1, "9600,N,8,1"));
  const std::uint8_t bytes[10] = {};
  port.Write(bytes, 10);
  EXPECT_TRUE(port.WriteFailed());
  EXPECT_EQ(port.Buffered(), 10);  // the bytes stay queued
  clock.Advance(50);
  EXPECT_EQ(line.chunks.size(), 1u);  // nothing retried
  // A later write in the same step must not start the pump again: it would
  // hand the driver the half-written bytes a second time.
  const std::uint8_t more[3] = {1, 2, 3};
  port.Write(more, 3);
  clock.Advance(50);
  EXPECT_EQ(line.chunks.size(), 1u);
  EXPECT_EQ(line.sent.size(), 5u);
  port.Close();
  EXPECT_FALSE(port.WriteFailed());
  EXPECT_EQ(port.Pending(), 0);
}

TEST(cmcPort, ReadsOnlyWhatHasArrivedAndNothingWhenClosed) {
  ManualClock clock;
  FakeLine line;
  cmcPort port(clock, test::MakeFake(line));
  std::uint8_t buf[8];
  EXPECT_EQ(port.Read(buf, 8), 0);
  ASSERT_TRUE(port.Open(1, "9600,N,8,1"));
  line.input = {1, 2, 3};
  EXPECT_EQ(port.InputWaiting(), 3);
  EXPECT_EQ(port.Read(buf, 2), 2);
  EXPECT_EQ(port.Read(buf, 8), 1);
  EXPECT_EQ(buf[0], 3);
  EXPECT_EQ(port.Read(buf, 8), 0);
}

}  // namespace
}  // namespace twk
