// mnuShow_Click: what a chosen tray menu entry does, decided by its caption.
#include <string>

#include "app/Program.h"
#include "desktop/Desktop.h"
#include "menu/Captions.h"
#include "menu/Module1.h"
#include "settings/Settings.h"
#include "settings/modRegistry.h"

namespace tamberlinox {

using namespace platform;
namespace c = captions;

namespace {

constexpr char kExplorer[] = "explorer.exe";
constexpr char kOpenPlace[] = "Open";  // rules for the shell places and the help file
constexpr char kOpenItem[] = "open";   // a desktop item
constexpr char kPlaceFolder[] = "0";   // the working folder given with the shell places
constexpr char kRecycleBinParameters[] = "/root,::{645FF040-5081-101B-9F08-00AA002F954E}";
constexpr char kMyComputerParameters[] = " /e";
constexpr char kHelpFile[] = "Help.txt";

constexpr char kCloseQuestion[] =
    "  Do You Want To Keep The StartUp Shortcut?\r\n\r\nYou Will Also Remove Your Hot Key Settings!";
constexpr char kInfoTitle[] = "Zemrik Info.....";

}  // namespace

void TamberlinoxForm::mnuShow_Click(int index) {
  Platform& os = program_.os;
  if (form() == nullptr) return;
  form()->Hide();  // the desktop enumeration showed it
  const std::string caption = form()->MenuCaption(index);

  // The command menu's entries run commands; a desktop item never does, even
  // when a shortcut is called "Close Program" or "About...". Only the three
  // shell places are recognised by name in the desktop menu.
  const bool commands = builtMenu == MenuKind::Commands;

  if (commands && caption == c::kMinimizeAllWindows) {
    MinimizeAll();
    program_.WindowsMinimized = true;
  } else if (commands && caption == c::kRestoreAllWindows) {
    RestoreAll();
    program_.WindowsMinimized = false;
  } else if (commands && caption == c::kHideDesktop) {
    desktop::ShowDesktopIcons(os, false);
  } else if (commands && caption == c::kShowDesktop) {
    desktop::ShowDesktopIcons(os, true);
  } else if (commands && caption == c::kSelectHotKey) {
    program_.frmHotKeySet.Show();
  } else if (commands && caption == c::kCloseProgram) {
    CloseProgram();
  } else if (commands && caption.compare(0, 5, c::kAbout) == 0) {
    program_.frmAbout.Show();
  } else if (caption == c::kRecycleBin) {
    os.ShellExecuteA(0, kOpenPlace, kExplorer, kRecycleBinParameters, kPlaceFolder, kSwShowNormal);
  } else if (caption == c::kMyComputer) {
    os.ShellExecuteA(0, kOpenPlace, kExplorer, kMyComputerParameters, kPlaceFolder, kSwShowNormal);
  } else if (caption == c::kMyDocuments) {
    // The file manager opens on the user's documents folder when the shell knows it.
    std::string documents = Module1::GetSpecialFolderPath(os, Handle(), Module1::kCsidlPersonal);
    // Quoted for its blanks, with no backslash before the closing quote, where
    // it would read as an escaped quote. A drive's root has no blanks: it goes as
    // it is ("D:\\"), since "D:" alone would name the drive's current folder.
    std::string parameters = documents;
    if (documents.find(' ') != std::string::npos) {
      if (documents.back() == '\\') documents.pop_back();
      parameters = "\"" + documents + "\"";
    } else if (documents.size() > 3 && documents.back() == '\\') {
      parameters.pop_back();
    }
    os.ShellExecuteA(0, kOpenPlace, kExplorer, parameters.empty() ? nullptr : parameters.c_str(), kPlaceFolder,
                     kSwShowNormal);
  } else if (commands && caption == c::kMakeADonation) {
    program_.frmAbout.MakeADonation();
  } else if (commands && caption == c::kProgramHelp) {
    const std::string help = Module1::AddBackslash(os.ProgramFolder()) + kHelpFile;
    const std::string current = os.CurrentFolder();
    os.ShellExecuteA(0, kOpenPlace, help.c_str(), nullptr, current.c_str(), kSwShow);
  } else {
    OpenDesktopItem(index, caption);
  }
}

// Two items can share a display name: the k-th entry of a caption in the menu
// (List4) opens the k-th item of that name in List2, whose path is in List1.
void TamberlinoxForm::OpenDesktopItem(int index, const std::string& caption) {
  Platform& os = program_.os;
  Form& window = *form();
  int occurrence = 0;
  for (int i = 0; i < index; ++i) {
    if (window.Item(List4, i) == caption) ++occurrence;
  }
  const int count = window.ItemCount(List2);
  for (int i = 0; i < count; ++i) {
    if (window.Item(List2, i) != caption) continue;
    if (occurrence-- > 0) continue;
    const std::string path = window.Item(List1, i);
    const std::string current = os.CurrentFolder();
    os.ShellExecuteA(Handle(), kOpenItem, path.c_str(), nullptr, current.c_str(), kSwShow);
    return;
  }
  // The lists and the menu disagree: nothing is opened.
}

void TamberlinoxForm::CloseProgram() {
  namespace s = settings;
  Platform& os = program_.os;

  if (os.MessageBoxA(0, kCloseQuestion, kInfoTitle, kMbYesNo | kMbIconQuestion) == kIdNo) {
    std::string ignored;
    if (modRegistry::ReadValue(os, s::kRunRoot, s::kRunKey, s::kRunValue, s::kTypeText, "", ignored) == 0) {
      modRegistry::DeleteValue(os, s::kRunRoot, s::kRunKey, s::kRunValue);
    }
    modRegistry::DeleteKey(os, s::kRoot, s::kKeyPath);
  }

  // The hot key goes before the icons come back, so a last press cannot hide
  // them again after the program has ended.
  if (program_.GlobalAtom) os.UnregisterHotKey(Handle(), program_.GlobalAtom->Value());
  desktop::ShowDesktopIcons(os, true);
  os.SetDefaultMousePointer();
  ShellTrayRemove();
  if (form()) form()->EnableTimer(Timer1, true);
}

}  // namespace tamberlinox
