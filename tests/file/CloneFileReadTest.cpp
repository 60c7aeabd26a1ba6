// Reading clone files: every check, its code, and the image left as it was.
#include <gtest/gtest.h>

#include <functional>

#include "file/CloneFile.h"
#include "file/CloneFileSupport.h"
#include "file/CloneOpen.h"

namespace twk {
namespace {

using test::CloneLines;
using test::DataLine;
using Lines = std::vector<std::string>;

struct ReadCase {
  const char* name;
  std::function<void(Lines&, const EepromImage&)> edit;  // applied to a valid file
  int code;
};

const ReadCase kReadCases[] = {
    {"valid", [](Lines&, const EepromImage&) {}, 0},
    {"header with a hex letter", [](Lines& l, const EepromImage&) { l[0] = "2989000A"; }, 6},
    {"header of 7 digits", [](Lines& l, const EepromImage&) { l[0] = "2989000"; }, 6},
    {"header of 9 digits", [](Lines& l, const EepromImage&) { l[0] = "298900010"; }, 6},
    {"header with a space", [](Lines& l, const EepromImage&) { l[0] = "2989 001"; }, 6},
    {"other model", [](Lines& l, const EepromImage&) { l[0] = "29880001"; }, 3},
    {"other sub code", [](Lines& l, const EepromImage&) { l[0] = "29890002"; }, 4},
    {"no map revision line", [](Lines& l, const EepromImage&) { l.erase(l.begin() + 2); }, 5},
    {"map revision 2", [](Lines& l, const EepromImage&) { l[2] = "#MapRev=2"; }, 5},
    {"map revision after the data", [](Lines& l, const EepromImage&) {
       l.push_back(l[2]);
       l.erase(l.begin() + 2);
     }, 5},
    {"blank line in the body", [](Lines& l, const EepromImage&) { l.insert(l.begin() + 10, ""); }, 6},
    {"line of 6 digits", [](Lines& l, const EepromImage&) { l.push_back("000000"); }, 6},
    {"odd number of byte digits", [](Lines& l, const EepromImage&) { l[5].pop_back(); }, 6},
    {"count not matching the digits", [](Lines& l, const EepromImage&) { l[5][5] = 'F'; }, 6},
    {"non-hex character", [](Lines& l, const EepromImage&) { l[7][20] = 'G'; }, 6},
    {"line past 767 characters", [](Lines& l, const EepromImage&) { l.push_back(std::string(800, '0')); }, 6},
    {"16 bytes from 0xFF8 pass the image end",
     [](Lines& l, const EepromImage& im) { l.push_back(DataLine(im, 0xFF0, 16).replace(0, 4, "0FF8")); }, 8},
    {"address 0x1000 is outside the cloned range",
     [](Lines& l, const EepromImage&) { l.push_back("10000100"); }, 8},
    {"one line of the range missing", [](Lines& l, const EepromImage&) { l.erase(l.begin() + 100); }, 7},
    {"one byte missing", [](Lines& l, const EepromImage& im) { l[3] = DataLine(im, 0, 15); }, 7},
    {"unaligned, unsorted, long and overlapping lines",
     [](Lines& l, const EepromImage& im) {
       l.resize(3);
       l.push_back(DataLine(im, 0xF01, 255));
       l.push_back(DataLine(im, 0x000, 255));
       for (int a = 0xFF; a < 0xF01; a += 100) l.push_back(DataLine(im, a, std::min(100, 0xF01 - a)));
       l.push_back("0FFF0100");  // overwritten by the next line
       l.push_back(DataLine(im, 0xFFF, 1));
     }, 0},
    {"lower-case digits", [](Lines& l, const EepromImage&) {
       for (std::size_t i = 3; i < l.size(); ++i)
         for (char& c : l[i]) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
     }, 0},
    {"long comment line", [](Lines& l, const EepromImage&) { l[1] = "#" + std::string(2000, 'c'); }, 0},
    {"other comment lines anywhere", [](Lines& l, const EepromImage&) {
       l.insert(l.begin() + 50, "# a note");
       l.push_back("#");
     }, 0},
};

class CloneFileRead : public ::testing::Test {
 protected:
  test::ResourceStores stores;
  test::TempDir dir;
  test::ScriptedDialogs dialogs;
  EepromImage source = test::PatternImage();

