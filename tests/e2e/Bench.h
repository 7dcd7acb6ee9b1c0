// The end-to-end bench: small tools for a harness process that drives a
// program under Wine from the outside, the way a user and the shell would.
// Every text they take or give is UTF-8 (see Utf8.h): paths, registry strings,
// captions, command lines; they call the wide functions of Windows.
#pragma once

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Utf8.h"

namespace e2e {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

// ------------------------------------------------------------------ waiting
// Polls fact() every few milliseconds until it is true or the time is up.
// Returns the last answer. Never a fixed sleep: it returns as soon as it can.
bool WaitUntil(const std::function<bool()>& fact, Millis timeout = 10000ms);

// ------------------------------------------------------------------ handles
class UniqueHandle {
 public:
  UniqueHandle() = default;
  explicit UniqueHandle(HANDLE h) : h_(h == INVALID_HANDLE_VALUE ? nullptr : h) {}
  UniqueHandle(UniqueHandle&& o) noexcept : h_(o.h_) { o.h_ = nullptr; }
  UniqueHandle& operator=(UniqueHandle&& o) noexcept {
    if (this != &o) {
      Reset();
      h_ = o.h_;
      o.h_ = nullptr;
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }
  HANDLE Get() const { return h_; }
  explicit operator bool() const { return h_ != nullptr; }
  void Reset() {
    if (h_) CloseHandle(h_);
    h_ = nullptr;
  }

 private:
  HANDLE h_ = nullptr;
};

class UniqueKey {
 public:
  UniqueKey() = default;
  UniqueKey(UniqueKey&& o) noexcept : k_(o.k_) { o.k_ = nullptr; }
  UniqueKey& operator=(UniqueKey&&) = delete;
  UniqueKey(const UniqueKey&) = delete;
  UniqueKey& operator=(const UniqueKey&) = delete;
  ~UniqueKey() {
    if (k_) RegCloseKey(k_);
  }
  HKEY Get() const { return k_; }
  HKEY* Out() { return &k_; }

 private:
  HKEY k_ = nullptr;
};

// ----------------------------------------------------------------- processes
// A process this harness started. The destructor ends it if it still runs, so
// a test never leaves a program behind, and it touches no other process.
class Process {
 public:
  // Starts the program with these arguments, in the program's own folder.
  static Process Start(const std::string& exePath, const std::string& arguments = "");
  Process() = default;
  Process(Process&& o) noexcept : process_(std::move(o.process_)), pid_(o.pid_) { o.pid_ = 0; }
  Process& operator=(Process&& o) noexcept {
    if (this != &o) {
      Kill();
      process_ = std::move(o.process_);
      pid_ = o.pid_;
      o.pid_ = 0;
    }
    return *this;
  }
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process() { Kill(); }

  DWORD Id() const { return pid_; }
  HANDLE Handle() const { return process_.Get(); }
  bool Running() const;
  // Ends the process (if it runs) and waits until it is gone.
  void Kill();
  // Waits until the process ends on its own; false when it still runs.
  bool WaitForExit(Millis timeout);
  DWORD ExitCode() const;

  // The process's top-level window with this caption (hidden ones too), or null.
  HWND FindWindowByCaption(const std::string& caption) const;
  // Every top-level window of the process with this class (e.g. "#32770").
  std::vector<HWND> FindWindowsByClass(const std::string& className) const;

 private:
  UniqueHandle process_;
  DWORD pid_ = 0;
};

// --------------------------------------------------------------- registry
std::optional<std::string> ReadRegString(HKEY hive, const std::string& path, const std::string& name);
bool WriteRegString(HKEY hive, const std::string& path, const std::string& name, const std::string& value);
void DeleteRegValue(HKEY hive, const std::string& path, const std::string& name);
void DeleteRegTree(HKEY hive, const std::string& path);
bool RegKeyExists(HKEY hive, const std::string& path);
// The names of the values in a key (empty when it does not exist).
std::vector<std::string> RegValueNames(HKEY hive, const std::string& path);

// Replaces a registry string (or the key's default value, name "") for as long
// as it lives, then puts back what was there, or deletes what was not.
class ScopedRegString {
 public:
  ScopedRegString(HKEY hive, std::string path, std::string name, const std::string& value);
  ~ScopedRegString();
  ScopedRegString(const ScopedRegString&) = delete;
  ScopedRegString& operator=(const ScopedRegString&) = delete;
  bool Written() const { return written_; }

