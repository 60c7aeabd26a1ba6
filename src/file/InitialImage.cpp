#include "file/InitialImage.h"

#include <cstdint>
#include <map>
#include <vector>

#include "data/ItemRecord.h"
#include "data/MemoryMap.h"
#include "data/NameChars.h"
#include "file/Csv.h"

namespace twk {

namespace {

// Channel 16 (slot 32) is the P channel of every plan, channel 9 (slot 18,
// the calling channel) the C channel.
constexpr int kPSlot = 32;
constexpr int kCSlot = 18;

// Bytes whose meaning this program does not edit (fixed bytes taken from the
// template, gaps of the map) keep the erased-EEPROM value.
constexpr std::uint8_t kErased = 0xFF;

struct Defaults {
  int address;
  std::uint8_t value;
};
// Setting bytes (see docs/initial-image.md for the meaning of each bit).
constexpr Defaults kSettings[] = {
    {mem::kModelIndex, 0},
    {mem::kFormatMarker, mem::kFormatMarkerValue},
    {mem::kCurrentWeather, 0},  // WX1
    {mem::kSetting409, 0},
    {mem::kSetting40A, 0},
    {mem::kSetting40B, 1},  // the value normalizing uses without a USA plan
    {mem::kSetting40C, 0},
    {mem::kSetting40D, 0},
    {mem::kSetting40E, 0},
    // USA plan, weather channels, CANADA plan, scan function present.
    {mem::kPlanSwitches, mem::kSwitchUsa | mem::kSwitchWeather | mem::kSwitchCanada | 0x10},
    {mem::kOptions419, 0x60},    // TOT function and dual watch present
    {mem::kDisplayHigh, 0x00},   // display settings: "Number" for every plan
    {mem::kDisplayLow, 0x00},
    {mem::kAppearance, 0x3F},    // every item shown in the user set menu
    {mem::kDscSettings + 0, 0x70},  // DSC on INT, USA and CANADA channels enabled
    {mem::kDscSettings + 1, 0x0F},  // receive distress, urgency, safety, routine calls
    {mem::kDscSettings + 2, 0x00},  // transmit all four call categories (0 = on)
    {mem::kDscSettings + 3, 0x00},  // all ships call: switch channel at once, 25 W
    {mem::kDscSettings + 4, 0x00},  // individual call: switch at once, 25 W
    {mem::kDscSettings + 5, 0x00},  // group call: switch at once, 25 W
    {mem::kDscSettings + 6, 0x03},  // call repeat and cancel ack on, position request/report off
    {mem::kCommonSettings, 0x14},   // normal scan, DSC watch on, dual watch, beep on
    {mem::kWeatherAlert, 0x01},     // weather alert on
    {mem::kMakerSwitches, 0x00},
    {mem::kMakerDscAmp13, 0x80},
    {mem::kMakerDscAmp21, 0x80},
    {mem::kMakerScanSpeed, 100},  // 0.100 s
};
constexpr int kTotTimer = 300;    // 5 minutes

bool Fail(std::string* error, const std::string& text) {
  if (error) *error = text;
  return false;
}

std::map<std::string, int> HeaderIndex(const CsvRow& header) {
  std::map<std::string, int> index;
  for (std::size_t i = 0; i < header.size(); ++i) index[header[i]] = static_cast<int>(i);
  return index;
}

// A 0/1 column of a row.
bool Flag(const CsvRow& row, int column, bool* ok) {
  const std::string& v = row[static_cast<std::size_t>(column)];
  if (v != "0" && v != "1") *ok = false;
  return v == "1";
}

void PutName(EepromImage& image, int address, const std::string& name, int length) {
  for (int i = 0; i < length; ++i)
    image.SetByte(address + i,
                  static_cast<std::uint8_t>(i < static_cast<int>(name.size()) ? name[i] : ' '));
}

// A name from the data: at most `length` characters, all of them kept by the
// radio's name rule.
bool GoodName(const std::string& name, int length) {
  return static_cast<int>(name.size()) <= length && CleanName(name) == name;
}

bool ParseTable(const std::string& text, const char* what, const std::vector<std::string>& columns,
                std::vector<CsvRow>& rows, std::map<std::string, int>& index, std::string* error) {
  CsvParseResult parsed = CsvParse(text);
  if (!parsed.ok) return Fail(error, std::string(what) + ": " + parsed.error);
  if (parsed.rows.empty()) return Fail(error, std::string(what) + ": no header row");
  index = HeaderIndex(parsed.rows[0]);
  for (const std::string& c : columns)
    if (!index.count(c)) return Fail(error, std::string(what) + ": column '" + c + "' missing");
  rows.assign(parsed.rows.begin() + 1, parsed.rows.end());
  // Drop empty trailing records (a final blank line).
  while (!rows.empty() && rows.back().size() == 1 && rows.back()[0].empty()) rows.pop_back();
  for (std::size_t r = 0; r < rows.size(); ++r)
    if (rows[r].size() != parsed.rows[0].size())
      return Fail(error, std::string(what) + ": line " + std::to_string(parsed.lines[r + 1]) +
                             ": wrong number of fields");
  return true;
}

}  // namespace

bool BuildInitialImage(const std::string& channelsCsv, const std::string& weatherCsv,
                       EepromImage& image, std::string* error) {
  image.Resize(mem::kImageSize);
  image.Fill(kErased);

  // Plan tables: every slot starts not in use; odd slots below the free
  // channels are the simplex "A" slots.
  for (int k = 0; k < mem::kPlanCount; ++k) {
    for (int slot = 0; slot < mem::kSlotCount; ++slot) {
      int attr = mem::kAttrNotInUse;
      if (slot % 2 == 1 && slot < mem::kFirstFreeSlot) attr |= mem::kAttrSimplex;
      image.SetByte(mem::PlanTable(k) + slot, static_cast<std::uint8_t>(attr));
    }
  }
  for (int slot = 0; slot < mem::kSlotCount; ++slot)
    PutName(image, mem::ChannelName(slot), "", mem::kNameLength);

  // Free channels: empty (erased frequency codes), blank short names.
  for (int i = 0; i < mem::kFreeChannelCount; ++i)
    PutName(image, mem::FreeChannel(i) + mem::kFreeShortName, "", mem::kFreeShortNameLength);
  // DSC individual IDs: empty IDs (five 0xFF), blank names.
  for (int i = 0; i < mem::kDscIdCount; ++i)
    PutName(image, mem::DscId(i) + mem::kDscIdName, "", mem::kDscNameLength);
  // Clone comment: blank. Self ID: empty, with the check byte the self ID
  // cell writes for an empty ID, and a state byte that does not claim a
  // valid ID.
  PutName(image, mem::kCloneComment, "", mem::kCloneCommentLength);

  // Channel plans.
  const char* plans[mem::kPlanCount] = {"usa", "int", "can"};  // plan index order
  std::vector<std::string> columns = {"channel", "slot", "name"};
  for (const char* p : plans)
    for (const char* f : {"_in_use", "_simplex", "_tx_inhibit", "_low_power"})
      columns.push_back(std::string(p) + f);
  std::vector<CsvRow> rows;
  std::map<std::string, int> col;
  if (!ParseTable(channelsCsv, "channels", columns, rows, col, error)) return false;
  std::vector<bool> seen(mem::kSlotCount, false);
  for (std::size_t r = 0; r < rows.size(); ++r) {
    const CsvRow& row = rows[r];
    const std::string where = "channels: row " + std::to_string(r + 1) + " (" + row[0] + ")";
    const std::string& slotText = row[static_cast<std::size_t>(col["slot"])];
    if (slotText.empty() || slotText.find_first_not_of("0123456789") != std::string::npos ||
        slotText.size() > 3)
      return Fail(error, where + ": bad slot");
    const int slot = std::stoi(slotText);
    if (slot >= mem::kFirstFreeSlot) return Fail(error, where + ": slot outside the channel slots");
    if (seen[static_cast<std::size_t>(slot)]) return Fail(error, where + ": slot given twice");
    seen[static_cast<std::size_t>(slot)] = true;
    const std::string& name = row[static_cast<std::size_t>(col["name"])];
    if (!GoodName(name, mem::kNameLength))
      return Fail(error, where + ": name longer than 10 or with characters the radio cannot show");
    PutName(image, mem::ChannelName(slot), name, mem::kNameLength);
    for (int k = 0; k < mem::kPlanCount; ++k) {
      const std::string p = plans[k];
      bool ok = true;
      const bool inUse = Flag(row, col[p + "_in_use"], &ok);
      const bool simplex = Flag(row, col[p + "_simplex"], &ok);
      const bool txInhibit = Flag(row, col[p + "_tx_inhibit"], &ok);
      const bool lowPower = Flag(row, col[p + "_low_power"], &ok);
      if (!ok) return Fail(error, where + ": plan columns must be 0 or 1");
      if (slot % 2 == 1 && !simplex) return Fail(error, where + ": an odd slot is always simplex");
      int attr = 0;
      if (!inUse) attr |= mem::kAttrNotInUse;
      if (simplex) attr |= mem::kAttrSimplex;
      if (txInhibit) attr |= mem::kAttrTxInhibit;
      if (lowPower) attr |= mem::kAttrLowPower;
      image.SetByte(mem::PlanTable(k) + slot, static_cast<std::uint8_t>(attr));
    }
  }
  for (int k = 0; k < mem::kPlanCount; ++k) {
    for (int slot : {kPSlot, kCSlot})
      if (image.GetByte(mem::PlanTable(k) + slot) & mem::kAttrNotInUse)
        return Fail(error, std::string("channels: slot ") + std::to_string(slot) +
                               " (P or C channel) is not in use in the " + plans[k] + " plan");
    image.SetWord(mem::PChannelWord(k), kPSlot);
    image.SetWord(mem::PSlotWord(k), kPSlot);
    image.SetWord(mem::CChannelWord(k), kCSlot);
  }

  // Weather channels: all ten present, named from the data.
  std::vector<CsvRow> wrows;
  std::map<std::string, int> wcol;
  if (!ParseTable(weatherCsv, "weather", {"wx", "name"}, wrows, wcol, error)) return false;
  if (wrows.size() != static_cast<std::size_t>(mem::kWeatherCount))
    return Fail(error, "weather: expected 10 rows");
  std::vector<bool> wseen(mem::kWeatherCount, false);
  for (std::size_t r = 0; r < wrows.size(); ++r) {
    const std::string where = "weather: row " + std::to_string(r + 1);
    const std::string& wx = wrows[r][static_cast<std::size_t>(wcol["wx"])];
    if (wx.empty() || wx.size() > 2 || wx.find_first_not_of("0123456789") != std::string::npos)
      return Fail(error, where + ": bad wx number");
    const int n = std::stoi(wx) - 1;
    if (n < 0 || n >= mem::kWeatherCount || wseen[static_cast<std::size_t>(n)])
      return Fail(error, where + ": wx number outside 1-10 or given twice");
    wseen[static_cast<std::size_t>(n)] = true;
    const std::string& name = wrows[r][static_cast<std::size_t>(wcol["name"])];
    if (!GoodName(name, mem::kNameLength)) return Fail(error, where + ": bad name");
    PutName(image, mem::WeatherName(n), name, mem::kNameLength);
  }
  image.SetWord(mem::kWeatherFlags, 0);  // flag clear = in use

  for (const Defaults& d : kSettings) image.SetByte(d.address, d.value);
  image.SetWord(mem::kMakerTotTimer, kTotTimer);
  return true;
}

}  // namespace twk
