#include "data/RowOperation.h"

#include <algorithm>

#include "data/DocumentHooks.h"
#include "data/Labels.h"
#include "data/MemoryMap.h"
#include "sheet/CellAccess.h"
#include "sheet/MessageBus.h"
#include "text/TextStore.h"

namespace twk {

namespace {

bool g_rowEditingPermitted = false;

std::string Text(const std::string& key) { return MainText().GetLine(key, 0); }

void Report(DocumentHooks& hooks, const char* key) { hooks.Status(Text(key)); }

bool Confirm(DocumentHooks& hooks, const char* key) {
  const MsgAnswer a = hooks.Boxes().MessageBox(MainText().GetSectionText(key),
                                               Text("GI_Sys_AppTitle"), MsgIcon::Warning,
                                               MsgButtons::OkCancel);
  return a == MsgAnswer::Ok;
}

void SelectRange(CellAccessContext& ctx, int lo, int hi) {
  ctx.selectionFlags |= selection::kApplyRange;
  ctx.rangeLow = lo;
  ctx.rangeHigh = hi;
}

void JumpTo(CellAccessContext& ctx, int index) {
  ctx.jumpRequest = true;
  ctx.jumpCategory = ctx.cell->category;
  ctx.jumpLabel = ctx.cell->label;
  ctx.jumpIndex = index;
}

// Moves records src..src+n-1 to start at dst through a block (overlap safe).
void MoveRecords(EepromImage& image, RecordKind kind, int src, int n, int dst) {
  if (n <= 0) return;
  RecordBlock block;
  block.Take(image, kind, src, n);
  block.Put(image, kind, dst, n);
}

void StoreEmpty(EepromImage& image, RecordKind kind, int lo, int hi, DocumentHooks& hooks) {
  if (hi < lo) return;
  RecordBlock empty;
  empty.TakeEmpty(image, kind, lo, hi - lo + 1);
  empty.Put(image, kind, lo, hi - lo + 1);
  for (int r = lo; r <= hi; ++r) hooks.Post(msg::kRepaintIndex, 0, r);
}

}  // namespace

// ---- RecordBlock -------------------------------------------------------------

void RecordBlock::Clear() {
  kind = RecordKind::None;
  first = 0;
  records.clear();
}

void RecordBlock::LoadOne(EepromImage& image, RecordKind k, int index, ItemRecord& record) {
  record.Attach(&image);
  record.Load(k, index);
}

void RecordBlock::StoreOne(EepromImage& image, RecordKind k, int index, const ItemRecord& record) {
  ItemRecord r = record;
  r.Attach(&image);
  r.kind = k;
  r.index = index;
  r.Store();
}

ItemRecord RecordBlock::EmptyRecord(EepromImage& image, RecordKind k) {
  ItemRecord r(&image);
  r.kind = k;
  r.firstEmpty = true;
  r.secondEmpty = true;
  // Names of an empty record are blank rather than zero bytes, which the
  // radio could not show.
  r.name.fill(' ');
  r.shortName.fill(' ');
  if (k == RecordKind::DscId) {
    r.id.fill(0xFF);
    r.valid = false;
  }
  return r;
}

void RecordBlock::Take(EepromImage& image, RecordKind k, int firstIndex, int count) {
  Clear();
  if (count <= 0) return;
  kind = k;
  first = firstIndex;
  records.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) LoadOne(image, k, firstIndex + i, records[static_cast<size_t>(i)]);
}

void RecordBlock::TakeEmpty(EepromImage& image, RecordKind k, int firstIndex, int count) {
  Clear();
  if (count <= 0) return;
  kind = k;
  first = firstIndex;
  records.assign(static_cast<size_t>(count), EmptyRecord(image, k));
}

void RecordBlock::Put(EepromImage& image, RecordKind k, int at, int count) const {
  if (!Holds(k)) return;
  const int n = std::min(Count(), count);
  for (int i = 0; i < n; ++i) StoreOne(image, k, at + i, records[static_cast<size_t>(i)]);
}

