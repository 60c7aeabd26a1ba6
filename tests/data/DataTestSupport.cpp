#include "data/DataTestSupport.h"

#include "data/Normalize.h"
#include "file/CloneOpen.h"

namespace twk::test {

DataEnv::DataEnv() : lists_(&main_) {
  main_.SetFile((BinDir() / "TWK208.OVL").string());
  help_.SetFile((BinDir() / "TWK208H.OVL").string());
  SetTextStores(&main_, &help_);
  prevLists_ = codec::SetSelectionLists(&lists_);
  prevHooks_ = SetDocumentHooks(&hooks);
  hooks.image.Resize(EepromImage::kModelSize);
  const int rc = LoadCloneFile((BinDir() / "TWK208_Initial.cln").string(), EepromImage::kModelSize,
                               hooks.image, nullptr);
  EXPECT_EQ(rc, 0) << "the initial clone file loads";
  NormalizeImage(hooks.image, EepromImage(hooks.image), 0);
  initial.Assign(hooks.image);
}

DataEnv::~DataEnv() {
  SetDocumentHooks(prevHooks_);
  codec::SetSelectionLists(prevLists_);
  SetTextStores(nullptr, nullptr);
}

DataEnv::Result DataEnv::Run(CellDescriptor& cell, CellAccessContext& ctx, int mode) {
  ctx.cell = &cell;
  ctx.sender = &dummyGrid_;  // an interactive context: keys count
  Result r;
  r.rc = HandleLabel(&hooks, ctx, mode);
  r.output = ctx.outputText;
  r.ctx = ctx;
  r.ctx.cell = nullptr;
  r.ctx.parent = nullptr;
  return r;
}

static CellDescriptor CellOf(int category, int label, int index) {
  CellDescriptor d;
  d.category = category;
  d.label = label;
  d.index = index;
  return d;
}

std::string DataEnv::Show(int category, int label, int index) {
  CellDescriptor d = CellOf(category, label, index);
  CellAccessContext ctx;
  ctx.cell = &d;
  HandleLabel(&hooks, ctx, kModeDisplay);
  return ctx.outputText;
}

std::uint8_t DataEnv::Marks(int category, int label, int index) {
  return MarksOf(category, label, index, &hooks);
}

DataEnv::Result DataEnv::Key(int category, int label, int index, int key) {
  CellDescriptor d = CellOf(category, label, index);
  CellAccessContext ctx;
  ctx.key = key;
  return Run(d, ctx, kModeAction);
}

DataEnv::Result DataEnv::Commit(int category, int label, int index, const std::string& text) {
  CellDescriptor d = CellOf(category, label, index);
  CellAccessContext ctx;
  ctx.inputKind = kInputCommitted;
  ctx.inputText = text;
  return Run(d, ctx, kModeAction);
}

DataEnv::Result DataEnv::Choose(int category, int label, int index, int value) {
  // The popup window calls the owner cell with its chosen list cell (label
  // Flex0, index = the value) in the parent field and input kind 2.
  CellDescriptor chosen = CellOf(CT_Null, Flex0, value);
  CellAccessContext chosenCtx;
  chosenCtx.cell = &chosen;
  CellDescriptor d = CellOf(category, label, index);
  CellAccessContext ctx;
  ctx.parent = &chosenCtx;
  ctx.inputKind = kInputPopupEnter;
  return Run(d, ctx, kModeAction);
}

DataEnv::Result DataEnv::Command(int category, int label, int index, int command, int lo, int hi) {
  CellDescriptor d = CellOf(category, label, index);
  CellAccessContext ctx;
  ctx.command = command;
  if (lo >= 0) {
    ctx.selectionFlags = selection::kMultiActive;
    ctx.rangeLow = lo;
    ctx.rangeHigh = hi;
  }
  return Run(d, ctx, kModeAction);
}

std::string DataEnv::StatusOf(const char* key) const { return MainText().GetLine(key, 0); }

}  // namespace twk::test
