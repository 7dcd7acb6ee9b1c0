// FakeForm: one of the program's windows in the fake system. It keeps all of
// its state where a test can look at it: caption, visibility, position and
// size, every control's text, visibility, colour, check value and items, the
// timers and the popup menu's item array.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace tamberlinox::platform {

class FakePlatform;

class FakeForm final : public Form {
 public:
  FakeForm(FakePlatform& os, const FormSpec& spec, FormEvents& events, WindowHandle handle, WndProcAddr classProc);
  ~FakeForm() override;
  FakeForm(const FakeForm&) = delete;
  FakeForm& operator=(const FakeForm&) = delete;

  // ---- Form
  WindowHandle Handle() const override { return handle_; }
  std::uintptr_t IconHandle() const override { return iconHandle_; }
  void Show() override;
  void Hide() override;
  bool Visible() const override;
  void SetCaption(const std::string& caption) override;
  std::string Caption() const override;
  void SetTop(int twips) override { top_ = twips; }
  void SetSize(int widthTwips, int heightTwips) override;
  void Refresh() override { ++refreshCount_; }
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

  // ---- Inspection
  const FormSpec& Spec() const { return spec_; }
  WndProcAddr ClassProcedure() const { return classProc_; }
  int Top() const { return top_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  int RefreshCount() const { return refreshCount_; }
  int ShowCount() const { return showCount_; }
  bool HasControl(int id) const { return controls_.count(id) != 0; }
  const ControlSpec* ControlSpecOf(int id) const;
  WindowHandle ControlHandle(int id) const;
  std::vector<std::string> Items(int id) const;
  bool HasTimer(int id) const { return timers_.count(id) != 0; }
  std::uint32_t TimerInterval(int id) const;
  std::vector<std::string> MenuCaptions() const;  // loaded elements in index order

 private:
  friend class FakePlatform;

  struct Control {
    ControlSpec spec;
    WindowHandle handle = 0;
    std::string text;
    bool visible = true;
    Colour foreColour;
    int check = 0;
    std::vector<std::string> items;
  };
  struct Timer {
    std::uint32_t intervalMs = 0;
    bool enabled = false;
  };

  Control* Find(int id, const char* operation);
  const Control* Find(int id, const char* operation) const;
  // Loaded menu elements in index order, and the captions they show.
  std::vector<int> MenuIndices() const;

  FakePlatform& os_;
  FormSpec spec_;
  FormEvents& events_;
  WindowHandle handle_;
  WndProcAddr classProc_;
  std::uintptr_t iconHandle_;
  int top_ = 0;
  int width_ = 0;
  int height_ = 0;
  int refreshCount_ = 0;
  int showCount_ = 0;
  std::map<int, Control> controls_;
  std::map<int, Timer> timers_;
  std::map<int, std::string> menu_;  // loaded elements of the item array
};

}  // namespace tamberlinox::platform