RecordBlock& RecordClipboard() {
  static RecordBlock clipboard;
  return clipboard;
}

// ---- ranges and permissions ------------------------------------------------

RowRange RowRangeOf(RecordKind kind) {
  switch (kind) {
    case RecordKind::IntChannel:
    case RecordKind::UsaChannel:
    case RecordKind::CanadaChannel:
      return {0, mem::kSlotCount - 1};
    case RecordKind::Weather:
      return {0, mem::kWeatherCount - 1};
    case RecordKind::FreeChannel:
      return {0, mem::kFreeChannelCount - 1};
    case RecordKind::DscId:
      return {0, mem::kDscIdCount - 1};
    default:
      return {};
  }
}

bool KindPermitsRowEditing(RecordKind kind) {
  return g_rowEditingPermitted && RowRangeOf(kind).first <= RowRangeOf(kind).last;
}

void SetRowEditingPermitted(bool permitted) { g_rowEditingPermitted = permitted; }

bool RowsEmpty(EepromImage& image, RecordKind kind, int lo, int hi) {
  ItemRecord r(&image);
  for (int i = lo; i <= hi; ++i) {
    r.Load(kind, i);
    if (!r.IsLoaded()) continue;
    if (kind != RecordKind::DscId || r.valid) return false;
  }
  return true;
}

// ---- the operations ----------------------------------------------------------

namespace {

void Copy(CellAccessContext& ctx, EepromImage& image, RecordKind kind, int r, int lo, int hi,
          int first, int last, DocumentHooks& hooks) {
  if (r < first || r > last) return;
  lo = std::max(lo, first);
  hi = std::min(hi, last);
  if (hi < lo) return;
  RecordClipboard().Take(image, kind, lo, hi - lo + 1);
  SelectRange(ctx, lo, hi);
  Report(hooks, "GI_AppMess_S_Copy");
}

void Paste(CellAccessContext& ctx, EepromImage& image, RecordKind kind, int r, int first, int last,
           DocumentHooks& hooks) {
  RecordBlock& clip = RecordClipboard();
  if (r < first || r > last || !clip.Holds(kind)) return;
  const int n = std::min(last - r + 1, clip.Count());
  if (n <= 0) return;
  if (!RowsEmpty(image, kind, r, r + n - 1) && !Confirm(hooks, "GI_AppMess_Conv_Overwrite")) return;
  clip.Put(image, kind, r, n);
  if (n == 1)
    hooks.Post(msg::kRepaintIndex, 0, r);
  else
    hooks.Post(msg::kRepaintAll, 0, 0);
  SelectRange(ctx, r, r + n - 1);
  Report(hooks, "GI_AppMess_S_Paste");
}

void Carry(CellAccessContext& ctx, EepromImage& image, RecordKind kind, int d, int lo, int hi,
           int first, int last, DocumentHooks& hooks) {
  if (d < 0 ? lo <= first : hi >= last) return;
  if (lo < first || hi > last) return;
  RecordBlock neighbour, range;
  neighbour.Take(image, kind, d > 0 ? hi + 1 : lo - 1, 1);
  range.Take(image, kind, lo, hi - lo + 1);
  range.Put(image, kind, lo + d, hi - lo + 1);
  neighbour.Put(image, kind, d > 0 ? lo : hi, 1);
  SelectRange(ctx, lo + d, hi + d);
  JumpTo(ctx, d > 0 ? hi + d : lo + d);
  hooks.Post(msg::kRepaintAll, 0, 0);
}

void Clear(CellAccessContext&, EepromImage& image, RecordKind kind, int lo, int hi,
           DocumentHooks& hooks) {
  if (!KindPermitsRowEditing(kind)) return;
  if (!Confirm(hooks, "GI_AppMess_Conv_Clear")) return;
  StoreEmpty(image, kind, lo, hi, hooks);
  Report(hooks, "GI_AppMess_S_Clear");
}

void Delete(CellAccessContext& ctx, EepromImage& image, RecordKind kind, int lo, int hi, int last,
            DocumentHooks& hooks) {
  if (!KindPermitsRowEditing(kind)) return;
  const int n = hi - lo + 1;
  if (!RowsEmpty(image, kind, lo, hi) && !Confirm(hooks, "GI_AppMess_Conv_Delete")) return;
  if (hi < last) MoveRecords(image, kind, hi + 1, last - hi, lo);
  StoreEmpty(image, kind, last - n + 1, last, hooks);
  ctx.selectionFlags &= static_cast<std::uint8_t>(~selection::kApplyRange);
  JumpTo(ctx, lo);
  hooks.Post(msg::kRepaintAll, 0, 0);
  Report(hooks, "GI_AppMess_S_Delete");
}

void Insert(CellAccessContext& ctx, EepromImage& image, RecordKind kind, int lo, int hi, int last,
            DocumentHooks& hooks) {
  if (!KindPermitsRowEditing(kind)) return;
  const int n = hi - lo + 1;
  if (!RowsEmpty(image, kind, last - n + 1, last) && !Confirm(hooks, "GI_AppMess_Conv_Overflow"))
    return;
  if (hi < last) MoveRecords(image, kind, lo, last - n - lo + 1, hi + 1);
  StoreEmpty(image, kind, lo, hi, hooks);
  hooks.Post(msg::kRepaintAll, 0, 0);
  SelectRange(ctx, lo, hi);
  Report(hooks, "GI_AppMess_S_Insert");
}

}  // namespace

