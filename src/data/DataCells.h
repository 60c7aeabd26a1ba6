// The radio data cells that bind one bit, a pair of bits or a byte of the
// image to a cell: where each value lives, which selection list shows it,
// and when its text is greyed. The label handler reads these tables; nothing
// else about a settings cell is coded anywhere.
#pragma once

#include <string>
#include <vector>

#include "data/EepromImage.h"
#include "data/Labels.h"
#include "text/ResourceKeys.h"

namespace twk {

// Light grey text of a setting whose feature is switched off (0x00BBGGRR).
inline constexpr unsigned kGreyTextColour = 0xC0C0C0;

// A settings cell: one bit (mask with one bit set) or the whole byte
// (mask 0, read as a signed byte) of the image, shown through a selection
// list whose values 0 and 1 are the bit's states.
struct SettingCell {
  CellLabel label;
  int address;
  int mask;               // one bit, or 0 for the whole byte
  const char* list;       // selection list key
  int greyAddress;        // -1: never grey
  int greyMask;           // grey while this bit is clear
  bool plansChanged;      // a change rebuilds the tree and the channel sheets (message 27)
};

// A display setting: a value 0-3 from two bits, shown through a list that
// depends on the model index ("U" for model 0, "E" otherwise).
struct DisplayCell {
  CellLabel label;
  int highMask;  // bit in 0x41A: value bit 1
  int lowMask;   // bit in 0x41B: value bit 0
  const char* listU;
  const char* listE;
};

// The tables (in the order the cells appear on the settings sheets).
const std::vector<SettingCell>& SettingCells();
const std::vector<DisplayCell>& DisplayCells();
// The entry of a label, or nullptr.
const SettingCell* FindSettingCell(int label);
const DisplayCell* FindDisplayCell(int label);

// Value of a settings cell in the image (0/1 for a bit, -128..127 for a byte).
int ReadSetting(const EepromImage& image, const SettingCell& cell);
// Writes the value: only the named bit changes (bit: value != 0), or the
// whole byte gets the low 8 bits of the value.
void WriteSetting(EepromImage& image, const SettingCell& cell, int value);
// True when the cell's text is shown grey.
bool SettingIsGrey(const EepromImage& image, const SettingCell& cell);

int ReadDisplay(const EepromImage& image, const DisplayCell& cell);
void WriteDisplay(EepromImage& image, const DisplayCell& cell, int value);
const char* DisplayList(const DisplayCell& cell, int modelIndex);

// Labels the handler does nothing for (no text, no change).
bool LabelWithoutBehaviour(int label);

// Every selection list key the data cells use (plan, weather, settings and
// display cells), each once: for the resource check.
std::vector<std::string> DataCellListKeys();
// The resource keys the data cells read, for `twk208-cli lint`.
std::vector<KeyUse> DataCellKeys();

}  // namespace twk
