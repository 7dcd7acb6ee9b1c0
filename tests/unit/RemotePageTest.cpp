// The page kept in the shell's process for its list's hit tests: never given
// back while the shell may still write a late answer into it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "platform/RemotePage.h"

namespace tamberlinox::test {
namespace {

// The processes as the page sees them: every handle opened, and what was done.
struct Processes {
  struct Handle {
    std::uint32_t id;
    bool ended = false;
  };
  std::vector<Handle> opened;
  int open = 0, allocated = 0, freed = 0;
  char pages[8] = {};
  void End(std::uint32_t id) {
    for (Handle& handle : opened)
      if (handle.id == id) handle.ended = true;
  }
};

struct LoggedMemory {
  using Process = int;  // 1 + an index into opened
  Processes* p;
  int Open(std::uint32_t id) {
    p->opened.push_back({id});
    ++p->open;
    return static_cast<int>(p->opened.size());
  }
  bool Ended(int process) { return p->opened[process - 1].ended; }
  void* Allocate(int) { return &p->pages[p->allocated++]; }
  void Free(int, void*) { ++p->freed; }
  void Close(int) { --p->open; }
};
using Page = platform::RemotePage<LoggedMemory>;

TEST(RemotePageTest, APageIsKeptAfterATimeOutAndGoesWithItsProcess) {
  Processes shells;
  {
    Page page(LoggedMemory{&shells});
    void* const first = page.In(0x500);
    page.Sent(false);  // timed out: the shell may still answer
    EXPECT_EQ(page.In(0x500), first);
    page.Sent(true);
    EXPECT_EQ(shells.freed, 0);
    // The shell restarts under the same id: its memory went with it, a new page.
    shells.End(0x500);
    EXPECT_NE(page.In(0x500), first);
    EXPECT_EQ(shells.freed, 0);
    EXPECT_EQ(shells.open, 1);
    // The list now in another living process: the old page, every message to
    // it answered, is given back.
    page.Sent(true);
    page.In(0x600);
    EXPECT_EQ(shells.freed, 1);
    EXPECT_EQ(shells.allocated, 3);
  }
  EXPECT_EQ(shells.freed, 2);
  EXPECT_EQ(shells.open, 0);
}

// At the program's end the page is given back only where no late answer can come.
TEST(RemotePageTest, AtTheEndAPageIsLeftWhereAnAnswerMayStillCome) {
  for (const bool timedOut : {false, true}) {
    for (const bool ended : {false, true}) {
      Processes shells;
      {
        Page page(LoggedMemory{&shells});
        page.In(0x500);
        page.Sent(true);
        page.Sent(!timedOut);
        page.Sent(true);
        if (ended) shells.End(0x500);
      }
      EXPECT_EQ(shells.freed, !timedOut && !ended ? 1 : 0) << timedOut << ended;
      EXPECT_EQ(shells.open, 0);
    }
  }
}

}  // namespace
}  // namespace tamberlinox::test
