#include "text/TextStore.h"

#include <string>
#include <vector>

#include "common/TestSupport.h"

namespace twk {
namespace {

using test::FatalTextOf;

std::string NotFound(const std::string& key) {
  return "GTEX Error !\nThe index '" + key + "' was not found.";
}

std::string Join(const std::vector<std::string>& lines, const std::string& eol) {
  std::string s;
  for (const auto& l : lines) s += l + eol;
  return s;
}

// A store over a temporary file holding `lines`, each ended by `eol`.
struct FileStore {
  FileStore(const std::vector<std::string>& lines, const std::string& eol = "\n") {
    test::WriteFileBytes(path, Join(lines, eol));
    store.SetFile(path.string());
  }
  explicit FileStore(const std::string& bytes) {
    test::WriteFileBytes(path, bytes);
    store.SetFile(path.string());
  }
  test::TempDir dir;
  std::filesystem::path path = dir / "TEST.OVL";
  TextStore store;
};

const std::vector<std::string> kSample = {
    "free comment GI_Comment",  // before the first header: never read
    "",
    "#GI_One",
    "one 0",
    "",
    "one 2",
    "#",
    "#GI_Empty",
    "#GI_Dup",
    "first",
    "#Key With Spaces ",
    "spaced",
    "#GI_Dup",
    "second",
    "#End_Of_Ovl",
    "#GI_After",
    "after",
    "#",
};

// The same lookups give the same results over LF and CR LF files and over
// the in-memory source.
TEST(TextStore, LookupsAgreeOverEverySource) {
  FileStore lf(kSample, "\n");
  FileStore crlf(kSample, "\r\n");
  TextStore mem;
  ASSERT_TRUE(mem.SetLines(kSample));
  for (TextStore* s : {&lf.store, &crlf.store, &mem}) {
    test::FatalCatcher catcher;
    EXPECT_EQ(s->GetFirstLine("GI_One"), "one 0");
    EXPECT_EQ(s->GetLine("GI_One", 1), "");
    EXPECT_EQ(s->GetLine("GI_One", 3), "#");  // a reader stops here
    EXPECT_EQ(s->GetSectionText("GI_One"), "one 0\n\none 2");
    EXPECT_EQ(s->GetSectionText("GI_Empty"), "");
    EXPECT_EQ(s->GetFirstLine("GI_Dup"), "first");
    EXPECT_EQ(s->GetFirstLine("Key With Spaces "), "spaced");
    EXPECT_FALSE(s->HasKey("Key With Spaces"));
    EXPECT_FALSE(s->HasKey("GI_Comment"));
    EXPECT_FALSE(s->HasKey(""));  // "#" alone is no header
    EXPECT_TRUE(s->HasKey("End_Of_Ovl"));
    EXPECT_FALSE(s->HasKey("GI_After"));
    EXPECT_EQ(FatalTextOf([&] { s->GetLine("GI_After", 0); }), NotFound("GI_After"));
    EXPECT_EQ(FatalTextOf([&] { s->GetLine("GI_Missing", 0); }), NotFound("GI_Missing"));
    EXPECT_EQ(FatalTextOf([&] { s->GetLine("GI_One", -1); }), NotFound("GI_One"));
  }
}

TEST(TextStore, ReadingPastTheEndOfTheSourceIsFatal) {
  const std::vector<std::string> lines = {"#GI_A", "a0", "#GI_Last", "l0", "l1"};
  FileStore file(lines);
  FileStore noFinalLf(Join(lines, "\n").substr(0, Join(lines, "\n").size() - 1));
  TextStore mem;
  mem.SetLines(lines);
  for (TextStore* s : {&file.store, &noFinalLf.store, &mem}) {
    test::FatalCatcher catcher;
    EXPECT_EQ(s->GetLine("GI_Last", 1), "l1");
    EXPECT_EQ(s->GetLine("GI_A", 2), "l0");  // lines run on past the next header
    EXPECT_EQ(FatalTextOf([&] { s->GetLine("GI_Last", 2); }), NotFound("GI_Last"));
    EXPECT_EQ(FatalTextOf([&] { s->GetSectionText("GI_Last"); }), NotFound("GI_Last"));
    // The store still works after a stop was caught.
    EXPECT_EQ(s->GetLine("GI_Last", 0), "l0");
  }
}

TEST(TextStore, MissingOrUnsetSourceFailsAtTheFirstLookup) {
  test::TempDir dir;
  TextStore missing;
  EXPECT_TRUE(missing.SetFile((dir / "NONE.OVL").string()));  // not opened yet
  EXPECT_FALSE(missing.SetFile((dir / "OTHER.OVL").string()));
  EXPECT_FALSE(missing.SetLines({"#GI_A", "a"}));
  EXPECT_EQ(FatalTextOf([&] { missing.GetLine("GI_A", 0); }), NotFound("GI_A"));
  // Creating the file afterwards does not help: the source failed to open.
  test::WriteFileBytes(dir / "NONE.OVL", "#GI_A\na\n#\n");
  EXPECT_FALSE(missing.HasKey("GI_A"));

  TextStore none;
  EXPECT_EQ(FatalTextOf([&] { none.GetFirstLine("GI_A"); }), NotFound("GI_A"));
  TextStore emptyName;
  emptyName.SetFile("");
  EXPECT_FALSE(emptyName.HasKey("GI_A"));
}

// Lines are at most 8191 bytes; longer physical lines come out in pieces,
// and the line end right after a full piece belongs to it.
TEST(TextStore, LongLinesAreSplitAt8191Bytes) {
  const std::string a(8191, 'a'), b(8192, 'b'), c(8191 * 2 + 5, 'c');
  for (const std::string eol : {"\n", "\r\n"}) {
    SCOPED_TRACE(eol.size() == 1 ? "LF" : "CR LF");
    FileStore f({"#GI_Long", a, b, c, "end", "#"}, eol);
    test::FatalCatcher catcher;
    const std::vector<std::string> want = {a, b.substr(0, 8191), "b", c.substr(0, 8191),
                                           c.substr(0, 8191), "ccccc", "end", "#"};
    for (int n = 0; n < static_cast<int>(want.size()); ++n)
      EXPECT_EQ(f.store.GetLine("GI_Long", n), want[n]) << "line " << n;
  }
  // Bytes after a full piece that are no line end start the next line.
  std::string bytes = "#GI_Ahead\n" + a + "\rx\n" + a + "\r\r\n" + a + "y\n#\n";
  FileStore f2(bytes);
  const std::vector<std::string> want = {a, "\rx", a, "\r", a, "y", "#"};
  for (int n = 0; n < static_cast<int>(want.size()); ++n)
    EXPECT_EQ(f2.store.GetLine("GI_Ahead", n), want[n]) << "line " << n;
  EXPECT_EQ(f2.store.BytesRead(), bytes.size());

  TextStore mem;  // an in-memory line is cut, not split
  mem.SetLines({"#GI_Long", b, "next", "#"});
  EXPECT_EQ(mem.GetLine("GI_Long", 0), b.substr(0, 8191));
  EXPECT_EQ(mem.GetLine("GI_Long", 1), "next");
}

TEST(TextStore, CarriageReturnsOutsideLineEndsAreText) {
  FileStore f(std::string("#GI_Cr\na\rb\nc\r\r\n#\r\nlast\r"));
  EXPECT_EQ(f.store.GetLine("GI_Cr", 0), "a\rb");
  EXPECT_EQ(f.store.GetLine("GI_Cr", 1), "c\r");
  EXPECT_EQ(f.store.GetLine("GI_Cr", 2), "#");
  EXPECT_EQ(f.store.GetLine("GI_Cr", 3), "last\r");
}

// A resource of `sections` sections of `perSection` lines each.
std::vector<std::string> Generated(int sections, int perSection) {
  std::vector<std::string> lines = {"generated"};
  for (int s = 0; s < sections; ++s) {
    lines.push_back("#GI_S" + std::to_string(s));
    for (int n = 0; n < perSection; ++n)
      lines.push_back("s" + std::to_string(s) + " line " + std::to_string(n));
  }
  lines.push_back("#End_Of_Ovl");
  return lines;
}

TEST(TextStore, SequentialReadCostsOneLineReadPerLine) {
  FileStore f(Generated(3, 100));
  TextStore& s = f.store;
  ASSERT_TRUE(s.HasKey("GI_S1"));
  const auto before = s.LinesRead();
  for (int n = 0; n < 100; ++n) ASSERT_EQ(s.GetLine("GI_S1", n), "s1 line " + std::to_string(n));
  EXPECT_EQ(s.LinesRead() - before, 100u);
}

TEST(TextStore, OnlyTheNeededHeadersAreScanned) {
  FileStore f(Generated(50, 20));
  TextStore& s = f.store;
  EXPECT_EQ(s.GetFirstLine("GI_S0"), "s0 line 0");
  // The comment line, the header and line 0: nothing more of the file.
  EXPECT_EQ(s.LinesRead(), 3u);
  EXPECT_EQ(s.BytesRead(), std::string("generated\n#GI_S0\ns0 line 0\n").size());
  EXPECT_EQ(s.GetFirstLine("GI_S2"), "s2 line 0");
  EXPECT_LT(s.BytesRead(), std::filesystem::file_size(f.path) / 10);
  // A section already scanned is found without reading anything.
  const auto read = s.LinesRead();
  EXPECT_TRUE(s.HasKey("GI_S1"));
  EXPECT_EQ(s.LinesRead(), read);
  // A missing key scans to "#End_Of_Ovl" once, and not again.
  EXPECT_FALSE(s.HasKey("GI_Nope"));
  const auto scanned = s.LinesRead();
  EXPECT_FALSE(s.HasKey("GI_Nope2"));
  EXPECT_EQ(s.LinesRead(), scanned);
}

TEST(TextStore, EverySectionKeepsItsOwnCursor) {
  FileStore f(Generated(2, 40));
  TextStore& s = f.store;
  for (int n = 0; n <= 20; ++n) s.GetLine("GI_S0", n);
  EXPECT_EQ(s.GetLine("GI_S1", 3), "s1 line 3");
  auto read = s.LinesRead();
  EXPECT_EQ(s.GetLine("GI_S0", 21), "s0 line 21");  // resumes at its cursor
  EXPECT_EQ(s.LinesRead() - read, 1u);
  EXPECT_EQ(s.GetLine("GI_S0", 0), "s0 line 0");  // going back restarts
  EXPECT_EQ(s.GetLine("GI_S0", 5), "s0 line 5");
  EXPECT_EQ(s.GetLine("GI_S0", 5), "s0 line 5");  // same line again
}

// The cache keeps the 64 most recently read lines.
TEST(TextStore, CacheKeeps64Lines) {
  struct Case {
    int linesFirstRead;
    std::uint64_t readsToRereadLine0;
  };
  for (const Case c : {Case{10, 0}, Case{64, 0}, Case{65, 1}}) {
    SCOPED_TRACE(c.linesFirstRead);
    FileStore f(Generated(1, 80));
    TextStore& s = f.store;
    for (int n = 0; n < c.linesFirstRead; ++n) s.GetLine("GI_S0", n);
    auto read = s.LinesRead();
    EXPECT_EQ(s.GetLine("GI_S0", 0), "s0 line 0");
    EXPECT_EQ(s.LinesRead() - read, c.readsToRereadLine0);
  }
  // A hit refreshes a line: the least recently used one goes first.
  FileStore f(Generated(2, 40));
  TextStore& s = f.store;
  for (int n = 0; n < 32; ++n) s.GetLine("GI_S0", n);
  for (int n = 0; n < 32; ++n) s.GetLine("GI_S1", n);  // the cache is full
  s.GetLine("GI_S0", 0);   // hit: S0 line 0 is now the most recent
  s.GetLine("GI_S1", 32);  // miss: evicts S0 line 1
  auto read = s.LinesRead();
  s.GetLine("GI_S0", 0);
  EXPECT_EQ(s.LinesRead(), read);
  s.GetLine("GI_S0", 1);
  EXPECT_EQ(s.LinesRead(), read + 1);
}

TEST(TextStore, EntriesFoundBeyondPosition10MoveToTheFront) {
  FileStore f(Generated(15, 1));
  TextStore& s = f.store;
  ASSERT_TRUE(s.HasKey("GI_S14"));
  ASSERT_EQ(s.SectionOrder()[10], "GI_S10");
  s.HasKey("GI_S10");  // position 10: stays
  EXPECT_EQ(s.SectionOrder()[10], "GI_S10");
  s.HasKey("GI_S11");  // position 11: moves to the front
  auto order = s.SectionOrder();
  EXPECT_EQ(order[0], "GI_S11");
  EXPECT_EQ(order[1], "GI_S0");
  EXPECT_EQ(order[11], "GI_S10");
  EXPECT_EQ(s.GetFirstLine("GI_S11"), "s11 line 0");
}

// However far back entries stand or move, the first of two equal keys wins.
TEST(TextStore, FirstDuplicateWinsAfterMovesToTheFront) {
  auto lines = Generated(15, 1);
  lines.insert(lines.end() - 1, {"#GI_S12", "duplicate", "#GI_S1", "duplicate"});
  FileStore f(lines);
  TextStore& s = f.store;
  EXPECT_FALSE(s.HasKey("GI_Missing"));  // every header is in the list now
  for (int round = 0; round < 3; ++round) {
    for (const char* key : {"GI_S12", "GI_S1", "GI_S14", "GI_S0"}) s.HasKey(key);
    EXPECT_EQ(s.GetFirstLine("GI_S12"), "s12 line 0");
    EXPECT_EQ(s.GetFirstLine("GI_S1"), "s1 line 0");
  }
}

TEST(TextStore, InMemorySourceCountsReadsAndEndsAtItsLength) {
  TextStore s;
  s.SetLines({"#GI_M", "m0", "m1", "m2\nhidden"});
  EXPECT_EQ(s.GetLine("GI_M", 2), "m2");  // cut at its own line feed
  EXPECT_EQ(s.LinesRead(), 4u);
  EXPECT_EQ(FatalTextOf([&] { s.GetLine("GI_M", 3); }), NotFound("GI_M"));
}

TEST(TextStore, ProcessStoresAndResourceNames) {
  EXPECT_EQ(MainResourceName("/opt/x/", kShortCode), "/opt/x/TWK208.OVL");
  EXPECT_EQ(HelpResourceName("/opt/x/", kShortCode), "/opt/x/TWK208H.OVL");
  TextStore mainStore, helpStore;
  mainStore.SetLines({"#GI_Sys_AppTitle", "Main", "#"});
  helpStore.SetLines({"#GI_Sys_AppTitle", "Help", "#"});
  auto previous = SetTextStores(&mainStore, &helpStore);
  EXPECT_EQ(MainText().GetFirstLine("GI_Sys_AppTitle"), "Main");
  EXPECT_EQ(HelpText().GetFirstLine("GI_Sys_AppTitle"), "Help");
  auto mine = SetTextStores(previous.first, previous.second);
  EXPECT_EQ(mine.first, &mainStore);
  EXPECT_EQ(mine.second, &helpStore);
  // Without installed stores: the resources beside the program.
  SetTextStores(nullptr, nullptr);
  EXPECT_TRUE(MainText().HasKey("GI_Sys_AppTitle"));
  EXPECT_TRUE(HelpText().HasKey("GI_AppItem_Topic_ID"));
  SetTextStores(previous.first, previous.second);
}

}  // namespace
}  // namespace twk
