// What the harness and the stand-ins of tests/e2e/stubs agree on. Plain C++:
// the stubs include it too.
#pragma once

namespace e2e {

// The stand-in wininet.dll answers InternetGetConnectedState from the string
// values under HKCU\<kWininetKey>, read at every call:
//   "Connected"  "1": the call returns TRUE; anything else or absent: FALSE
//   "Flags"      decimal text of the flags it fills in (absent: 0)
// and records each call there:
//   "Calls"      decimal count of the calls so far
//   "Reserved"   decimal text of the second argument of the last call
//   "Caller"     the full path of the program that called
inline constexpr char kWininetKey[] = "Software\\TamberlinoxE2E\\Wininet";

// The stand-in browser (e2e_browser.exe), registered by a test as the shell's
// "open" command of http and https with the argument "%1", records every start
// as "Opened1", "Opened2", ... (its whole argument) and "Count" under
// HKCU\<kBrowserKey>, then ends.
inline constexpr char kBrowserKey[] = "Software\\TamberlinoxE2E\\Browser";

// The stand-in browser automation server (e2e_automation.exe), a local COM
// server that a test registers as the class of "InternetExplorer.Application",
// reads its orders from and records what it is asked under HKCU\<kAutomationKey>:
//   "Mode"       "NeverReady": ReadyState reads 1 (loading) for ever;
//                "Hang": the first ReadyState read never returns;
//                anything else or absent: ReadyState reads 4 (complete)
//   "Pid"        decimal process id, written as it starts
//   "Navigated"  the address of the last Navigate
//   "Reads"      decimal count of the ReadyState reads begun
//   "Hanging"    "1" once it is inside the read that never returns
//   "Visible"    "1" or "0", the last value Visible was set to
//   "Quit"       "1" once Quit was called
//   "Released"   "1" once the object was released (the stand-in then ends, quit or not)
inline constexpr char kAutomationKey[] = "Software\\TamberlinoxE2E\\Automation";
inline constexpr char kAutomationClass[] = "{E2E40001-0000-0000-0000-00000000E2E4}";

}  // namespace e2e
