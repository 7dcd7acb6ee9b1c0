// toolkit_demo: the window toolkit on its own, for looking at it by hand.
//
//   toolkit_demo.exe [calls [browser]] [hotkey] [about | connecting] [menu]
//
// "hotkey" and "about" show look-alikes of the program's two dialogs
// ("connecting" the About window in its connecting state); "menu" pops up a
// command-style menu (with separators) at the mouse 300 ms after the start,
// through a window procedure put in front of the main window's own as the
// program does; "calls" makes the platform's other calls once each (with
// "browser", the web browser's too). Sizes and what happens are written to
// standard output. The process ends when every window is gone (Esc or Cancel,
// Close Form, a menu choice or Esc in the menu).
//
// What Wine 8 (virtual desktop on Xvfb) does differently from Windows, as seen
// with this program:
// - System colours: COLOR_CAPTIONTEXT is black and COLOR_WINDOWFRAME grey in
//   Wine's default scheme (white and black in the classic Windows one), so the
//   hot key dialog's combo box is black with grey text there.
// - "MS Sans Serif" becomes a wider TrueType substitute: the About text needs
//   more lines than its label has, and the 36 pt "  Connecting   Please Wait"
//   breaks after its leading blanks, leaving "Please Wait" below the label.
// - The caption buttons are drawn with a fallback font (an "r" for the close box).
// - Keys sent with xdotool reach an open popup menu or drop-down list only
//   while a Wine window has the X keyboard focus; after the last dialog has
//   closed they do not, mouse clicks still do.
// - A drop-down list opens upwards over its own edit field.
// - The web browser object takes about a second to create; Navigate and
//   Visible succeed, reading ReadyState fails (E_NOTIMPL).
// - InternetGetConnectedState answers TRUE with flags 0x12, network or not.
// - The script host shell object is known only by its ProgID.
#include "platform/win32/Win32.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>

#include "platform/ResourceIds.h"
#include "platform/win32/Handles.h"
#include "platform/win32/Win32Platform.h"

namespace {

using namespace tamberlinox::platform;
using tamberlinox::platform::win32::Win32Platform;

void Report(const char* format, ...) __attribute__((format(printf, 1, 2)));
void Report(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::vprintf(format, args);
  va_end(args);
  std::fflush(stdout);
}

void ReportClientSize(const char* name, const Form& form) {
  RECT r{};
  ::GetClientRect(reinterpret_cast<HWND>(form.Handle()), &r);
  Report("%s client %ldx%ld\n", name, r.right, r.bottom);
}

ControlSpec Control(int id, ControlKind kind, std::string text, TwipsRect bounds, FontSpec font) {
  ControlSpec c;
  c.id = id;
  c.kind = kind;
  c.text = std::move(text);
  c.bounds = bounds;
  c.font = std::move(font);
  return c;
}

FontSpec SansSerif(double points, bool bold, bool italic = false) { return FontSpec{"MS Sans Serif", points, bold, italic}; }

// ------------------------------------------------------------- hot key

class HotKeyDemo final : public FormEvents {
 public:
  enum { Label1 = 1, Label2, CheckBox1, CheckBox2, CheckBox3, ComboBox1, Command1, Command2 };

  explicit HotKeyDemo(Platform& os) : os_(os) {}

