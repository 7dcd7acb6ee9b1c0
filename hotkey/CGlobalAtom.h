// CGlobalAtom: a global atom named after the moment of its creation. Its Value
// identifies the program's hot key; a new hot key needs a new instance.
#pragma once

#include <cstdint>

#include "platform/Platform.h"

namespace tamberlinox {

class CGlobalAtom {
 public:
  // Adds the atom (Class_Initialize).
  explicit CGlobalAtom(platform::Platform& os);
  // Deletes it (Class_Terminate).
  ~CGlobalAtom();
  CGlobalAtom(const CGlobalAtom&) = delete;
  CGlobalAtom& operator=(const CGlobalAtom&) = delete;

  // The atom; 0 when the add failed.
  std::int32_t Value() const { return atom_; }

 private:
  platform::Platform& os_;
  std::int32_t atom_ = 0;
};

}  // namespace tamberlinox
