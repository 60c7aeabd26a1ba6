// Comma-separated values as spreadsheets write them: fields separated by
// commas, a field holding a comma, quote, CR or LF is enclosed in double
// quotes with inner quotes doubled, records end with CR LF (LF alone is
// read too, and so is CR alone). Text is UTF-8; a UTF-8 byte-order mark at
// the start is skipped.
#pragma once

#include <string>
#include <vector>

namespace twk {

using CsvRow = std::vector<std::string>;

std::string CsvQuote(const std::string& field);
std::string CsvFormatRow(const CsvRow& row);  // with the CR LF record end
std::string CsvFormat(const std::vector<CsvRow>& rows);

struct CsvParseResult {
  std::vector<CsvRow> rows;
  std::vector<int> lines;  // 1-based line where each row starts
  bool ok = true;
  std::string error;  // "line N: ..." when !ok
};

CsvParseResult CsvParse(const std::string& text);

// Single-byte resource text (Latin-1 code page) to UTF-8 and back. Bytes
// that UTF-8 cannot give back as one code page byte make Utf8ToLatin1 fail.
std::string Latin1ToUtf8(const std::string& text);
bool Utf8ToLatin1(const std::string& text, std::string* out);

}  // namespace twk
