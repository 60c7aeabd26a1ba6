#include "app/Fatal.h"

#include "common/TestSupport.h"

namespace twk {
namespace {

TEST(Fatal, CaughtStopCarriesTextAndMarksProcess) {
  EXPECT_EQ(test::FatalTextOf([] { Fatal("Out of range."); }), "Out of range.");
  EXPECT_TRUE(FatalStopHappened());
}

TEST(Fatal, ProgramPathIsTheExecutableNotTheWorkingDirectory) {
  EXPECT_EQ(ProgramFileName(), "test_app");
  EXPECT_EQ(ProgramFolder(), std::string(TWK208_BIN_DIR) + "/");
}

}  // namespace
}  // namespace twk
