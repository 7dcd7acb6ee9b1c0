#include "settings/Settings.h"

#include "hotkey/KeyCodes.h"

namespace tamberlinox::settings {

namespace {

std::string ReadText(const ValueStore& store, const char* name) {
  std::string text;
  store.Read(kRoot, kKeyPath, name, kText, "", text);
  return text;
}

void ReadModifiers(const ValueStore& store, HotKeySettings& hotKey) {
  hotKey.shift = !ReadText(store, kShift).empty();
  hotKey.alt = !ReadText(store, kAlt).empty();
  hotKey.ctrl = !ReadText(store, kCtrl).empty();
}

}  // namespace

std::string AutostartCommand(const std::string& programFolder) {
  std::string folder = programFolder;
  if (folder.empty() || folder.back() != '\\') folder += '\\';  // a drive's root ends in one already
  return "\"" + folder + kProgramFileName + "\"";
}

HotKeySettings PrepareAtStartup(const ValueStore& store, const std::string& programFolder) {
  std::string autostart;
  if (store.Read(kRunRoot, kRunKey, kRunValue, kText, "", autostart) != 0 &&
      store.Read(kUserRunRoot, kRunKey, kRunValue, kText, "", autostart) != 0) {
    const std::string command = AutostartCommand(programFolder);
    if (store.Write(kRunRoot, kRunKey, kRunValue, kText, command) != 0)
      store.Write(kUserRunRoot, kRunKey, kRunValue, kText, command);
  }

  HotKeySettings hotKey;
  if (store.Read(kRoot, kKeyPath, kKey, kText, "", hotKey.key) != 0) {
    hotKey.key = std::to_string(hotkey::kDefaultKeyCode);
    store.Write(kRoot, kKeyPath, kKey, kText, hotKey.key);
  }
  ReadModifiers(store, hotKey);
  return hotKey;
}

HotKeySettings ReadHotKey(const ValueStore& store) {
  HotKeySettings hotKey;
  hotKey.key = ReadText(store, kKey);
  ReadModifiers(store, hotKey);
  return hotKey;
}

void WriteHotKey(const ValueStore& store, int keyCode, bool shift, bool ctrl, bool alt) {
  store.Write(kRoot, kKeyPath, kKey, kText, std::to_string(keyCode));
  store.Write(kRoot, kKeyPath, kShift, kText, std::string(shift ? kShiftOn : ""));
  store.Write(kRoot, kKeyPath, kCtrl, kText, std::string(ctrl ? kCtrlOn : ""));
  store.Write(kRoot, kKeyPath, kAlt, kText, std::string(alt ? kAltOn : ""));
}

void MarkHotKeySaved(const ValueStore& store) { store.Write(kRoot, kKeyPath, kSaved, kText, std::string(kSavedYes)); }

void RemoveAutostartAndSettings(const ValueStore& store) {
  for (const char* root : {kRunRoot, kUserRunRoot}) {
    std::string ignored;
    if (store.Read(root, kRunKey, kRunValue, kText, "", ignored) == 0) store.Delete(root, kRunKey, kRunValue);
  }
  store.DeleteKey(kRoot, kKeyPath);
}

}  // namespace tamberlinox::settings
