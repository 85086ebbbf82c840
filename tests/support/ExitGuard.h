// The game ends the process with exit(0) on Escape and on a win. A test that ends that way by
// mistake would otherwise be reported as passed, since each test runs in its own process: a
// test program linking this guard fails instead on any exit() that no death test expects.
#pragma once

// Marks the current test's process as one that may end through exit(); call it first inside
// the statement of an EXPECT_EXIT.
void allowExit();
