// The memory map of the TW-K208 family's EEPROM as the program uses it.
// All multi-byte numbers are little-endian. Every address the program reads
// or writes by name is listed here; item records (ItemRecord.h) read the
// tables, the settings cells read single bytes and bits.
#pragma once

namespace twk::mem {

// --- Image ----------------------------------------------------------------
constexpr int kImageSize = 0x1001;    // every image: 0x000-0x1000
constexpr int kClonedFirst = 0x000;   // cloned, saved and loaded: 0x000-0xFFF
constexpr int kClonedLast = 0xFFF;
constexpr int kWriteLastNormal = 0xFEB;  // Clone Write outside maker mode
constexpr int kOutsideClone = 0x1000;    // never loaded, saved or sent

// --- Plan tables: one attribute byte per channel slot ---------------------
// Plan index k (used for the per-plan words): USA 0, INT 1, CANADA 2, the
// same order as the tables.
constexpr int kPlanUsa = 0;
constexpr int kPlanInt = 1;
constexpr int kPlanCanada = 2;
constexpr int kPlanCount = 3;
constexpr int kPlanTableUsa = 0x000;
constexpr int kPlanTableInt = 0x100;
constexpr int kPlanTableCanada = 0x200;
constexpr int kPlanTableSize = 0x100;
constexpr int PlanTable(int k) { return 0x100 * k; }
constexpr int kSlotCount = 256;
// Slots 234-255 of every plan table belong to the free channels.
constexpr int kFirstFreeSlot = 234;

// Channel attribute byte bits and the item record flag each one carries.
constexpr int kAttrNotInUse = 0x80;  // flag 0: slot not in use
constexpr int kAttrTag = 0x40;       // flag 1: tag
constexpr int kAttrLowPower = 0x20;  // flag 3: 1 W restriction (the "Poc" column)
constexpr int kAttrTxInhibit = 0x04; // flag 2: receive only
constexpr int kAttrSimplex = 0x02;   // flag 4: simplex (always read set for odd slots < 234)
constexpr int kAttrCarried = 0x80 | 0x40 | 0x20 | 0x04 | 0x02;
constexpr int kAttrFromTemplate = 0x01 | 0x08 | 0x10;  // bits 0, 3, 4

// --- Free channel records -------------------------------------------------
constexpr int kFreeChannels = 0x310;
constexpr int kFreeChannelCount = 22;
constexpr int kFreeChannelSize = 8;
constexpr int kFreeFirstCode = 0;    // u16: frequency = code * 6250 + 21,700,000 Hz
constexpr int kFreeSecondCode = 2;   // u16: frequency = code * 6250 Hz
constexpr int kFreeShortName = 4;    // 3 characters
constexpr int kFreeShortNameLength = 3;
constexpr int kFreeFixed = 7;        // taken from the template
constexpr unsigned kFreqStep = 6250;
constexpr unsigned kFirstFreqOffset = 21700000;
constexpr int FreeChannel(int i) { return kFreeChannels + kFreeChannelSize * i; }

// --- Fixed and identification bytes ---------------------------------------
constexpr int kFixedBlock1 = 0x3D0;  // 0x3D0-0x3D7, from the template
constexpr int kFixedBlock1Size = 8;
constexpr int kFixed3D8 = 0x3D8;
constexpr int kModelIndex = 0x3D9;   // model index of the image
constexpr int kFormatMarker = 0x3DA; // must be 1 for a loaded image
constexpr int kFormatMarkerValue = 1;

constexpr int kCloneComment = 0x3E0;  // 16 characters, space padded
constexpr int kCloneCommentLength = 16;

constexpr int kSelfId = 0x3F0;        // 10 packed digits (9 used)
constexpr int kSelfIdCheck = 0x3F5;   // ones' complement of the low byte of the sum
constexpr int kSelfIdState = 0x3F6;   // 0 when the stored self ID is valid

// --- Per-plan words and settings ------------------------------------------
constexpr int kPlanSlotWords = 0x400;   // word at 0x400 + 2k
constexpr int kCurrentWeather = 0x407;  // 0-9
constexpr int kSetting409 = 0x409;
constexpr int kSetting40A = 0x40A;
constexpr int kSetting40B = 0x40B;      // from the template only when the USA plan is present
constexpr int kSetting40C = 0x40C;      // 0x40C-0x40E from the template
constexpr int kSetting40D = 0x40D;
constexpr int kSetting40E = 0x40E;
constexpr int kPChannelWords = 0x410;   // P channel slot per plan: word at 0x410 + 2k
constexpr int kWeatherFlags = 0x416;    // u16, bit n = weather channel n
constexpr int kPlanSwitches = 0x418;    // bit 0 USA, bit 1 weather, bit 2 CANADA, bits 3-5 options
constexpr int kSwitchUsa = 0x01;
constexpr int kSwitchWeather = 0x02;
constexpr int kSwitchCanada = 0x04;
constexpr int kOptions419 = 0x419;      // bits 5 and 6
constexpr int kDisplayHigh = 0x41A;     // bit 5 INT, bit 4 USA, bit 6 CANADA
constexpr int kDisplayHighPlanBits = 0x70;
constexpr int kDisplayLow = 0x41B;      // bit 1 INT, bit 0 USA, bit 2 CANADA
constexpr int kAppearance = 0x41C;      // bits 0-5
constexpr int kFixed421 = 0x421;
constexpr int kDscSettings = 0x426;     // 0x426-0x42C
constexpr int kDscSettingsSize = 7;
constexpr int kCChannelWords = 0x430;   // C channel slot per plan: word at 0x430 + 2k
constexpr int kCommonSettings = 0x436;  // bits 0-6; bit 7 from the template
constexpr int kFixed437 = 0x437;
constexpr int kWeatherAlert = 0x438;
constexpr int kMakerSwitches = 0x439;   // bits 6 and 7
constexpr int PSlotWord(int k) { return kPlanSlotWords + 2 * k; }
constexpr int PChannelWord(int k) { return kPChannelWords + 2 * k; }
constexpr int CChannelWord(int k) { return kCChannelWords + 2 * k; }

// --- DSC individual IDs ---------------------------------------------------
constexpr int kDscIds = 0x43E;
constexpr int kDscIdCount = 30;
constexpr int kDscIdSize = 11;
constexpr int kDscIdDigits = 0;      // 5 packed bytes; empty = five 0xFF
constexpr int kPackedIdSize = 5;
constexpr int kDscIdName = 5;        // 5 characters
constexpr int kDscNameLength = 5;
constexpr int kDscIdFixed = 10;      // taken from the template
constexpr int DscId(int i) { return kDscIds + kDscIdSize * i; }

// --- Names ----------------------------------------------------------------
constexpr int kNameLength = 10;
constexpr int kWeatherNames = 0x588;   // 10 x 10
constexpr int kWeatherCount = 10;
constexpr int kChannelNames = 0x5EC;   // 256 x 10, shared by the three plans
constexpr int WeatherName(int i) { return kWeatherNames + kNameLength * i; }
constexpr int ChannelName(int slot) { return kChannelNames + kNameLength * slot; }

// --- Maker adjustment area ------------------------------------------------
constexpr int kMakerDscAmp13 = 0xFEC;
constexpr int kMakerDscAmp21 = 0xFED;
constexpr int kFixedBlock2 = 0xFEE;    // 0xFEE-0xFF5, from the template
constexpr int kFixedBlock2Size = 8;
constexpr int kFixedFF6 = 0xFF6;
constexpr int kFixedFF7 = 0xFF7;
constexpr int kMakerTotTimer = 0xFF9;  // u16, 0-600
constexpr int kMakerScanSpeed = 0xFFB; // 30-200

}  // namespace twk::mem
