// Whole-record row operations of the record sheets (channel, weather, user
// channel and DSC ID rows): copy, paste, carry up and down, clear, delete and
// insert. They move ItemRecord values, not bytes, so a channel keeps its
// name, flags and P/C marks when it moves. One RecordBlock is the program's
// record clipboard.
#pragma once

#include <string>
#include <vector>

#include "data/ItemRecord.h"
#include "text/ResourceKeys.h"

namespace twk {

struct CellAccessContext;
class DocumentHooks;

// A run of consecutive records of one kind.
class RecordBlock {
 public:
  RecordKind kind = RecordKind::None;  // None: empty block
  int first = 0;                       // index the first record was taken from
  std::vector<ItemRecord> records;

  int Count() const { return static_cast<int>(records.size()); }
  void Clear();
  // Loads `count` records of the kind from `first` on.
  void Take(EepromImage& image, RecordKind k, int firstIndex, int count);
  // Fills the block with `count` empty records (all fields zero, both free
  // channel frequencies empty); storing one writes an empty record.
  void TakeEmpty(EepromImage& image, RecordKind k, int firstIndex, int count);
  bool Holds(RecordKind k) const { return kind != RecordKind::None && kind == k; }
  // Stores the held records at at, at + 1, ... (at most `count` of them),
  // when the block holds this kind.
  void Put(EepromImage& image, RecordKind k, int at, int count) const;

  static void LoadOne(EepromImage& image, RecordKind k, int index, ItemRecord& record);
  static void StoreOne(EepromImage& image, RecordKind k, int index, const ItemRecord& record);
  static ItemRecord EmptyRecord(EepromImage& image, RecordKind k);
};

// The program's record clipboard (empty at start, refilled by each Copy).
RecordBlock& RecordClipboard();

// Rows a kind's row operations may touch; first > last for a kind without rows.
struct RowRange {
  int first = 0;
  int last = -1;
  bool Contains(int r) const { return r >= first && r <= last; }
};
RowRange RowRangeOf(RecordKind kind);
// Clear, Delete, Insert and the carry items run only for kinds that permit
// row editing; this program permits it for none.
bool KindPermitsRowEditing(RecordKind kind);
// Test hook: permit row editing for every record kind (true) or for none.
void SetRowEditingPermitted(bool permitted);

// True when no record of rows lo..hi is in use (DSC: a valid ID; other
// kinds: every loaded record counts as in use).
bool RowsEmpty(EepromImage& image, RecordKind kind, int lo, int hi);

// Runs the operation named by the context's popup command on the row of
// `record` (or the selected range), within first..last, then reloads the
// record. Confirmations go to the hooks' message boxes, status texts and
// repaint messages to the hooks' bus.
void RowOperation(CellAccessContext& ctx, ItemRecord& record, int first, int last,
                  DocumentHooks& hooks);

std::vector<KeyUse> RowOperationKeys();

}  // namespace twk
