// The options as stored: defaults for missing values, and anything the
// program would not write itself read as the default and left in place.
#include <gtest/gtest.h>

#include "options/Options.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox::test {
namespace {

using platform::Hive;
constexpr char kKey[] = "Software\\Zemrik Software\\Tamberlinox";

std::vector<std::uint8_t> Dword(std::uint32_t n) {
  return {std::uint8_t(n), std::uint8_t(n >> 8), std::uint8_t(n >> 16), std::uint8_t(n >> 24)};
}

TEST(OptionsTest, MissingValuesGiveTheDefaults) {
  platform::FakePlatform os;
  EXPECT_EQ(options::ReadOptions(os), (options::Options{true, 0, false}));
}

TEST(OptionsTest, WrittenValuesReadBack) {
  platform::FakePlatform os;
  const options::Options chosen{false, 120, true};
  ASSERT_TRUE(options::WriteOptions(os, chosen));
  EXPECT_EQ(options::ReadOptions(os), chosen);
  EXPECT_EQ(os.registry.Bytes(Hive::CurrentUser, kKey, "IdleMinutes"), Dword(120));
}

TEST(OptionsTest, OddValuesReadAsTheDefaultAndStay) {
  platform::FakePlatform os;
  os.registry.SetText(Hive::CurrentUser, kKey, "DoubleClick", "0");                  // a string
  os.registry.SetBytes(Hive::CurrentUser, kKey, "IdleMinutes", 4, Dword(0xFFFFFFFF));  // -1
  os.registry.SetBytes(Hive::CurrentUser, kKey, "FolderMenus", 3, {1, 0, 0, 0});      // REG_BINARY
  EXPECT_EQ(options::ReadOptions(os), (options::Options{true, 0, false}));
  for (const std::uint32_t odd : {121u, 0x10000u, 0x80000001u}) {
    os.registry.SetBytes(Hive::CurrentUser, kKey, "IdleMinutes", 4, Dword(odd));
    os.registry.SetBytes(Hive::CurrentUser, kKey, "DoubleClick", 4, Dword(odd == 121 ? 2 : odd));
    EXPECT_EQ(options::ReadOptions(os), (options::Options{true, 0, false})) << odd;
  }
  os.registry.SetBytes(Hive::CurrentUser, kKey, "DoubleClick", 4, {0, 0, 0});  // three bytes
  EXPECT_TRUE(options::ReadOptions(os).doubleClick);
  EXPECT_EQ(os.registry.Bytes(Hive::CurrentUser, kKey, "DoubleClick"), (std::vector<std::uint8_t>{0, 0, 0}));
}

}  // namespace
}  // namespace tamberlinox::test
