// Writing clone files: the exact layout, the round trip, and the atomic
// replacement of the target.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "file/CloneFile.h"
#include "file/CloneFileSupport.h"
#include "file/CloneOpen.h"

namespace twk {
namespace {

namespace fs = std::filesystem;
using Lines = std::vector<std::string>;

class CloneFileWrite : public ::testing::Test {
 protected:
  test::ResourceStores stores;
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  EepromImage image = test::PatternImage();

  CloneFile Writer() {
    CloneFile file(&dialogs);
    file.Attach(image);
    file.SetModelCode(0x2989);
    file.SetSubCode(1);
    file.SetMapRevision(1);
    file.SetComment("My boat");
    return file;
  }
  std::vector<fs::path> Entries() const {
    std::vector<fs::path> out;
    for (const auto& e : fs::directory_iterator(dir.path())) out.push_back(e.path().filename());
    return out;
  }
};

TEST_F(CloneFileWrite, LayoutOfAFullFile) {
  const auto path = dir / "out.cln";
  ASSERT_EQ(Writer().Write(path.string(), CloneRanges()), kCloneOk);
  Lines expected = {"29890001", "#Comment=My boat", "#MapRev=1"};
  for (int a = 0; a <= 0xFFF; a += 16) expected.push_back(test::DataLine(image, a, 16));
  EXPECT_EQ(test::ReadFileBytes(path), test::JoinLines(expected, "\r\n"));
  EXPECT_TRUE(dialogs.shown.empty());
}

TEST_F(CloneFileWrite, LinesBreakOnMultiplesOfSixteenWithinEachRange) {
  CloneFile file = Writer();
  file.SetMode(0);
  const auto path = dir / "part.cln";
  const AddressRanges ranges = {{0x005, 0x024}, {0x100, 0x100}, {1, 0}, {0x200, 0x2FF}};
  ASSERT_EQ(file.Write(path.string(), ranges), kCloneOk);
  const Lines expected = {"29890001", "#My boat", test::DataLine(image, 0x005, 11),
                          test::DataLine(image, 0x010, 16), test::DataLine(image, 0x020, 5),
                          test::DataLine(image, 0x100, 1)};
  EXPECT_EQ(test::ReadFileBytes(path), test::JoinLines(expected, "\r\n"));
}

TEST_F(CloneFileWrite, WhatIsWrittenReadsBackIdentically) {
  const auto path = dir / "round.cln";
  ASSERT_EQ(Writer().Write(path.string(), CloneRanges()), kCloneOk);
  EepromImage back(mem::kImageSize);
  CloneFile reader(&dialogs);
  reader.Attach(back);
  reader.SetModelCode(0x2989);
  reader.SetSubCode(1);
  reader.SetMapRevisionCheck([](int r) { return r == 1; });
  ASSERT_EQ(reader.Read(path.string(), CloneRanges()), kCloneOk);
  for (int a = 0; a <= 0xFFF; ++a) ASSERT_EQ(back.GetByte(a), image.GetByte(a)) << a;
}

TEST_F(CloneFileWrite, AWriteFailingHalfWayLeavesTheOldFileAndNoTemporary) {
  const auto path = dir / "keep.cln";
  const std::string old = "the user's previous file\r\n";
  test::WriteFileBytes(path, old);
  ::chmod(path.c_str(), 0640);
  for (std::size_t failAt : {std::size_t{0}, std::size_t{5000}}) {
    dialogs.shown.clear();
    CloneFile file = Writer();
    file.SetWriteFault([failAt](std::size_t offset, std::size_t) { return offset < failAt; });
    EXPECT_EQ(file.Write(path.string(), CloneRanges()), kCloneFileAccess) << failAt;
    EXPECT_EQ(test::ReadFileBytes(path), old);
    EXPECT_EQ(Entries(), std::vector<fs::path>{"keep.cln"});
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_NE(dialogs.shown[0].text.find(MainText().GetFirstLine("GI_Mess_FileErr_FileAccess")),
              std::string::npos);
  }
  // A successful write replaces the file and keeps its permissions.
  ASSERT_EQ(Writer().Write(path.string(), CloneRanges()), kCloneOk);
  EXPECT_NE(test::ReadFileBytes(path), old);
  struct stat st {};
  ASSERT_EQ(::stat(path.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);
  EXPECT_EQ(Entries(), std::vector<fs::path>{"keep.cln"});
}

TEST_F(CloneFileWrite, AMissingFolderCannotBeOpened) {
  const auto path = dir / "no" / "such.cln";
  EXPECT_EQ(Writer().Write(path.string(), CloneRanges()), kCloneFileOpen);
  EXPECT_FALSE(fs::exists(path));
  EXPECT_EQ(dialogs.shown.size(), 1u);
}

TEST_F(CloneFileWrite, ALineEndInTheCommentCannotBreakTheFile) {
  CloneFile file = Writer();
  file.SetComment("two\nlines\r");
  const auto path = dir / "c.cln";
  ASSERT_EQ(file.Write(path.string(), CloneRanges()), kCloneOk);
  EXPECT_EQ(test::ReadFileBytes(path).substr(10, 22), "#Comment=two lines \r\n#");
}

TEST_F(CloneFileWrite, SavingOverALinkReplacesTheFileItPointsTo) {
  const auto real = dir / "real.cln", link = dir / "link.cln";
  test::WriteFileBytes(real, "old\r\n");
  fs::create_symlink(real, link);
  ASSERT_EQ(Writer().Write(link.string(), CloneRanges()), kCloneOk);
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(test::ReadFileBytes(real).substr(0, 8), "29890001");
}

TEST_F(CloneFileWrite, AReadOnlyFileIsRefused) {
  if (::geteuid() == 0) GTEST_SKIP() << "root may write any file";
  const auto path = dir / "ro.cln";
  test::WriteFileBytes(path, "old\r\n");
  ::chmod(path.c_str(), 0444);
  EXPECT_EQ(Writer().Write(path.string(), CloneRanges()), kCloneFileOpen);
  EXPECT_EQ(test::ReadFileBytes(path), "old\r\n");
}

TEST_F(CloneFileWrite, OnlyARegularFileIsReplaced) {
  const auto folder = dir / "folder.cln", fifo = dir / "pipe.cln";
  fs::create_directory(folder);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  for (const std::string& path : {folder.string(), fifo.string(), std::string()}) {
    dialogs.shown.clear();
    EXPECT_EQ(Writer().Write(path, CloneRanges()), kCloneFileOpen) << path;
    EXPECT_EQ(dialogs.shown.size(), 1u);
  }
  EXPECT_TRUE(fs::is_directory(folder));
  EXPECT_TRUE(fs::is_fifo(fifo));
  EXPECT_EQ(Entries().size(), 2u);  // no temporary file left beside them
}

TEST_F(CloneFileWrite, WritingDoesNotChangeTheImage) {
  const EepromImage before(image);
  Writer().Write((dir / "x.cln").string(), CloneRanges());
  EXPECT_TRUE(image.Equals(before));
}

}  // namespace
}  // namespace twk
