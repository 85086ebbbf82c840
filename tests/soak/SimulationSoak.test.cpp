// A million frames of the real simulation, each run the way the display callback runs it
// (paddle motion, then update), with no window. An autopilot plays at the keyboard: it keeps
// the paddle under the ball, meets the ball at a different point of the paddle on every
// return so that the ball gets everywhere, waits a while before each launch and gives balls
// up on a schedule. After every frame the invariants of play are checked.
//
// A cleared level ends the process through the win path (message box, exit(0)), which no test
// survives. So the autopilot also gives the ball up once few bricks are left, as a player
// might, and the rebuild after the loss restores the level. Should a level be cleared all the
// same, the exit guard turns that exit into a failure instead of a silent pass.
#include "game/Collision.h"
#include "game/GameController.h"
#include "game/Level.h"

#include "ExitGuard.h"
#include "GameStart.h"

#include <gtest/gtest.h>

#include <malloc.h>

// The sanitizers replace the allocator, and mallinfo2 then reports nothing; they keep a count of
// their own.
#if defined(__SANITIZE_ADDRESS__)
#define ZORVEX_SANITIZER_HEAP 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define ZORVEX_SANITIZER_HEAP 1
#endif
#endif
#ifdef ZORVEX_SANITIZER_HEAP
#include <sanitizer/allocator_interface.h>
#endif

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <iterator>
#include <vector>

namespace {

std::size_t heapInUse()
{
#ifdef ZORVEX_SANITIZER_HEAP
    return __sanitizer_get_current_allocated_bytes();
#else
    return mallinfo2().uordblks;
#endif
}

constexpr long frameCount = 1000000;
constexpr float fieldWidth = 600.0f;
constexpr float fieldHeight = 600.0f;
constexpr float launchSpeed = 350.0f;
constexpr std::size_t levelSize = 50;  // 5 rows of 10 bricks
// Where the ball's top edge has left the five 60-pixel brick rows behind.
constexpr float belowBricks = 300.0f;
// With this few bricks left, the autopilot gives the ball up. It can take a while until the
// ball falls steeply enough to be let go; the fewest bricks ever left in this run is 8.
constexpr std::size_t fewBricks = 25;
// Frames in play after which the autopilot gives the ball up, taken in turn: quick losses
// between long rallies.
constexpr long rallyLengths[] = {90, 600, 2400, 150, 9000, 1200, 30000, 300};
// Frames past its rally length within which a ball to be given up must be lost: time for one
// more return from the paddle and a fall.
constexpr long stallFrames = 3000;

// A lost ball is rebuilt only once its top edge has passed y = 600; in the frame before, it can
// be at most one frame's travel (10 sub-steps at 350 pixels per second, 11.67 pixels) above.
constexpr float oneFrameOfTravel = 12.0f;
// Speed is only ever changed by the paddle, which rescales to the old speed up to float
// rounding. Rounding may walk the speed away from 350 over a long rally; these bounds are
// about 50 and 13 times the largest walk (0.0002) and single-frame change (0.00008) measured
// in this run.
constexpr double speedTolerance = 0.01;
constexpr double speedStepTolerance = 0.001;
// No paddle bounce leaves flatter than the flattest launch, (±350, -100), up to float rounding.
const double flattestRise = 100.0 / std::sqrt(350.0 * 350.0 + 100.0 * 100.0);
constexpr double riseTolerance = 1e-6;
// Between two passes the history holds at most 3 entries; a pass adds at most the bricks that
// the ball overlaps at once (4), so storage never needs more than a few entries.
constexpr std::size_t historyCapacityBound = 16;

// Small, fixed pseudo-random sequence: the run is the same on every machine.
class Sequence {
public:
    uint32_t next()
    {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    // A whole number in lowest..highest.
    int between(int lowest, int highest)
    {
        return lowest + static_cast<int>(next() % static_cast<uint32_t>(highest - lowest + 1));
    }

private:
    uint32_t state = 0x2545F491u;
};

std::size_t liveBricks()
{
    return std::count_if(level.bricks.begin(), level.bricks.end(), [](const GameObject& brick) { return brick.alive; });
}

double speed(glm::vec2 velocity)
{
    return std::sqrt(static_cast<double>(velocity.x) * velocity.x + static_cast<double>(velocity.y) * velocity.y);
}

bool finite(glm::vec2 v)
{
    return std::isfinite(v.x) && std::isfinite(v.y);
}

// Presses keys the way a player does; the keys do only what the key callbacks let them do:
// space only launches a waiting ball, and the arrows act only while the ball is in play.
class Autopilot {
public:
    long ballsGivenUp = 0;
    long framesInPlay = 0;  // of the current ball
    long rallyLength = 0;   // frames in play after which the current ball is given up

