// The game's own work per frame, with no window: one frame of update, the level build that
// every lost ball repeats, and the ball-against-box test that a frame runs up to 510 times.
// No GL context exists here: textures keep the name 0 and nothing is drawn.
#include "Relaunch.h"
#include "game/Collision.h"
#include "game/GameController.h"
#include "game/Level.h"

#include "GameStart.h"

#include <benchmark/benchmark.h>

#include <chrono>

namespace {

// The launch velocity for r1 mod 251 = 37 and r2 mod 701 = 512 (up and to the right).
void startLikeTheGame()
{
    ::startLikeTheGame(launchVelocity(37, 512));
}

// The 16 frames after a launch: the ball rises from y = 510 to about y = 343, below the
// bricks (which end at y = 300), so every frame tests all 50 bricks and the paddle ten times
// and nothing is destroyed. That is the common frame of play; a brick hit adds little.
constexpr int framesAfterLaunch = 16;

void updatePerFrame(benchmark::State& state)
{
    startLikeTheGame();
    bool representative = true;
    for (auto _ : state) {
        relaunch();
        const auto start = std::chrono::steady_clock::now();
        for (int frame = 0; frame < framesAfterLaunch; ++frame)
            advanceFrame();
        const auto elapsed = std::chrono::steady_clock::now() - start;
        state.SetIterationTime(std::chrono::duration<double>(elapsed).count() / framesAfterLaunch);
        benchmark::DoNotOptimize(ball->position);
        for (const GameObject& brick : level.bricks)
            representative = representative && brick.alive;
        representative = representative && game.started;
    }
    if (!representative)
        state.SkipWithError("a measured frame destroyed a brick or lost the ball");
    state.SetLabel("per frame: full level, ball in play");
}
BENCHMARK(updatePerFrame)->Name("update")->UseManualTime()->Unit(benchmark::kMicrosecond);

// What every lost ball costs on top of its frame: the list emptied and 50 bricks built again.
void levelRebuild(benchmark::State& state)
{
    startLikeTheGame();
    for (auto _ : state) {
        level.bricks.clear();
        generateLevel(game.width, game.height, game.brickColumns, game.brickRows, game.filledRows);
        benchmark::DoNotOptimize(level.bricks.data());
    }
}
BENCHMARK(levelRebuild)->Name("generateLevel")->Unit(benchmark::kMicrosecond);

// One ball-against-box test, as the collision pass runs it on a brick: a miss (the usual case)
// and a hit on a face.
void ballAgainstBrick(benchmark::State& state)
{
    startLikeTheGame();
    const GameObject& brick = level.bricks[44];  // the bottom row, x 240..300, y 240..300
    const bool hit = state.range(0) != 0;
    // Centre 5 pixels below the brick's bottom face (overlapping by 4), or far below it.
    ball->position = hit ? glm::vec2(261.0f, 296.0f) : glm::vec2(291.0f, 510.0f);
    for (auto _ : state) {
        benchmark::DoNotOptimize(&brick);
        HitResult result = findBallHit(brick);
        benchmark::DoNotOptimize(result);
    }
    if (findBallHit(brick).hit != hit)
        state.SkipWithError("the ball is not placed as intended");
    state.SetLabel(hit ? "hit" : "miss");
}
BENCHMARK(ballAgainstBrick)->Name("findBallHit")->Arg(0)->Arg(1)->Unit(benchmark::kNanosecond);

}  // namespace

BENCHMARK_MAIN();
