// SetMenuItems: the two tray menus, built into the main window's menu item
// array mnuShow. Both expect the array to hold element 0 only.
#pragma once

namespace tamberlinox {
struct Program;
namespace SetMenuItems {

// Refills the desktop item lists, then one entry per List4 item, in List4's order.
void BuildDesktopMenu(Program& program);
// The thirteen command entries; their captions follow the program's state.
void BuildCommandMenu(Program& program);

}  // namespace SetMenuItems
}  // namespace tamberlinox
