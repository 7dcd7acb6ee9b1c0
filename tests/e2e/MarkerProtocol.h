// What the harness and the marker program (marker/) agree on. Plain C++: the
// marker includes it too.
#pragma once

namespace e2e {

// Under HKEY_CURRENT_USER; one subkey per run of the marker, "1", "2", ...
inline constexpr char kMarkerKey[] = "Software\\TamberlinoxE2E\\Marker";

}  // namespace e2e