    void beforeFrame(std::size_t bricksLeft)
    {
        if (!game.started) {
            if (waitFrames > 0) {
                --waitFrames;
                return;
            }
            game.started = true;  // space
            framesInPlay = 0;
            wantsToLose = false;
            givingUp = false;
            rallyLength = rallyLengths[rallyIndex++ % std::size(rallyLengths)];
            return;
        }
        ++framesInPlay;
        if (framesInPlay >= rallyLength || bricksLeft <= fewBricks)
            wantsToLose = true;

        // Once the ball is lower than the paddle's top edge it can no longer be met from above:
        // let go of the arrows. Chasing it would ram the paddle's end into the ball's side.
        if (ball->position.y + ball->size.y > paddle->position.y) {
            hold(0.0f);
            return;
        }
        const float paddleCentre = paddle->position.x + paddle->size.x * 0.5f;
        // Wait where a falling ball will come down; follow a rising one.
        const float ballCentre = ball->velocity.y > 0.0f ? landingCentre() : ball->position.x + ball->radius;
        // A ball is given up only on a steep fall, so that it drops well clear of the paddle
        // instead of grazing its end; until then the paddle sends it up steeply (see afterFrame).
        if (wantsToLose && !givingUp && ball->velocity.y > 150.0f && ball->position.y > belowBricks) {
            givingUp = true;
            ++ballsGivenUp;
        }
        if (givingUp)
            hold((ballCentre < fieldWidth * 0.5f ? fieldWidth : 0.0f) - paddleCentre);
        else
            hold(ballCentre + aim - paddleCentre);
    }

    void afterFrame(bool lost, bool paddleHit)
    {
        if (lost)
            waitFrames = sequence.between(0, 30);
        // Meet the ball somewhere else on the paddle on every return. The paddle's ends flatten
        // the ball's path, its middle steepens it: a flat ball, and one that is to be given up
        // (which must fall steeply), is met near the middle.
        if (paddleHit)
            aim = wantsToLose || std::abs(ball->velocity.y) < 150.0f ? 0.0f
                                                                      : static_cast<float>(sequence.between(-48, 48));
    }

private:
    Sequence sequence;
    int waitFrames = 5;
    std::size_t rallyIndex = 0;
    bool wantsToLose = false;
    bool givingUp = false;
    float aim = 20.0f;

    // Where the falling ball's centre will be when its lowest point reaches the paddle's top
    // edge, its bounces off the side walls included.
    static float landingCentre()
    {
        const float radius = ball->radius;
        const float time = (paddle->position.y - ball->size.y - ball->position.y) / ball->velocity.y;
        const float span = fieldWidth - 2.0f * radius;
        float along = std::fmod(ball->position.x + ball->velocity.x * time, 2.0f * span);
        if (along < 0.0f)
            along += 2.0f * span;
        if (along > span)
            along = 2.0f * span - along;
        return radius + along;
    }

    // Holds the arrow towards the target, or releases it once the paddle is within half a step.
    static void hold(float distance)
    {
        const float step = game.paddleSpeed / 30.0f;
        if (distance > step * 0.5f)
            paddleVelocity = game.paddleSpeed / 30.0f;
        else if (distance < -step * 0.5f)
            paddleVelocity = game.paddleSpeed / -30.0f;
        else
            paddleVelocity = 0.0f;
    }
};

struct Before {
    bool started = false;
    glm::vec2 ballPosition{0.0f, 0.0f};
    glm::vec2 ballVelocity{0.0f, 0.0f};
    std::array<bool, levelSize> alive{};
};

class SimulationSoak : public ::testing::Test {
protected:
    std::vector<GameObject> firstLevel;
    const GameObject* brickStorage = nullptr;
    std::size_t brickCapacity = 0;

    void SetUp() override
    {
        // Without a display the win message only goes to standard error; with one, it would
        // wait for a click that never comes.
        unsetenv("DISPLAY");
        // r1 mod 251 = 37, r2 mod 701 = 512: up and to the right, at about 27 degrees from vertical.
        startLikeTheGame(launchVelocity(37, 512));
        ASSERT_EQ(level.bricks.size(), levelSize);
        firstLevel = level.bricks;
        brickStorage = level.bricks.data();
        brickCapacity = level.bricks.capacity();
    }