  void Open() {
    FormSpec spec;
    spec.caption = "Zemrik Tamberlinox Program";
    spec.clientWidth = 4500;
    spec.clientHeight = 2490;
    spec.frame = FormFrame::Sizable;
    spec.icon = IDI_FORMS;
    const Colour frame = Colour::System(kColorWindowFrame);
    auto label = [&](int id, std::string text, TwipsRect r) {
      ControlSpec c = Control(id, ControlKind::Label, std::move(text), r, SansSerif(8.25, true));
      c.align = TextAlign::Centre;
      c.transparent = true;
      c.hasForeColour = true;
      c.foreColour = frame;
      return c;
    };
    auto check = [&](int id, std::string text, TwipsRect r) {
      ControlSpec c = Control(id, ControlKind::CheckBox, std::move(text), r, SansSerif(8.25, true));
      c.hasForeColour = true;
      c.foreColour = frame;
      return c;
    };
    spec.controls.push_back(label(Label1, "Select One Or More Modifiers", {120, 120, 1335, 735}));
    spec.controls.push_back(label(Label2, "Select Your Hot Key F10 Is The Default", {2640, 120, 1935, 855}));
    spec.controls.push_back(check(CheckBox1, "Shift Button", {120, 720, 1935, 375}));
    spec.controls.push_back(check(CheckBox2, "Ctrl Button", {120, 1080, 1935, 375}));
    spec.controls.push_back(check(CheckBox3, "Alt Button", {120, 1440, 1935, 375}));
    ControlSpec combo = Control(ComboBox1, ControlKind::ComboBox, "", {2640, 960, 1695, 315}, SansSerif(8.25, true));
    combo.hasBackColour = true;
    combo.backColour = Colour::System(kColorCaptionText);
    combo.hasForeColour = true;
    combo.foreColour = frame;
    spec.controls.push_back(combo);
    ControlSpec cancel = Control(Command1, ControlKind::Button, "Cancel", {240, 1920, 1695, 495}, SansSerif(9.75, true));
    cancel.cancel = true;
    spec.controls.push_back(cancel);
    spec.controls.push_back(
        Control(Command2, ControlKind::Button, "Save Selection", {2520, 1920, 1695, 495}, SansSerif(8.25, true)));
    form_ = os_.CreateForm(spec, *this);
    if (!form_) return;

    std::vector<std::string> keys;
    for (int n = 1; n <= 12; ++n) keys.push_back("F" + std::to_string(n));
    for (char c = 'A'; c <= 'Z'; ++c) keys.push_back(std::string(1, c));
    form_->AddItems(ComboBox1, keys);
    form_->SetText(ComboBox1, "F10");
    form_->SetCheck(CheckBox2, 1);
    form_->Show();
    ReportClientSize("hotkey", *form_);
    Report("hotkey combo items %d, item 11 '%s', item 38 '%s'\n", form_->ItemCount(ComboBox1),
           form_->Item(ComboBox1, 11).c_str(), form_->Item(ComboBox1, 38).c_str());
  }

  void OnClick(int id) override {
    Report("hotkey click %d\n", id);
    if (id == Command2) {
      Report("hotkey save: key '%s' shift %d ctrl %d alt %d\n", form_->Text(ComboBox1).c_str(),
             form_->Check(CheckBox1), form_->Check(CheckBox2), form_->Check(CheckBox3));
      form_->Hide();
      os_.MessageBoxA(0, "Your Hot Key Changes Have Been Saved!", "Zemrik HotKey Select", kMbIconInformation);
    }
    if (id == Command1 || id == Command2) form_.reset();  // destroyed inside its own handler
  }
  void OnCloseBox() override {
    Report("hotkey close box\n");
    form_.reset();
  }

 private:
  Platform& os_;
  std::unique_ptr<Form> form_;
};

// ---------------------------------------------------------------- About

class AboutDemo final : public FormEvents {
 public:
  enum { Label1 = 1, Label2, Label5, Command1 };
  enum { Timer1 = 1 };

  explicit AboutDemo(Platform& os) : os_(os) {}

