#include "data/Codecs.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace twk::codec {

std::string KeepOnly(std::string_view text, std::string_view extra) {
  std::string out;
  out.reserve(text.size());
  for (char ch : text) {
    const bool digit = ch >= '0' && ch <= '9';
    if (digit || extra.find(ch) != std::string_view::npos) out.push_back(ch);
  }
  return out;
}

void ApplyShortNameRule(char* field3) {
  for (int i = 0; i < 3; ++i) {
    const std::string_view set = i < 2 ? kShortNameChars12 : kShortNameChars3;
    const char ch = field3[i];
    if (set.find(ch) != std::string_view::npos) continue;
    char other = ch;
    if (ch >= 'a' && ch <= 'z') other = static_cast<char>(ch - 'a' + 'A');
    else if (ch >= 'A' && ch <= 'Z') other = static_cast<char>(ch - 'A' + 'a');
    const bool letter = other != ch;
    field3[i] = letter && set.find(other) != std::string_view::npos ? other : ' ';
  }
}

std::int64_t SnapToChannelGrid(std::int64_t f) {
  if (f <= 0) return -1;
  std::int64_t p = 1;
  for (std::int64_t d = 10; d <= 100'000; d *= 10) {
    if (f % d == 0) p = d;
  }
  const std::int64_t last = f + p - 1;
  for (std::int64_t c = f / 100'000 * 100'000; c <= last; c += 1'250) {
    if (c >= f && c % 6'250 == 0) return c;
  }
  return -1;
}

std::int64_t ParseFrequencyText(std::string_view input) {
  std::string text = KeepOnly(input, ".");
  if (text.size() > 10) text.resize(10);
  if (text.empty()) return -1;
  const double mhz = std::strtod(text.c_str(), nullptr);
  double f = mhz * 1'000'000.0 + 0.5;
  f = std::clamp(f, static_cast<double>(kFreqMin) + 0.5, static_cast<double>(kFreqMax) + 0.5);
  const std::int64_t snapped = SnapToChannelGrid(static_cast<std::int64_t>(f));
  return snapped > 0 ? snapped : -1;
}

std::string FormatFrequency(std::int64_t hz) {
  char buf[32];
  std::snprintf(buf, sizeof buf, "%d.%05d", static_cast<int>(hz / 1'000'000),
                static_cast<int>((hz % 1'000'000) / 10));
  return buf;
}

std::int64_t RoundHalfAway(double x) {
  return static_cast<std::int64_t>(x < 0 ? std::ceil(x - 0.5) : std::floor(x + 0.5));
}

bool ParseIntegerText(std::string_view input, std::int64_t& number) {
  std::string text = KeepOnly(input, ".-");
  if (text.size() > 9) text.resize(9);
  if (text.empty()) return false;
  char* end = nullptr;
  const double d = std::strtod(text.c_str(), &end);
  if (end == text.c_str()) return false;  // "-" or "." alone: nothing numeric
  number = RoundHalfAway(d);
  return true;
}

std::string FormatScaled(int v, int scale, int drop) {
  if (scale <= 0) scale = 1;
  char buf[48];
  std::snprintf(buf, sizeof buf, "%3d.%03d", v / scale,
                static_cast<int>((static_cast<std::int64_t>(v) * 1000 / scale) % 1000));
  std::string s = buf;
  for (int i = 0; i < drop && !s.empty(); ++i) {
    const char last = s.back();
    if (last != '0' && last != '.') break;
    s.pop_back();
    if (last == '.') break;
  }
  return s;
}

std::string FormatHexByte(int v) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "%X", static_cast<unsigned>(v));
  std::string s = buf;
  if (s.size() == 1) s.insert(s.begin(), '0');
  return s;
}

}  // namespace twk::codec
