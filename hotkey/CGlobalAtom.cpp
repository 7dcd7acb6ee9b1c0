#include "hotkey/CGlobalAtom.h"

namespace tamberlinox {

CGlobalAtom::CGlobalAtom(platform::Platform& os) : os_(os) {
  // The text is the local date and time (short date, long time), so two
  // instances made within the same second share one atom: the atom table's
  // reference count then keeps it alive for the newer one.
  atom_ = static_cast<std::int32_t>(os_.GlobalAddAtomA(os_.LocalDateTimeText()));
}

CGlobalAtom::~CGlobalAtom() { os_.GlobalDeleteAtom(static_cast<std::uint32_t>(atom_)); }

}  // namespace tamberlinox
