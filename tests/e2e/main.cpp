// The end-to-end harness. Runs under Wine, in the same prefix as the program
// under test; scripts/e2e.sh prepares the prefix and the display.
//
// TAMBERLINOX_E2E_PROGRAM: the program under test (a Windows path); by default
// the Tamberlinox.exe of the build tree the harness belongs to.
#include <gtest/gtest.h>

#include "Fixtures.h"

namespace {
class RunEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { e2e::PrepareRun(); }
  void TearDown() override { e2e::EndRun(); }
};
}  // namespace

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  ::testing::AddGlobalTestEnvironment(new RunEnvironment);
  return RUN_ALL_TESTS();
}
