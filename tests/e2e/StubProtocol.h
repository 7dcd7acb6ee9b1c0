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

}  // namespace e2e
