#include "sheet/Canvas.h"

namespace twk {

namespace {
int g_screenPpi = 96;
}

Color Canvas::ResolveSystemColor(Color c) {
  if (!IsSystemColor(c)) return c;
  switch (SystemColorIndex(c)) {
    case 1: return 0x00000000;   // background
    case 2: return 0x00D1B499;   // active caption
    case 3: return 0x00DBCDBF;   // inactive caption
    case 4: return 0x00F0F0F0;   // menu
    case 5: return 0x00FFFFFF;   // window
    case 6: return 0x00646464;   // window frame
    case 7: return 0x00000000;   // menu text
    case 8: return 0x00000000;   // window text
    case 9: return 0x00000000;   // caption text
    case 10: return 0x00B4B4B4;  // active border
    case 11: return 0x00FCF7F4;  // inactive border
    case 12: return 0x00ABABAB;  // app workspace
    case 13: return 0x00D77800;  // highlight
    case 14: return 0x00FFFFFF;  // highlight text
    case 15: return 0x00F0F0F0;  // button face
    case 16: return 0x00A0A0A0;  // button shadow
    case 17: return 0x006D6D6D;  // grey text
    case 18: return 0x00000000;  // button text
    case 19: return 0x00000000;  // inactive caption text
    case 20: return 0x00FFFFFF;  // button highlight
    default: return 0x00000000;
  }
}

int ScreenPixelsPerInch() { return g_screenPpi; }
void SetScreenPixelsPerInch(int ppi) { g_screenPpi = ppi > 0 ? ppi : 96; }

}  // namespace twk
