// The main window's two image lists: six tree pictures (0 rig, 1 folder,
// 2 note, 3 second note, 4 warning mark, 5 error mark) and eighteen toolbar
// pictures in the order of the toolbar's "ImageIndex" values (0 New, 1 Open,
// 2 Save, 3-6 COM1-COM4, 7 Clone Read, 8 Clone Write, 9 Clone Info, 10 pen,
// 11 fill, 12 slider, 13-16 first / previous / next / last page, 17 zoom).
// The pictures are drawn here; no picture files are needed.
#pragma once

#include "sheet/qt/QtCanvas.h"

namespace twk {

QtImageList MakeTreeImages(int size = 16);
QtImageList MakeToolbarImages(int size = 16);

}  // namespace twk
