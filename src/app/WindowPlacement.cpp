#include "app/WindowPlacement.h"

namespace twk {

WindowBounds MoveOntoWorkArea(WindowBounds b, const WorkArea& a) {
  if (b.left > a.right - kReachableMargin) b.left = a.right - kReachableMargin;
  if (b.top > a.bottom - kReachableMargin) b.top = a.bottom - kReachableMargin;
  if (b.left + b.width < a.left + kReachableMargin) b.left = a.left + kReachableMargin - b.width;
  if (b.top < a.top) b.top = a.top;
  return b;
}

}  // namespace twk
