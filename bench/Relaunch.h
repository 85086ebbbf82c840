// Shared by the benchmarks: puts the game back to the moment of launch, so that every batch of
// measured frames starts alike.
#pragma once

// Full level, empty hit history, paddle and ball where start-up puts them, still paddle, ball in play.
void relaunch();
