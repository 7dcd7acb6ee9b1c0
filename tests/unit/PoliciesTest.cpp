// The policies: the computer's value wins over the user's, and a value of
// another type or out of its range counts as not set.
#include <gtest/gtest.h>

#include "options/Options.h"
#include "platform/fake/FakePlatform.h"
#include "settings/Policies.h"

namespace tamberlinox::test {
namespace {

using platform::Hive;

std::optional<std::uint32_t> Held(const settings::Policies& held, const std::string& name) {
  if (name == "Key" && held.key) return std::uint32_t(*held.key);
  if (name == "Modifiers") return held.modifiers;
  if (name == "DoubleClick" && held.doubleClick) return std::uint32_t(*held.doubleClick);
  if (name == "IdleMinutes" && held.idleMinutes) return std::uint32_t(*held.idleMinutes);
  if (name == "FolderMenus" && held.folderMenus) return std::uint32_t(*held.folderMenus);
  return std::nullopt;
}

TEST(PoliciesTest, TheComputerWinsOverTheUserAndOddValuesCountAsNotSet) {
  // Type 0: no value; 4 REG_DWORD, 1 REG_SZ ("65"), 3 REG_BINARY; -1: nothing held.
  const struct { const char* name; std::uint32_t machineType, machine, userType, user; std::int64_t held; } rows[] = {
      {"Key", 4, 65, 4, 112, 65},       {"Key", 0, 0, 4, 123, 123},     {"Key", 4, 91, 4, 90, 90},
      {"Key", 4, 111, 4, 124, -1},      {"Key", 1, 65, 3, 65, -1},      {"Modifiers", 4, 0, 4, 5, 0},
      {"Modifiers", 4, 8, 4, 7, 7},     {"Modifiers", 4, 0x10001, 0, 0, -1},
      {"DoubleClick", 4, 0, 4, 1, 0},   {"DoubleClick", 4, 2, 4, 1, 1}, {"DoubleClick", 3, 0, 1, 0, -1},
      {"IdleMinutes", 4, 121, 4, 0, 0}, {"IdleMinutes", 4, 120, 0, 0, 120},
      {"IdleMinutes", 4, 0xFFFFFFFF, 0, 0, -1},  {"FolderMenus", 0, 0, 4, 1, 1}};
  for (const auto& row : rows) {
    platform::FakePlatform os;
    for (const auto& [hive, type, number] : {std::tuple(Hive::LocalMachine, row.machineType, row.machine),
                                             std::tuple(Hive::CurrentUser, row.userType, row.user)}) {
      if (type == 1) os.registry.SetText(hive, settings::kPolicyKeyPath, row.name, std::to_string(number));
      if (type > 1)
        os.registry.SetBytes(hive, settings::kPolicyKeyPath, row.name, type,
                             {std::uint8_t(number), std::uint8_t(number >> 8), std::uint8_t(number >> 16),
                              std::uint8_t(number >> 24)});
    }
    const settings::Policies read = settings::ReadPolicies(os);
    EXPECT_EQ(Held(read, row.name), row.held < 0 ? std::nullopt : std::optional(std::uint32_t(row.held)))
        << row.name << " " << row.machine << " " << row.user;
    EXPECT_EQ(read.HoldHotKey() || read.HoldOptions(), row.held >= 0) << row.name;
  }
  // What is not held is the user's: the hot key's modifiers here, every option but one there.
  settings::Policies held;
  held.key = 65;
  held.idleMinutes = 0;
  EXPECT_EQ(settings::HotKeyInForce({"121", true, false, true}, held), (settings::KeyCombination{65, 5}));
  EXPECT_EQ(options::InForce({false, 7, true, 120, 4}, held), (options::Options{false, 0, true, 120, 4}));
}

}  // namespace
}  // namespace tamberlinox::test
