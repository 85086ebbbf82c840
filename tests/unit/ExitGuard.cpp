// The game ends the process with exit(0) on Escape and on a win. A test that ends that way by
// mistake would otherwise be reported as passed, since each test runs in its own process:
// an exit() that no death test expects makes the program fail instead.
#include "GameFixture.h"

#include <cstdio>
#include <cstdlib>

namespace {

bool exitAllowed = false;

void failUnexpectedExit()
{
    if (exitAllowed)
        return;
    std::fputs("exit() called outside a death test: the game ended during a test\n", stderr);
    std::_Exit(1);
}

class ExitGuard : public ::testing::Environment {
public:
    void SetUp() override { std::atexit(failUnexpectedExit); }
    void TearDown() override { exitAllowed = true; }
};

::testing::Environment* const exitGuard = ::testing::AddGlobalTestEnvironment(new ExitGuard);

}  // namespace

void allowExit()
{
    exitAllowed = true;
}
