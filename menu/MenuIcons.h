// The pictures of the desktop menu's entries: which icon each entry asks for,
// and the pictures of a showing of the menu.
//
// An entry shows its type's icon at once: one picture per file type, made
// without reading any file. An entry whose item has an icon of its own
// (programs, shortcuts, icon files, customised folders) gets that one while
// the menu is up, the entries on the screen first, a few at a time between
// the user's moves, so that nothing waits for a slow file. The type pictures
// are kept from one menu to the next, up to a limit: the next menu has them
// at once, and its entries kept by the system then need no change. The own
// pictures go when the menu closes: the next one makes those on the screen
// again first, while the user looks.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "menu/DesktopItems.h"
#include "platform/Platform.h"

namespace tamberlinox::menu {

// The side in pixels of an entry's picture at this many pixels per inch: the
// small icon's size, 16 at 96 (100 %), 20 at 120, 24 at 144, 32 at 192.
int PictureSize(int dpi);

// What an entry's picture is made from.
struct EntryIcon {
  platform::IconSource type;                // shown at once
  std::optional<platform::IconSource> own;  // made while the menu is up
  std::uint64_t writeTime = 0;              // of the item: a changed item gets its own picture anew
};

// Which files Explorer shows with an icon of their own rather than their
// type's: those whose type names the file itself as its icon ("%1") or has an
// icon handler, and the well-known kinds (programs, shortcuts, icons) even
// where the registry says nothing. Asked once per type.
class OwnIconTypes {
 public:
  explicit OwnIconTypes(platform::Platform& os) : os_(os) {}
  bool Has(const std::string& fileName);

 private:
  platform::Platform& os_;
  std::map<std::string, bool> known_;  // by extension in lower case
};

// The type of a file as a picture source names it: its extension with the
// full stop, in lower case ("" for a name without one).
std::string TypeOf(const std::string& fileName);

// The icon an item asks for: a file its type's, then its own when it has one;
// a folder the folder icon, then its own when it is customised (read-only or
// system, as Explorer needs it to read its desktop.ini); a shell place its
// icon (the Recycle Bin's follows its state, see MenuPictures).
EntryIcon IconOf(const DesktopItem& item, OwnIconTypes& types);

// The type pictures, kept for the program's whole run, and the work of one
// showing of the menu.
class MenuPictures {
 public:
  // Type pictures (file types, folders, places) kept at most, unless more are
  // on the screen at once.
  static constexpr std::size_t kTypeLimit = 200;
  // Items' own pictures in one showing at most.
  static constexpr std::size_t kOwnLimit = 400;
  // Own pictures made in one slice of idle time.
  static constexpr int kOwnPerSlice = 8;

  explicit MenuPictures(platform::Platform& os) : os_(os) {}
  ~MenuPictures();  // deletes every picture
  MenuPictures(const MenuPictures&) = delete;
  MenuPictures& operator=(const MenuPictures&) = delete;

  // A showing of the menu begins; its pictures are size by size pixels.
  void Begin(int size);
  // The picture the entry shows at once. When the item's own picture is
  // still to be made, Fill makes it later and sets it at the entry's place.
  platform::MenuPicture Dress(int id, const platform::MenuPlace& place, const EntryIcon& icon);
  // A slice of the work while the menu is up: whether the Recycle Bin is
  // empty, then the own pictures of the entries on the screen, then of the
  // others in the menu's order. True while more can be done now.
  bool Fill(platform::Window& menu);
  // The showing has ended: its own pictures are deleted, and nothing of it
  // is kept but the type pictures.
  void End();

  // Entries still waiting for their own picture.
  std::size_t Waiting() const { return waiting_; }

 private:
  struct Slot {
    platform::MenuPicture picture = 0;  // 0: the system had none; not asked again
    std::uint64_t used = 0;             // when last asked for
    bool shown = false;                 // by an entry of the menu that is up
    int shownBy = 0;                    // an own picture: the entry showing it
  };
  using Cache = std::map<std::string, Slot>;
  struct TypeSlot {
    std::string key;  // the source's kind and type
    Slot slot;
  };
  // An entry of this showing that has an own picture.
  struct Owned {
    platform::MenuPlace place;
    platform::IconSource own;
    std::string key;                  // of its own picture
    platform::MenuPicture type = 0;   // its type's picture
    bool waiting = false;             // for its own picture
  };

  platform::MenuPicture TypePicture(const platform::IconSource& source);
  // Makes room for one more type picture by deleting the one used longest
  // ago that the open menu does not show, if there is one.
  void MakeTypeRoom();
  // Makes room for one more own picture: when every one is shown, the own
  // picture of an entry off the screen goes, which shows its type's again and
  // waits. False when there is no room.
  bool MakeOwnRoom(platform::Window& menu, const std::vector<int>* onScreen);
  // Makes the own picture of a waiting entry (see MakeOwnRoom for onScreen);
  // false when there was no room for it.
  bool MakeOwn(platform::Window& menu, int id, Owned& owned, const std::vector<int>* onScreen);
  void DeleteTypes();

  platform::Platform& os_;
  int size_ = 0;
  std::uint64_t clock_ = 0;
  // Their records are made before the first showing lists anything, so that
  // they lie apart from what a showing leaves behind when it ends: its memory
  // then goes back whole.
  std::vector<TypeSlot> types_;
  // This showing.
  Cache owns_;                      // by path and last write
  std::map<int, Owned> owned_;      // by entry id: ids follow the menu's order
  std::size_t waiting_ = 0;         // of them still waiting
  std::vector<platform::MenuPlace> recycleBins_;  // entries showing the Recycle Bin
  bool recycleBinFull_ = false;     // as last seen
  bool recycleBinToCheck_ = false;
};

}  // namespace tamberlinox::menu