    ::testing::AssertionResult levelIsTheFirstOne(bool complete) const
    {
        if (level.bricks.size() != levelSize)
            return ::testing::AssertionFailure() << level.bricks.size() << " bricks";
        for (std::size_t i = 0; i < levelSize; ++i) {
            const GameObject& brick = level.bricks[i];
            const GameObject& first = firstLevel[i];
            if (brick.position != first.position || brick.size != first.size || brick.color != first.color ||
                brick.column != first.column)
                return ::testing::AssertionFailure() << "brick " << i << " differs from the first level";
            if (complete && !brick.alive)
                return ::testing::AssertionFailure() << "brick " << i << " is missing from a rebuilt level";
        }
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult invariantsHold(const Before& before, bool lost) const
    {
        if (!finite(ball->position) || !finite(ball->velocity) || !finite(paddle->position))
            return ::testing::AssertionFailure() << "not finite: ball at (" << ball->position.x << ", "
                                                 << ball->position.y << ") velocity (" << ball->velocity.x << ", "
                                                 << ball->velocity.y << "), paddle at " << paddle->position.x;
        if (game.state != Active)
            return ::testing::AssertionFailure() << "state " << game.state;

        const double now = speed(ball->velocity);
        if (std::abs(now - launchSpeed) > speedTolerance)
            return ::testing::AssertionFailure() << "speed " << now;
        if (!lost && std::abs(now - speed(before.ballVelocity)) > speedStepTolerance)
            return ::testing::AssertionFailure() << "speed went from " << speed(before.ballVelocity) << " to " << now;

        if (ball->size != glm::vec2(18.0f, 18.0f) || ball->radius != 9.0f)
            return ::testing::AssertionFailure() << "the ball changed size";
        if (!(ball->position.x >= 0.0f && ball->position.x + ball->size.x <= fieldWidth))
            return ::testing::AssertionFailure() << "ball outside the side walls at x = " << ball->position.x;
        if (!(ball->position.y >= 0.0f && ball->position.y < fieldHeight))
            return ::testing::AssertionFailure() << "ball outside the field at y = " << ball->position.y;

        const float rightLimit = fieldWidth - 0.99f * 120.0f;
        if (!(paddle->position.x > -0.1f && paddle->position.x < rightLimit))
            return ::testing::AssertionFailure() << "paddle at x = " << paddle->position.x;
        if (paddle->position.y != 528.0f || paddle->size != glm::vec2(120.0f, 12.0f))
            return ::testing::AssertionFailure() << "the paddle left its row or changed size";

        // The pass empties a history of more than 3 entries, so at most 3 survive a frame.
        if (hitHistory.size() > 3)
            return ::testing::AssertionFailure() << "hit history of " << hitHistory.size() << " entries";
        for (uint32_t column : hitHistory)
            if (column >= 10)
                return ::testing::AssertionFailure() << "hit history holds column " << column;

        // Destroyed bricks stay in the list, which is emptied and refilled in its own storage.
        if (level.bricks.data() != brickStorage || level.bricks.capacity() != brickCapacity)
            return ::testing::AssertionFailure() << "the brick list moved or grew to " << level.bricks.capacity();
        if (hitHistory.capacity() > historyCapacityBound)
            return ::testing::AssertionFailure() << "hit history storage grew to " << hitHistory.capacity();

        const ::testing::AssertionResult sameLevel = levelIsTheFirstOne(lost);
        if (!sameLevel)
            return sameLevel;

        if (lost) {
            if (before.ballPosition.y < fieldHeight - oneFrameOfTravel)
                return ::testing::AssertionFailure() << "rebuilt, though the ball was at y = " << before.ballPosition.y;
            if (ball->position != glm::vec2(291.0f, 510.0f) || ball->velocity != game.ballVelocity ||
                paddle->position != glm::vec2(240.0f, 528.0f) || !hitHistory.empty())
                return ::testing::AssertionFailure() << "a lost ball did not reset paddle, ball and history";
            return ::testing::AssertionSuccess();
        }

        // Bricks only go from present to destroyed between rebuilds.
        for (std::size_t i = 0; i < levelSize; ++i)
            if (level.bricks[i].alive && !before.alive[i])
                return ::testing::AssertionFailure() << "brick " << i << " came back without a rebuild";
        if (!before.started && (ball->position != before.ballPosition || ball->velocity != before.ballVelocity))
            return ::testing::AssertionFailure() << "the waiting ball moved";
        return ::testing::AssertionSuccess();
    }
};

TEST_F(SimulationSoak, AMillionFramesKeepEveryInvariant)
{
    Autopilot autopilot;
    long losses = 0;
    long paddleHits = 0;
    long bricksDestroyed = 0;
    long bricksThisBall = 0;
    long mostBricksInOneBall = 0;
    long framesInPlay = 0;
    std::size_t fewestBricksLeft = levelSize;
    std::size_t largestHistoryCapacity = 0;
    double largestSpeedError = 0.0;
    double largestSpeedStep = 0.0;
    double flattestBounce = 1.0;  // the least |vy| / speed after a paddle hit
    std::size_t heapAfterWarmUp = 0;
    std::size_t largestHeap = 0;

    const auto startTime = std::chrono::steady_clock::now();
    for (long frame = 1; frame <= frameCount; ++frame) {
        const std::size_t bricksLeft = liveBricks();
        autopilot.beforeFrame(bricksLeft);

        Before before{game.started, ball->position, ball->velocity, {}};
        for (std::size_t i = 0; i < levelSize; ++i)
            before.alive[i] = level.bricks[i].alive;

        advanceFrame();

        const bool lost = before.started && !game.started;
        ASSERT_TRUE(invariantsHold(before, lost)) << "frame " << frame;
        // A ball that can be neither kept nor lost (trapped at the paddle's height, say) would
        // leave the rest of the run testing nothing.
        ASSERT_LE(autopilot.framesInPlay, autopilot.rallyLength + stallFrames)
            << "frame " << frame << ": the ball cannot be lost; ball at (" << ball->position.x << ", "
            << ball->position.y << ") velocity (" << ball->velocity.x << ", " << ball->velocity.y << ")";

        // Counted for the summary and for the checks that the run really played.
        const bool paddleHit = before.ballVelocity.y > 0.0f && ball->velocity.y < 0.0f && ball->position.y > 400.0f;
        if (paddleHit) {
            const double rise = std::abs(ball->velocity.y) / speed(ball->velocity);
            ASSERT_GE(rise, flattestRise - riseTolerance) << "frame " << frame << ": a paddle bounce left at ("
                                                          << ball->velocity.x << ", " << ball->velocity.y << ")";
            flattestBounce = std::min(flattestBounce, rise);
        }
        losses += lost ? 1 : 0;
        paddleHits += paddleHit ? 1 : 0;
        framesInPlay += before.started ? 1 : 0;
        if (lost) {
            mostBricksInOneBall = std::max(mostBricksInOneBall, bricksThisBall);
            bricksThisBall = 0;
        } else {
            const std::size_t left = liveBricks();
            bricksDestroyed += static_cast<long>(bricksLeft - left);
            bricksThisBall += static_cast<long>(bricksLeft - left);
            fewestBricksLeft = std::min(fewestBricksLeft, left);
        }
        largestHistoryCapacity = std::max(largestHistoryCapacity, hitHistory.capacity());
        largestSpeedError = std::max(largestSpeedError, std::abs(speed(ball->velocity) - launchSpeed));
        if (!lost)
            largestSpeedStep = std::max(largestSpeedStep, std::abs(speed(ball->velocity) - speed(before.ballVelocity)));
        autopilot.afterFrame(lost, paddleHit);

        // The heap in use must not creep: play allocates nothing that it keeps.
        if (frame % 10000 == 0) {
            const std::size_t inUse = heapInUse();
            if (frame == 10000)
                heapAfterWarmUp = inUse;
            largestHeap = std::max(largestHeap, inUse);
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - startTime).count();

    std::printf("%ld frames in %.2f s (%.2f us per frame): %ld in play, %ld balls lost (%ld given up on purpose), "
                "%ld paddle hits, %ld bricks destroyed (at most %ld by one ball), fewest bricks left %zu, "
                "hit history storage %zu, "
                "largest speed error %.3g (%.3g in one frame), flattest paddle bounce %.7g of the speed, "
                "heap in use %zu after warm-up, at most %zu\n",
                frameCount, seconds, seconds * 1e6 / static_cast<double>(frameCount), framesInPlay, losses,
                autopilot.ballsGivenUp, paddleHits, bricksDestroyed, mostBricksInOneBall, fewestBricksLeft, largestHistoryCapacity,
                largestSpeedError, largestSpeedStep, flattestBounce, heapAfterWarmUp, largestHeap);

    // The run must have played for real: most frames in play, many returns, many rebuilds.
    // (Measured: 978,256 frames in play, 16,270 paddle hits, 1,445 lost balls, 25,085 bricks.)
    EXPECT_GT(framesInPlay, frameCount * 9 / 10);
    EXPECT_GT(paddleHits, 8000);
    EXPECT_GT(losses, 700);
    EXPECT_GT(bricksDestroyed, 12000);
    EXPECT_GT(heapAfterWarmUp, 0u) << "the heap was not measured";
    EXPECT_LE(largestHeap, heapAfterWarmUp + 4096);
}

}  // namespace
