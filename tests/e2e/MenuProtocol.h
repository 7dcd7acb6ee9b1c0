// What the harness and the menu hook DLL (loaded into the program's process)
// agree on. Plain C++: the DLL includes it too.
#pragma once

namespace e2e {

// Sent to the open menu window ("#32768") with wParam = the window that wants
// the report. The hook, running on the menu's thread, answers with WM_COPYDATA.
inline constexpr char kReadMenuMessage[] = "TamberlinoxE2E.ReadMenu";
// dwData of the report.
inline constexpr unsigned long kMenuReportTag = 0x4D425854;
// The report: one line per entry, in menu order, fields separated by tabs:
//   fType (hex) \t state as GetMenuState gives it (hex) \t id \t picture \t
//   rectangle \t submenu \t caption \n
// picture: "-" for none, else kind:WIDTHxHEIGHTxBITS:transparent:opaque:hash, kind
//   "b" for the item's bitmap (hbmpItem), "c" for a bitmap in the item's data
//   that the program draws (hbmpItem = HBMMENU_CALLBACK); transparent and
//   opaque count the pixels whose alpha is 0 and 255 (32-bit bitmaps only);
//   hash (hex) is a hash of the pixels that tells pictures apart.
// rectangle: left,top,right,bottom on the screen (GetMenuItemRect).
// submenu: "s" when the entry opens a submenu, else "-".
// The caption is read with GetMenuStringW and sent as UTF-8; an unpaired
// surrogate in it comes as its own three bytes (see Utf8.h), never as U+FFFD.

}  // namespace e2e