void RowOperation(CellAccessContext& ctx, ItemRecord& record, int first, int last,
                  DocumentHooks& hooks) {
  if (record.image == nullptr || ctx.cell == nullptr) return;
  EepromImage& image = *record.image;
  const RecordKind kind = record.kind;
  const int r = record.index;
  if (kind == RecordKind::None || r < first || r > last) return;
  int lo = r, hi = r;
  if (ctx.selectionFlags & selection::kMultiActive) {
    lo = std::min(ctx.rangeLow, ctx.rangeHigh);
    hi = std::max(ctx.rangeLow, ctx.rangeHigh);
  }
  // Clamp the selected range: an operation never touches rows outside the
  // kind's range.
  const int clo = std::max(lo, first), chi = std::min(hi, last);
  switch (ctx.command) {
    case CL_PMenu_Copy: Copy(ctx, image, kind, r, lo, hi, first, last, hooks); break;
    case CL_PMenu_Paste: Paste(ctx, image, kind, r, first, last, hooks); break;
    case CL_PMenu_CarryUp: Carry(ctx, image, kind, -1, clo, chi, first, last, hooks); break;
    case CL_PMenu_CarryDown: Carry(ctx, image, kind, +1, clo, chi, first, last, hooks); break;
    case CL_PMenu_Clear: Clear(ctx, image, kind, clo, chi, hooks); break;
    case CL_PMenu_Delete: Delete(ctx, image, kind, clo, chi, last, hooks); break;
    case CL_PMenu_Insert: Insert(ctx, image, kind, clo, chi, last, hooks); break;
    default: break;
  }
  record.Reload();
}

std::vector<KeyUse> RowOperationKeys() {
  std::vector<KeyUse> keys;
  for (const char* k :
       {"GI_AppMess_S_Copy", "GI_AppMess_S_Paste", "GI_AppMess_S_Clear", "GI_AppMess_S_Delete",
        "GI_AppMess_S_Insert", "GI_AppMess_Conv_Overwrite", "GI_AppMess_Conv_Clear",
        "GI_AppMess_Conv_Delete", "GI_AppMess_Conv_Overflow"})
    keys.push_back({k, ResourceFile::Main, 1});
  return keys;
}

}  // namespace twk
