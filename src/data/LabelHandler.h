// The label handler: the one function behind every bound grid cell, tree
// node, menu item and toolbar button. It loads the record of the cell's row,
// applies the row masks ("---" for slots not in use, the simplex rule, the
// DSC forwarding), runs the code of the cell's label (radio data through
// the codecs, command labels through the document hooks), asks for repaints,
// restarts the settle deadline and updates the dirty flag after an edit, and
// refuses edits of read-only cells with a status-line text.
#pragma once

#include <cstdint>
#include <vector>

#include "sheet/CellAccess.h"
#include "text/ResourceKeys.h"

namespace twk {

class DocumentHooks;

// Text colours the handler gives (0x00BBGGRR).
inline constexpr Color kReadOnlyTextColour = 0x008080;  // olive
inline constexpr Color kMarkLineColour = 0x808080;      // grey of the pillar and the cross line

// The handler. `handlerObject` is a DocumentHooks* or null for the hooks
// installed with SetDocumentHooks(). Mode 0 display, 1 action; returns the
// codec's editor request in action mode (0, 1 end multi-selection, 2 open
// the inline editor).
int HandleLabel(void* handlerObject, CellAccessContext& ctx, int mode);

// Installs HandleLabel as the program's standard label handler.
void InstallStandardLabelHandler();

// The marks the handler gives a (category, label, index) triple in display
// mode on a throw-away cell (bit 2 warning, bit 3 error of the state flags).
std::uint8_t MarksOf(int category, int label, int index, DocumentHooks* hooks = nullptr);

// The keys the handler reads, for `twk208-cli lint`.
std::vector<KeyUse> LabelHandlerKeys();

}  // namespace twk
