// Parsing cell texts of the cell markup into cell descriptors.
//
// A cell text is display text with attribute groups in braces:
//   "{S>(%CT_IntCh.CL_ChList_No[@ch0])(@ch0++)}  Ch \(@ch0+1)"
// Attributes are single flag characters and parenthesised rules (models,
// colour, font, binding, channel variables, image index, popup menu, user
// flags); the display text knows the escapes \N \n \_ \(expression) and \x.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "sheet/CellDescriptor.h"

namespace twk {

class TextStore;

// Resets a descriptor: texts, font and popup key freed, label none, image
// -1, flags 0, colour clWindow; category and index kept. With a base cell,
// every field but font and popup key is copied from it. The base reference
// becomes `base`.
void ResetCell(CellDescriptor& cell, const CellDescriptor* base);

// Fills `cell` from one cell text. `chVars` (10 variables, may be null) is
// read and changed by "@ch" references; a reference without variables, or a
// malformed one, is the fatal stop "Ch No. Error". Unknown category or label
// names are fatal stops too.
void ParseCell(CellDescriptor& cell, std::string_view text, std::int32_t* chVars,
               const CellDescriptor* base);

// Takes the first cell off a row line: the cell text ends at the first "|"
// not escaped by a backslash (backslashes are kept in the cell text).
struct RowSplit {
  std::string_view cell;
  std::string_view rest;
};
RowSplit SplitRow(std::string_view row);

// Its own popup key if set and not empty, else that of its base cell,
// recursively; nullptr at the end of the chain.
const std::string* PopupMenuKeyOf(const CellDescriptor& cell);

// The display text, or empty.
const std::string& DisplayTextOf(const CellDescriptor& cell);

// The store that "$name" cell models are read from ("CellModel_" + name,
// line 0). Default: the main text store. Returns the previous one.
TextStore* SetCellModelStore(TextStore* store);

}  // namespace twk
