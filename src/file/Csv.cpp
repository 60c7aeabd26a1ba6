#include "file/Csv.h"

namespace twk {

std::string CsvQuote(const std::string& field) {
  if (field.find_first_of(",\"\r\n") == std::string::npos && !field.empty() &&
      field.front() != ' ' && field.back() != ' ') {
    return field;
  }
  if (field.empty()) return field;
  std::string out = "\"";
  for (char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
  return out;
}

std::string CsvFormatRow(const CsvRow& row) {
  std::string out;
  for (std::size_t i = 0; i < row.size(); ++i) {
    if (i) out += ',';
    out += CsvQuote(row[i]);
  }
  out += "\r\n";
  return out;
}

std::string CsvFormat(const std::vector<CsvRow>& rows) {
  std::string out;
  for (const auto& r : rows) out += CsvFormatRow(r);
  return out;
}

CsvParseResult CsvParse(const std::string& text) {
  CsvParseResult res;
  std::size_t i = 0;
  const std::size_t n = text.size();
  if (text.compare(0, 3, "\xEF\xBB\xBF") == 0) i = 3;
  int line = 1;
  while (i < n) {
    CsvRow row;
    res.lines.push_back(line);
    const int rowLine = line;
    for (;;) {
      std::string field;
      if (i < n && text[i] == '"') {
        ++i;
        for (;;) {
          if (i >= n) {
            res.ok = false;
            res.error = "line " + std::to_string(rowLine) + ": a quoted field is not closed";
            return res;
          }
          char c = text[i++];
          if (c == '"') {
            if (i < n && text[i] == '"') {
              field += '"';
              ++i;
            } else {
              break;
            }
          } else {
            if (c == '\n' || (c == '\r' && (i >= n || text[i] != '\n'))) ++line;
            field += c;
          }
        }
        if (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
          res.ok = false;
          res.error = "line " + std::to_string(line) + ": text after a closing quote";
          return res;
        }
      } else {
        while (i < n && text[i] != ',' && text[i] != '\r' && text[i] != '\n') {
          if (text[i] == '"') {
            res.ok = false;
            res.error = "line " + std::to_string(line) + ": a quote inside an unquoted field";
            return res;
          }
          field += text[i++];
        }
      }
      row.push_back(std::move(field));
      if (i < n && text[i] == ',') {
        ++i;
        continue;
      }
      break;
    }
    // A record ends with CR LF, LF or (older spreadsheets) a CR alone.
    bool lineEnd = false;
    if (i < n && text[i] == '\r') ++i, lineEnd = true;
    if (i < n && text[i] == '\n') ++i, lineEnd = true;
    if (lineEnd) ++line;
    res.rows.push_back(std::move(row));
  }
  return res;
}

std::string Latin1ToUtf8(const std::string& text) {
  std::string out;
  for (unsigned char c : text) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

bool Utf8ToLatin1(const std::string& text, std::string* out) {
  out->clear();
  for (std::size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < 0x80) {
      *out += static_cast<char>(c);
    } else if ((c == 0xC2 || c == 0xC3) && i + 1 < text.size() &&
               (static_cast<unsigned char>(text[i + 1]) & 0xC0) == 0x80) {
      *out += static_cast<char>(((c & 0x03) << 6) | (static_cast<unsigned char>(text[i + 1]) & 0x3F));
      ++i;
    } else {
      return false;
    }
  }
  return true;
}

}  // namespace twk