  void Open(bool connecting) {
    FormSpec spec;
    spec.caption = "About Zemrik Tamberlinox";
    spec.clientWidth = 4995;
    spec.clientHeight = 3495;
    spec.frame = FormFrame::Fixed;
    spec.icon = IDI_FORMS;
    spec.backgroundPicture = IDB_ABOUT_BACK;
    const Colour white = Colour::Rgb(255, 255, 255);
    std::string text =
        "I hope you find this program useful and enjoy using it. I wrote it so that I would not have to look at "
        "all the ugly icons scattered all over the desktop, but still wanted to have access to the shortcuts. :-)" +
        std::string(157, ' ') +
        "If you like the program and would like to make a contribution to help defray the cost of developing, "
        "maintaining and posting the program, click on the  option located at the top of the program options list.";
    ControlSpec l1 = Control(Label1, ControlKind::Label, text, {120, 120, 4935, 2295}, SansSerif(9.75, false));
    l1.transparent = true;
    l1.hasForeColour = true;
    l1.foreColour = white;
    l1.notifyMouse = true;
    ControlSpec l2 =
        Control(Label2, ControlKind::Label, "GoTo My Home Page", {0, 2400, 4935, 375}, SansSerif(18, true, true));
    l2.transparent = true;
    l2.hasForeColour = true;
    l2.foreColour = white;
    l2.align = TextAlign::Centre;
    l2.notifyMouse = true;
    ControlSpec l5 = Control(Label5, ControlKind::Label, "  Connecting   Please Wait", {0, 240, 4935, 1815},
                             SansSerif(36, true));
    l5.transparent = true;
    l5.hasForeColour = true;
    l5.foreColour = Colour::System(kColorHighlightText);
    l5.align = TextAlign::Centre;
    l5.visible = false;
    ControlSpec b = Control(Command1, ControlKind::Button, "Close Form", {1200, 2880, 2415, 495}, SansSerif(18, true));
    b.hasBackColour = true;
    b.backColour = white;
    b.picture = IDB_ABOUT_BUTTON;
    spec.controls = {l1, l2, l5, b};
    spec.timers = {TimerSpec{Timer1, 100}};
    form_ = os_.CreateForm(spec, *this);
    if (!form_) return;
    if (connecting) {
      form_->SetCaption("Internet Connection");
      form_->SetVisible(Command1, false);
      form_->SetVisible(Label1, false);
      form_->SetVisible(Label5, true);
    }
    form_->Show();
    form_->Refresh();
    ReportClientSize("about", *form_);
  }

  void OnMouseMove(int id) override {
    if (!form_) return;
    if (id == Label2) {
      form_->SetForeColour(Label2, Colour::Rgb(255, 0, 255));
      form_->SetText(Label2, "Click Here Now !!!");
    } else if (id == 0 || id == Label1) {
      form_->SetForeColour(Label2, Colour::Rgb(255, 255, 255));
      form_->SetText(Label2, "GoTo My Home Page");
    }
  }
  void OnClick(int id) override {
    Report("about click %d\n", id);
    if (id == Label2) {
      form_->SetVisible(Label2, false);
      form_->EnableTimer(Timer1, true);
    }
    if (id == Command1) {
      form_->Hide();
      form_.reset();  // destroyed inside its own handler
    }
  }
  void OnTimer(int id) override {
    Report("about timer %d\n", id);
    form_->EnableTimer(Timer1, false);
    form_.reset();  // destroyed inside its own timer
  }
  void OnCloseBox() override { form_.reset(); }

 private:
  Platform& os_;
  std::unique_ptr<Form> form_;
};

// ------------------------------------------------- the hidden main window

class MainDemo final : public FormEvents {
 public:
  enum { List1 = 101 };
  enum { PopupTimer = 1 };

  MainDemo(Platform& os, bool popup) : os_(os), popup_(popup) {}

  void Open(bool chain) {
    FormSpec spec;
    spec.caption = "Zemrik Program";
    spec.frame = FormFrame::Hidden;
    spec.icon = IDI_MAIN;
    spec.hasPopupMenu = true;
    spec.taskbarCreated = true;
    spec.controls.push_back(Control(List1, ControlKind::ListBox, "", {0, 0, 1200, 1200}, FontSpec{}));
    spec.timers = {TimerSpec{PopupTimer, 300}};
    form_ = os_.CreateForm(spec, *this);
    if (!form_) return;
    form_->SetSize(10, 10);
    form_->SetTop(-2000);
    if (chain) {
      // The program's way: its window procedure in front of the form's own.
      os_.SetWindowProcHandler([this](WindowHandle w, std::uint32_t m, WParam wp, LParam lp) -> LResult {
        if (m == kWmCommand) Report("chain saw WM_COMMAND %u\n", static_cast<unsigned>(wp));
        return os_.CallWindowProcA(previous_, w, m, wp, lp);
      });
      previous_ = os_.SetWindowLongA(form_->Handle(), os_.AddressOfWindowProc());
      Report("chain: previous is the class procedure: %s\n",
             previous_ == os_.GetClassWndProc(form_->Handle()) ? "yes" : "no");
    }
    std::vector<std::string> many;
    for (int i = 0; i < 2000; ++i) many.push_back("item " + std::to_string(i));
    form_->AddItems(List1, many);
    Report("list count %d, item 1999 '%s', past the end '%s'\n", form_->ItemCount(List1),
           form_->Item(List1, 1999).c_str(), form_->Item(List1, 2000).c_str());
    if (popup_) form_->EnableTimer(PopupTimer, true);
  }

