#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <termios.h>
#include <unistd.h>

#include "platform/Terminal.h"
#include "platform/TerminalEcho.h"

namespace {

bool Echoes() {
  termios mode{};
  return tcgetattr(STDIN_FILENO, &mode) == 0 && (mode.c_lflag & ECHO) != 0;
}

// Standard input on a pseudo-terminal for the length of the test; the real one comes back afterwards.
class OnPseudoTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(master_, 0);
    ASSERT_EQ(grantpt(master_), 0);
    ASSERT_EQ(unlockpt(master_), 0);
    const int slave = open(ptsname(master_), O_RDWR | O_NOCTTY);
    ASSERT_GE(slave, 0);
    savedInput_ = dup(STDIN_FILENO);
    dup2(slave, STDIN_FILENO);
    close(slave);
  }
  void TearDown() override {
    dup2(savedInput_, STDIN_FILENO);
    close(savedInput_);
    close(master_);
  }
  int master_ = -1;
  int savedInput_ = -1;
};

TEST_F(OnPseudoTerminal, PasswordsAreTypedWithoutEcho) {
  EXPECT_TRUE(platform::StandardInputIsTerminal());
  ASSERT_TRUE(Echoes());
  {
    platform::EchoOff echoOff;
    EXPECT_FALSE(Echoes());
  }
  EXPECT_TRUE(Echoes());
}

TEST(Terminal, APipeIsNoTerminal) {
  int ends[2];
  ASSERT_EQ(pipe(ends), 0);
  const int savedInput = dup(STDIN_FILENO);
  dup2(ends[0], STDIN_FILENO);
  EXPECT_FALSE(platform::StandardInputIsTerminal());
  { platform::EchoOff nothingToTurnOff; }
  dup2(savedInput, STDIN_FILENO);
  close(savedInput);
  close(ends[0]);
  close(ends[1]);
}

}  // namespace