  std::string Put(const std::string& bytes) {
    const auto path = dir / "in.cln";
    test::WriteFileBytes(path, bytes);
    return path.string();
  }
  CloneFile Reader(EepromImage& image) {
    CloneFile file(&dialogs);
    file.Attach(image);
    file.SetModelCode(0x2989);
    file.SetSubCode(1);
    file.SetMapRevisionCheck([](int r) { return r == 1; });
    return file;
  }
};

TEST_F(CloneFileRead, EveryCaseGivesItsCodeAndAFailureLeavesTheImage) {
  for (const char* end : {"\r\n", "\n"}) {
    for (const ReadCase& c : kReadCases) {
      SCOPED_TRACE(std::string(c.name) + (end[0] == '\r' ? " (CR LF)" : " (LF)"));
      Lines lines = CloneLines(source);
      c.edit(lines, source);
      const std::string path = Put(test::JoinLines(lines, end));
      EepromImage image(mem::kImageSize);
      image.Fill(0x77);
      const EepromImage before(image);
      dialogs.shown.clear();
      CloneFile file = Reader(image);
      ASSERT_EQ(file.Read(path, CloneRanges()), c.code);
      if (c.code == 0) {
        for (int a = 0; a <= 0xFFF; ++a) ASSERT_EQ(image.GetByte(a), source.GetByte(a)) << a;
        EXPECT_EQ(image.GetByte(0x1000), 0x77);  // never loaded
        EXPECT_TRUE(dialogs.shown.empty());
      } else {
        EXPECT_TRUE(image.Equals(before));
        ASSERT_EQ(dialogs.shown.size(), 1u);
      }
    }
  }
}

TEST_F(CloneFileRead, TheMessageIsTheHeadlineAndTheCodesText) {
  EepromImage image(mem::kImageSize);
  CloneFile file = Reader(image);
  EXPECT_EQ(file.Read((dir / "missing.cln").string(), CloneRanges()), kCloneFileOpen);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  const auto& box = dialogs.shown[0];
  EXPECT_EQ(box.text, MainText().GetFirstLine("GI_Mess_FileErr_Headline") + "\n\n" +
                          MainText().GetSectionText("GI_Mess_FileErr_FileOpen"));
  EXPECT_EQ(box.caption, MainText().GetFirstLine("GI_Sys_AppTitle"));
  EXPECT_EQ(box.icon, MsgIcon::Warning);
  EXPECT_EQ(box.buttons, MsgButtons::Ok);
  // Every code has its own text; 0 and unknown codes show nothing.
  for (int code = 1; code <= 9; ++code) {
    EXPECT_FALSE(MainText().GetSectionText(CloneFileMessageKey(code)).empty()) << code;
    ShowCloneFileMessage(&dialogs, code);
  }
  EXPECT_EQ(dialogs.shown.size(), 10u);
  ShowCloneFileMessage(&dialogs, 0);
  ShowCloneFileMessage(&dialogs, 10);
  EXPECT_EQ(dialogs.shown.size(), 10u);
}

TEST_F(CloneFileRead, EmptyFileAndFolderAreRefused) {
  EepromImage image(mem::kImageSize);
  CloneFile file = Reader(image);
  EXPECT_EQ(file.Read(Put(""), CloneRanges()), kCloneFormat);
  EXPECT_EQ(file.Read(dir.path().string(), CloneRanges()), kCloneFileOpen);
  EXPECT_EQ(file.Read("/dev/zero", CloneRanges()), kCloneFileOpen);  // never ends
}

TEST_F(CloneFileRead, LastLineWithoutLineEndIsRead) {
  EepromImage image(mem::kImageSize);
  CloneFile file = Reader(image);
  std::string text = test::JoinLines(CloneLines(source), "\r\n");
  text.resize(text.size() - 2);
  EXPECT_EQ(file.Read(Put(text), CloneRanges()), kCloneOk);
  EXPECT_EQ(image.GetByte(0xFFF), source.GetByte(0xFFF));
}

TEST_F(CloneFileRead, ModelCheckCallbackDecides) {
  EepromImage image(mem::kImageSize);
  CloneFile file = Reader(image);
  std::uint32_t seenModel = 0, seenSub = 0;
  file.SetModelCheck([&](std::uint32_t m, std::uint32_t s, int& code) {
    seenModel = m;
    seenSub = s;
    code = kCloneNewer;
    return false;
  });
  Lines lines = CloneLines(source);
  lines[0] = "12340009";
  EXPECT_EQ(file.Read(Put(test::JoinLines(lines, "\n")), CloneRanges()), kCloneNewer);
  EXPECT_EQ(seenModel, 0x1234u);
  EXPECT_EQ(seenSub, 9u);
}

TEST_F(CloneFileRead, AModelCheckRefusingWithCodeZeroIsStillAFailure) {
  EepromImage image(mem::kImageSize);
  image.Fill(0x77);
  const EepromImage before(image);
  CloneFile file = Reader(image);
  file.SetModelCheck([](std::uint32_t, std::uint32_t, int& code) {
    code = kCloneOk;
    return false;
  });
  EXPECT_EQ(file.Read(Put(test::JoinLines(CloneLines(source), "\n")), CloneRanges()), kCloneModel);
  EXPECT_TRUE(image.Equals(before));
}

TEST_F(CloneFileRead, TheMapRevisionCheckedIsTheFilesOwn) {
  // An object that was set up for writing (revision 1) reads a file without
  // a "MapRev=" line: the check sees -1 and refuses.
  EepromImage image(mem::kImageSize);
  CloneFile file = Reader(image);
  file.SetMapRevision(1);
  Lines lines = CloneLines(source);
  lines.erase(lines.begin() + 2);
  EXPECT_EQ(file.Read(Put(test::JoinLines(lines, "\n")), CloneRanges()), kCloneMapRev);
  EXPECT_EQ(file.MapRevision(), -1);
}

TEST_F(CloneFileRead, WithoutRangesTheCallerChecksCoverage) {
  EepromImage image(mem::kImageSize);
  CloneFile file = Reader(image);
  Lines lines = CloneLines(source);
  lines.erase(lines.begin() + 4);
  EXPECT_EQ(file.Read(Put(test::JoinLines(lines, "\n")), nullptr), kCloneOk);
  EXPECT_EQ(file.CheckCoverage(&CloneRanges()), kCloneCoverage);
  EXPECT_EQ(file.CheckCoverage(nullptr), kCloneCoverage);
  const AddressRanges part = {{0x000, 0x00F}, {0x020, 0xFFF}, {1, 0}};
  EXPECT_EQ(file.CheckCoverage(&part), kCloneOk);
  const AddressRanges smaller = {{0x000, 0x00F}, {1, 0}};
  EXPECT_EQ(file.CheckCoverage(&smaller), kCloneData);
}

TEST_F(CloneFileRead, FileWithoutDataPassesReadButNotTheOpenSequence) {
  const std::string path = Put("29890001\r\n#Comment=\r\n#MapRev=1\r\n");
  EepromImage image(mem::kImageSize);
  CloneFile file = Reader(image);
  EXPECT_EQ(file.Read(path, nullptr), kCloneOk);
  dialogs.shown.clear();
  EepromImage working;
  EXPECT_EQ(LoadCloneFile(path, mem::kImageSize, working, &dialogs), kCloneData);
  ASSERT_EQ(dialogs.shown.size(), 1u);
  EXPECT_NE(dialogs.shown[0].text.find(MainText().GetFirstLine("GI_Mess_FileErr_Data")),
            std::string::npos);
}

TEST_F(CloneFileRead, OtherModesNeedNoMapRevision) {
  EepromImage image(mem::kImageSize);
  CloneFile file = Reader(image);
  file.SetMode(0);
  file.SetMapRevisionCheck(nullptr);
  Lines lines = CloneLines(source);
  lines.erase(lines.begin() + 2);
  EXPECT_EQ(file.Read(Put(test::JoinLines(lines, "\n")), CloneRanges()), kCloneOk);
}

TEST_F(CloneFileRead, MapRevisionIsTheLeadingNumber) {
  struct Case {
    const char* line;
    int revision;
  } cases[] = {{"#MapRev=1", 1}, {"#MapRev=12abc", 12}, {"#MapRev=-3", -3},
               {"#MapRev=", 0},  {"#MapRev= 1", 0},      {"#xMapRev=7", 0}};
  for (const Case& c : cases) {
    EepromImage image(mem::kImageSize);
    CloneFile file = Reader(image);
    int seen = -100;
    file.SetMapRevisionCheck([&](int r) {
      seen = r;
      return true;
    });
    Lines lines = CloneLines(source);
    lines[2] = c.line;
    file.Read(Put(test::JoinLines(lines, "\n")), CloneRanges());
    EXPECT_EQ(seen, c.revision) << c.line;
  }
}

}  // namespace
}  // namespace twk