  void OnTimer(int id) override {
    form_->EnableTimer(id, false);
    const char* captions[] = {"Program Help", "-", "Make A Donation", "-", "Minimize All Windows", "-",
                              "Show Desktop", "-", "Select Hot Key", "-", "Close Program", "-"};
    form_->MenuSetCaption(0, captions[0]);
    for (int i = 1; i < 12; ++i) {
      form_->MenuLoad(i);
      form_->MenuSetCaption(i, captions[i]);
    }
    int major = 0, minor = 0;
    os_.ProgramVersion(major, minor);
    form_->MenuLoad(12);
    form_->MenuSetCaption(12, "About----Version " + std::to_string(major) + "." + std::to_string(minor));
    Report("menu count %d, load 14 %d, load 12 %d, unload 0 %d\n", form_->MenuCount(), form_->MenuLoad(14),
           form_->MenuLoad(12), form_->MenuUnload(0));
    form_->Show();
    os_.SetForegroundWindow(form_->Handle());
    form_->PopupMenu();
    Report("popup returned\n");
    form_.reset();
  }
  void OnMenuClick(int index) override {
    Report("menu click %d '%s'\n", index, form_->MenuCaption(index).c_str());
  }
  void OnTaskbarCreated() override { Report("taskbar created\n"); }

  void Close() {
    if (form_ && previous_) os_.SetWindowLongA(form_->Handle(), previous_);
    form_.reset();
  }

