#include "sheet/CellAccess.h"

namespace twk {
namespace {
LabelHandlerRef& Standard() {
  static LabelHandlerRef handler;
  return handler;
}
}  // namespace

LabelHandlerRef StandardLabelHandler() { return Standard(); }

LabelHandlerRef SetStandardLabelHandler(LabelHandlerRef handler) {
  LabelHandlerRef previous = Standard();
  Standard() = handler;
  return previous;
}

}  // namespace twk
