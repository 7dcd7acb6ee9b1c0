// The captions of the tray menus. Menu entries have no identifiers: the
// dispatcher recognises an entry by its caption, exactly and case-sensitively.
#pragma once

namespace tamberlinox::captions {

inline constexpr char kSeparator[] = "-";
inline constexpr char kProgramHelp[] = "Program Help";
inline constexpr char kMakeADonation[] = "Make A Donation";
inline constexpr char kMinimizeAllWindows[] = "Minimize All Windows";
inline constexpr char kRestoreAllWindows[] = "Restore All Windows";
inline constexpr char kShowDesktop[] = "Show Desktop";
inline constexpr char kHideDesktop[] = "Hide Desktop";
inline constexpr char kSelectHotKey[] = "Select Hot Key";
inline constexpr char kCloseProgram[] = "Close Program";
inline constexpr char kAbout[] = "About";                    // any caption that starts with it
inline constexpr char kAboutVersion[] = "About----Version ";  // followed by major.minor

// The three shell places of the desktop menu.
inline constexpr char kMyComputer[] = "My Computer";
inline constexpr char kMyDocuments[] = "My Documents";
inline constexpr char kRecycleBin[] = "Recycle Bin";

}  // namespace tamberlinox::captions
