// The window toolkit: one window class whose procedure turns window messages
// into FormEvents calls, and the Form objects built on it.
#pragma once

#include "platform/win32/Handles.h"

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "platform/Platform.h"

namespace tamberlinox::platform::win32 {

// The toolkit's window class and the count of forms alive. When the last form
// is destroyed the thread's message loop is told to end.
class FormClass {
 public:
  explicit FormClass(HINSTANCE instance);
  ~FormClass();
  FormClass(const FormClass&) = delete;
  FormClass& operator=(const FormClass&) = delete;

  static constexpr const char* kName = "TamberlinoxForm";
  HINSTANCE Instance() const { return instance_; }
  bool Registered() const { return atom_ != 0; }
  int LiveForms() const { return liveForms_; }
  void FormCreated() { ++liveForms_; }
  void FormDestroyed();

 private:
  HINSTANCE instance_;
  ATOM atom_ = 0;
  int liveForms_ = 0;
};

class Win32Form final : public Form {
 public:
  // The popup menu item array: element i is the item with command id kMenuBase + i.
  static constexpr int kMenuBase = 1000;
  // Sent to a form by the message loop when Esc is pressed in it: presses the
  // cancel button. (IDCANCEL cannot tell Esc from a click on a control whose
  // id happens to be 2.)
  static constexpr UINT kEscapeMessage = WM_APP + 0x154;

  // Null when the window cannot be created.
  static std::unique_ptr<Win32Form> Create(FormClass& formClass, const FormSpec& spec, FormEvents& events);
  ~Win32Form() override;
  Win32Form(const Win32Form&) = delete;
  Win32Form& operator=(const Win32Form&) = delete;

  WindowHandle Handle() const override;
  std::uintptr_t IconHandle() const override;

  void Show() override;
  void Hide() override;
  bool Visible() const override;
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override;
  void SetTop(int twips) override;
  void SetSize(int widthTwips, int heightTwips) override;
  void Refresh() override;

  void SetText(int id, const std::string& text) override;
  std::string Text(int id) const override;
  void SetVisible(int id, bool visible) override;
  bool IsVisible(int id) const override;
  void SetForeColour(int id, Colour colour) override;
  Colour ForeColour(int id) const override;
  void SetCheck(int id, int value) override;
  int Check(int id) const override;
  void AddItem(int id, const std::string& text) override;
  void AddItems(int id, const std::vector<std::string>& texts) override;
  void ClearItems(int id) override;
  int ItemCount(int id) const override;
  std::string Item(int id, int index) const override;

  void EnableTimer(int id, bool enabled) override;
  bool TimerEnabled(int id) const override;

  int MenuCount() const override;
  bool MenuLoad(int index) override;
  bool MenuUnload(int index) override;
  void MenuSetCaption(int index, const std::string& caption) override;
  std::string MenuCaption(int index) const override;
  void PopupMenu() override;

  // The window procedure of the toolkit's class.
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

 private:
  struct Control {
    Win32Form* form = nullptr;
    ControlSpec spec;
    HWND hwnd = nullptr;
    HWND comboEdit = nullptr;  // combo boxes: the edit field and the drop-down list
    HWND comboList = nullptr;
    HFONT font = nullptr;      // owned by the form's font cache
    Bitmap picture;
    Brush backBrush;           // only for an RGB back colour
    WNDPROC originalProc = nullptr;  // labels that report the mouse
  };
  struct Timer {
    TimerSpec spec;
    bool enabled = false;
  };

  Win32Form(FormClass& formClass, const FormSpec& spec, FormEvents& events);
  bool CreateWindowAndControls();
  bool CreateControl(const ControlSpec& spec);
  HFONT FontFor(const FontSpec& font);
  int PixelsX(int twips) const;
  int PixelsY(int twips) const;

  Control* FindControl(int id) const;
  Control* FindControlByWindow(HWND window) const;
  void InvalidateUnder(const Control& control);
  void CentreOnScreen();
  void SyncMenu();

  // Message handlers.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT OnCommand(WPARAM wParam, LPARAM lParam);
  LRESULT OnControlColour(UINT message, HDC dc, HWND child);
  bool OnEraseBackground(HDC dc);
  void OnDrawItem(const DRAWITEMSTRUCT& item);
  LRESULT OnTimerMessage(UINT_PTR id);
  LRESULT OnGetDefaultId();
  void OnEscape();
  void OnActivate(WPARAM wParam);
  void OnSetFocus();
  static LRESULT CALLBACK LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  FormClass& formClass_;
  FormSpec spec_;
  FormEvents& events_;
  HWND hwnd_ = nullptr;
  int dpiX_ = 96, dpiY_ = 96;
  Icon bigIcon_, smallIcon_;
  Bitmap background_;
  std::map<std::tuple<std::string, int, bool, bool>, Font> fonts_;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<Timer> timers_;
  Menu menu_;
  std::vector<std::optional<std::string>> menuItems_;  // index = element; empty = not loaded
  // What the system's menu shows, by position, since the last SyncMenu.
  struct ShownMenuItem {
    std::string text;
    UINT id = 0;
    bool separator = false;
    bool operator==(const ShownMenuItem&) const = default;
  };
  std::vector<ShownMenuItem> shownMenu_;
  bool shownOnce_ = false;
  bool moved_ = false;
  HWND lastFocus_ = nullptr;
  // Cleared when the form is destroyed: code that called out to the program
  // checks it before touching the form again.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace tamberlinox::platform::win32
