// Letters typed in the desktop menu: which entry they select.
#include <gtest/gtest.h>

#include "menu/TypeToFind.h"
#include "platform/fake/FakePlatform.h"

namespace tamberlinox::test {
namespace {

using menu::TypeToFind;

const std::vector<std::string> kNames = {"My Computer", "My Documents", "", "Recycle Bin", "Résumé", "résumé old",
                                         "Word", "Wordpad", "Жёлтый", "AT&T"};

// Each step: what is typed, how many milliseconds after the step before,
// then the entry selected (-1 none) and whether the menu leaves the key to
// the program. The selection carries on from step to step.
struct Step {
  const char* typed;
  std::uint32_t afterMs;
  int selected;
  bool taken = true;
};
struct Walk {
  const char* what;
  std::vector<Step> steps;
};

class TypeToFindTest : public ::testing::TestWithParam<Walk> {};

TEST_P(TypeToFindTest, SelectsTheEntryTheLettersBegin) {
  platform::FakePlatform os;
  TypeToFind find(os);
  std::optional<std::size_t> selected;
  std::uint32_t tick = 5000;
  for (const Step& step : GetParam().steps) {
    tick += step.afterMs;
    const platform::MenuCharAnswer answer = find.OnChar(step.typed, tick, kNames, selected);
    if (answer.select) selected = answer.select;
    EXPECT_EQ(answer.taken, step.taken) << GetParam().what << ": " << step.typed;
    EXPECT_EQ(selected ? int(*selected) : -1, step.selected) << GetParam().what << ": " << step.typed;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Walks, TypeToFindTest,
    ::testing::Values(
        Walk{"prefix and case", {{"w", 0, 6}, {"O", 100, 6}, {"r", 100, 6}, {"d", 100, 6}, {"p", 100, 7}}},
        Walk{"a letter again goes to the next", {{"m", 0, 0}, {"m", 1500, 1}, {"m", 1500, 0}}},
        Walk{"a pause starts again", {{"w", 0, 6}, {"r", 1001, 3}}},
        Walk{"Backspace", {{"w", 0, 6}, {"x", 100, 6}, {"\b", 100, 6}, {"o", 100, 6}, {"\b", 3000, 6, false}}},
        Walk{"a space inside a name", {{" ", 0, -1, false}, {"m", 10, 0}, {"y", 10, 0}, {" ", 10, 0}, {"d", 10, 1}}},
        Walk{"other scripts and accents", {{"Р", 0, -1}, {"R", 2000, 3}, {"é", 100, 4}, {"ж", 2000, 8}}},
        Walk{"an & is itself", {{"a", 0, 9}, {"t", 10, 9}, {"&", 10, 9}}},
        Walk{"Enter and Esc are the menu's", {{"w", 0, 6}, {"\r", 10, 6, false}, {"\x1B", 10, 6, false}}}));

}  // namespace
}  // namespace tamberlinox::test
