#include "ExitGuard.h"

#include <gtest/gtest.h>

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