 private:
  HKEY hive_;
  std::string path_, name_;
  std::optional<std::string> old_;
  bool keyExisted_ = false;
  bool written_ = false;
};

// ----------------------------------------------------------------- keyboard
// Modifier sets as RegisterHotKey spells them.
enum Modifiers : unsigned { kNone = 0, kAlt = MOD_ALT, kCtrl = MOD_CONTROL, kShift = MOD_SHIFT };
// Real key input through SendInput: the modifiers go down, the key is pressed
// and released, the modifiers come up again (in reverse order). The keys go to
// the window that has the keyboard focus; a hot key is matched by the window
// system against the modifiers held at the moment the key goes down.
//
// Returns false when the modifiers were no longer all held just after the key
// went down, so that the key may have arrived with fewer of them. Windows
// never does that to keys sent through SendInput; Wine does: whenever a window
// of Wine's gets the X input focus (a window is activated and the X server
// grants Wine's request) or has the X pointer enter it (a window appears or
// disappears under the pointer), Wine's X11 driver sets the key state of the
// whole desktop to the keys the X server holds (KeymapNotify), later, on the
// thread of that window, when that thread next wakes: for a program that
// sleeps until its next message, that may be long after its window came or
// went (seen: a dialog's focus taken in only when its message box was
// answered). Keys sent through SendInput never reach the X
// server, so every key the harness holds at that moment is released under it,
// and a combination pressed then matches no hot key. The bench therefore keeps
// its own windows from taking the focus (see ShellStandIn) and away from the
// pointer. A combination pressed just after another program's window came or
// went may still meet the reset; PressKey then says so.
bool PressKey(unsigned modifiers, WORD vk);
// The key held down long enough to repeat: a key-down, then, once heard()
// holds (false when it never does), this many more key-downs and one key-up.
bool HoldKey(WORD vk, int repeats, const std::function<bool()>& heard);
// True when the combination is held by someone: the harness tries to register
// it itself (and gives it back at once when that works).
bool HotKeyTaken(unsigned modifiers, WORD vk);
std::string KeyName(unsigned modifiers, WORD vk);

// ------------------------------------------------------------------ windows
std::string WindowText(HWND window);
std::string ClassName(HWND window);
// Whether the harness runs under Wine (ntdll has wine_get_version), for the
// few places where a test must wait for what Wine does differently.
bool RunningOnWine();
std::string ControlText(HWND dialog, int id);
// The screen as programs see it (Wine's virtual desktop).
RECT ScreenRect();
bool RectOffScreen(const RECT& r, const RECT& screen);

// ------------------------------------------------------------ message boxes
struct MessageBoxSeen {
  HWND window = nullptr;
  std::string title;
  std::string text;
};
// A message box ("#32770") of process p with this title, once it is shown.
std::optional<MessageBoxSeen> WaitForMessageBox(const Process& p, const std::string& title, Millis timeout = 10000ms);
// Presses a button (IDYES, IDNO, IDOK, ...) by posting its command.
void AnswerMessageBox(HWND box, int buttonId);

// ------------------------------------------------------------------- paths
// Whether a file or folder is there.
bool PathExists(const std::string& path);
// Copies a file, replacing what is at the destination.
bool CopyFileTo(const std::string& from, const std::string& to);
// Folder of the harness executable, with a trailing backslash.
std::string HarnessFolder();
std::string EnvironmentVariable(const char* name);

}  // namespace e2e
