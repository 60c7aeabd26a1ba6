#include "file/Csv.h"

#include "common/TestSupport.h"

namespace twk {
namespace {

TEST(Csv, QuotesOnlyWhatNeedsIt) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"16", "16"},          {"", ""},
      {"A,B", "\"A,B\""},    {"say \"hi\"", "\"say \"\"hi\"\"\""},
      {"two\nlines", "\"two\nlines\""}, {" PAD", "\" PAD\""},
  };
  for (const auto& c : cases) EXPECT_EQ(CsvQuote(c.in), c.out) << c.in;
}

TEST(Csv, RoundTripsAwkwardFields) {
  std::vector<CsvRow> rows = {{"Ch", "Name", "Note"},
                              {"16", "DISTRESS", ""},
                              {"06", "A,B \"C\"", "line1\r\nline2"},
                              {"", "", ""}};
  auto parsed = CsvParse(CsvFormat(rows));
  ASSERT_TRUE(parsed.ok) << parsed.error;
  EXPECT_EQ(parsed.rows, rows);
  EXPECT_EQ(parsed.lines, (std::vector<int>{1, 2, 3, 5}));
}

TEST(Csv, ReadsLfAndBomAndReportsMalformedInput) {
  auto p = CsvParse("\xEF\xBB\xBF" "a,b\nc,d");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.rows, (std::vector<CsvRow>{{"a", "b"}, {"c", "d"}}));

  // Line ends of a single CR (older spreadsheets) count as lines too.
  p = CsvParse("a,b\rc,\"d\"\re\r");
  ASSERT_TRUE(p.ok);
  EXPECT_EQ(p.rows, (std::vector<CsvRow>{{"a", "b"}, {"c", "d"}, {"e"}}));
  EXPECT_EQ(p.lines, (std::vector<int>{1, 2, 3}));

  struct Bad {
    std::string text, error;
  } bad[] = {{"a,\"open\n", "line 1: a quoted field is not closed"},
             {"a\nb\"c\n", "line 2: a quote inside an unquoted field"},
             {"\"x\"y\n", "line 1: text after a closing quote"}};
  for (const auto& b : bad) {
    auto r = CsvParse(b.text);
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(r.error, b.error);
  }
}

TEST(Csv, Latin1AndUtf8ConvertBothWays) {
  std::string latin = "CAF\xC9 \xB0";
  std::string utf8 = Latin1ToUtf8(latin);
  EXPECT_EQ(utf8, "CAF\xC3\x89 \xC2\xB0");
  std::string back;
  ASSERT_TRUE(Utf8ToLatin1(utf8, &back));
  EXPECT_EQ(back, latin);
  EXPECT_FALSE(Utf8ToLatin1("\xE2\x82\xAC", &back));  // the euro sign has no single byte here
}

}  // namespace
}  // namespace twk
