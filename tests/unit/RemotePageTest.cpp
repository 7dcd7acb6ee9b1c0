// The page kept in the shell's process for its list's hit tests: never given
// back while the shell may still write a late answer into it.
#include <gtest/gtest.h>

#include <cstdint>
#include <set>

#include "platform/RemotePage.h"

namespace tamberlinox::test {
namespace {

struct Shells {
  std::uint32_t idOf[8] = {};  // each handle's process id; a page is its handle's entry
  std::set<int> ended;         // handles whose process has ended
  int opened = 0, closed = 0, freed = 0;
};
struct LoggedMemory {
  using Process = int;  // 1, 2, ... in the order opened
  Shells* s;
  int Open(std::uint32_t id) { return s->idOf[++s->opened] = id, s->opened; }
  bool Ended(int process) { return s->ended.count(process) != 0; }
  void* Allocate(int process) { return &s->idOf[process]; }
  void Free(int, void*) { ++s->freed; }
  void Close(int) { ++s->closed; }
};

TEST(RemotePageTest, APageIsKeptAfterATimeOutAndGoesWithItsProcess) {
  Shells shells;
  {
    platform::RemotePage<LoggedMemory> page(LoggedMemory{&shells});
    void* const first = page.In(0x500);
    page.Sent(false);  // timed out: the shell may still write its answer
    EXPECT_EQ(page.In(0x500), first);
    shells.ended.insert(1);  // the shell restarts under the same id: the page went with it
    EXPECT_NE(page.In(0x500), first);
    page.Sent(true);
    page.In(0x600);  // the list in another, living, process: every answer came, the page is given back
    EXPECT_EQ(shells.freed, 1);
    page.Sent(false);
  }
  EXPECT_EQ(shells.freed, 1);  // at the end, left where an answer may still come
  EXPECT_EQ(shells.closed, 3);
}

}  // namespace
}  // namespace tamberlinox::test