 private:
  Platform& os_;
  bool popup_;
  std::unique_ptr<Form> form_;
  WndProcAddr previous_ = 0;
};

bool Has(const char* commandLine, const char* word) { return std::strstr(commandLine, word) != nullptr; }

// The platform's other calls, once each, with what they answered.
void ReportCalls(Platform& os, bool browser) {
  const std::string key = "Software\\Zemrik Software\\ToolkitDemo";
  RegKey k;
  std::int32_t r = os.RegCreateKeyExA(kHkeyCurrentUser, key, kKeySetValue | kKeyQueryValue, k);
  const std::string text = "121";
  std::int32_t w = os.RegSetValueExA(k, "Key", kRegSz, reinterpret_cast<const std::uint8_t*>(text.c_str()),
                                     static_cast<std::uint32_t>(text.size() + 1));
  std::uint32_t type = 0, size = 0;
  std::int32_t q0 = os.RegQueryValueExA(k, "Key", &type, nullptr, size);
  std::array<std::uint8_t, 16> data{};
  std::uint32_t small = 1;
  std::int32_t q1 = os.RegQueryValueExA(k, "Key", &type, data.data(), small);
  std::uint32_t big = static_cast<std::uint32_t>(data.size());
  std::int32_t q2 = os.RegQueryValueExA(k, "Key", &type, data.data(), big);
  Report("registry: create %d set %d size-only %d (size %u type %u) small %d (%u) read %d '%s'\n", r, w, q0,
         size, type, q1, small, q2, reinterpret_cast<const char*>(data.data()));
  // (Each call in its own statement: the order matters.)
  std::int32_t d1 = os.RegDeleteValueA(k, "Key");
  std::int32_t d2 = os.RegDeleteValueA(k, "Key");
  Report("registry: delete value %d, again %d\n", d1, d2);
  k.Close();
  std::int32_t dk = os.RegDeleteKeyA(kHkeyCurrentUser, key);
  RegKey gone;
  std::int32_t og = os.RegOpenKeyExA(kHkeyCurrentUser, key, kKeyQueryValue, gone);
  Report("registry: delete key %d, open deleted %d\n", dk, og);

  std::string ini = os.FullPath("toolkit_demo.ini");
  std::int32_t iw = os.WritePrivateProfileStringA("Section", "Key", "Value", ini);
  std::string ir = os.GetPrivateProfileStringA("Section", "Key", "", 255, ini);
  std::string im = os.GetPrivateProfileStringA("Section", "None", "default", 255, ini);
  std::string it = os.GetPrivateProfileStringA("Section", "Key", "", 3, ini);
  Report("ini '%s': write %d, read '%s', missing '%s', in 3 bytes '%s', ordinary %d, wildcard %d, folder %d\n",
         ini.c_str(), iw, ir.c_str(), im.c_str(), it.c_str(), os.IsOrdinaryFile(ini),
         os.IsOrdinaryFile(os.CurrentFolder() + "\\*.ini"), os.IsOrdinaryFile(os.CurrentFolder()));
  ::DeleteFileA(ini.c_str());
  Report("ini in a missing folder: write %d\n",
         os.WritePrivateProfileStringA("Section", "Key", "Value", "Q:\\nowhere\\x.ini"));

  std::uint32_t atom = os.GlobalAddAtomA(os.LocalDateTimeText());
  Report("atom 0x%x for '%s', deleted %u\n", atom, os.LocalDateTimeText().c_str(), os.GlobalDeleteAtom(atom));

  for (int folder : {16, 25, 36, 5}) {
    ItemIdList list;
    std::int32_t hr = os.SHGetSpecialFolderLocation(0, folder, list);
    std::array<char, 260> path{};
    bool ok = os.SHGetPathFromIDListA(list, path);
    Report("special folder %d: 0x%x %d '%s'\n", folder, static_cast<unsigned>(hr), ok, path.data());
  }
  if (auto shell = os.CreateScriptShell()) {
    Report("script shell: AllUsersDesktop '%s', Nonsense '%s'\n", shell->SpecialFolders("AllUsersDesktop").c_str(),
           shell->SpecialFolders("Nonsense").c_str());
  } else {
    Report("script shell: none\n");
  }
  FindData found;
  int count = 0;
  FindHandle search = os.FindFirstFileA(os.CurrentFolder() + "\\*.*", found);
  for (bool more = static_cast<bool>(search); more; more = os.FindNextFileA(search, found)) ++count;
  Report("find in current folder '%s': %d entries\n", os.CurrentFolder().c_str(), count);
  Report("compare: a/B %d, B/a %d, x/X %d\n", os.CompareTextNoCase("a", "B"), os.CompareTextNoCase("B", "a"),
         os.CompareTextNoCase("x", "X"));
  std::uint32_t flags = 0;
  bool connected = os.InternetGetConnectedState(flags);
  Report("connected %d flags 0x%x\n", connected, flags);
  if (browser) {
    DWORD start = ::GetTickCount();
    auto web = os.CreateWebBrowser();
    Report("browser created %d after %lu ms\n", web != nullptr, ::GetTickCount() - start);
    if (web) {
      std::int32_t state = -1;
      bool nav = web->Navigate("about:blank");
      bool read = web->ReadyState(state);
      bool shown = web->SetVisible(true);
      Report("browser: navigate %d, ready state read %d (%d), visible %d\n", nav, read, state, shown);
    }
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
  tamberlinox::platform::win32::ComApartment com;
  Win32Platform os(instance);
  {
    tamberlinox::platform::win32::ScreenDc screen;
    Report("dpi %d x %d\n", ::GetDeviceCaps(screen.Get(), LOGPIXELSX), ::GetDeviceCaps(screen.Get(), LOGPIXELSY));
  }
  int major = 0, minor = 0;
  os.ProgramVersion(major, minor);
  Report("version %d.%d, folder '%s'\n", major, minor, os.ProgramFolder().c_str());

  if (Has(commandLine, "calls")) ReportCalls(os, Has(commandLine, "browser"));

  bool menu = Has(commandLine, "menu");
  MainDemo main(os, menu);
  HotKeyDemo hotKey(os);
  AboutDemo about(os);
  if (menu) main.Open(true);
  if (Has(commandLine, "hotkey")) hotKey.Open();
  if (Has(commandLine, "connecting")) {
    about.Open(true);
  } else if (Has(commandLine, "about")) {
    about.Open(false);
  }
  os.RunMessageLoop();
  main.Close();
  Report("message loop ended\n");
  return 0;
}
