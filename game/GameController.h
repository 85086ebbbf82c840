// The game's one record: its state, the started flag and the settings, plus start-up (init),
// the per-frame step (update) and the collision pass (resolveCollisions).
#pragma once
#include "game/GameObject.h"
#include "render/QuadRenderer.h"
#include <glm/glm.hpp>
#include <memory>

enum GameState : int32_t { Active = 0, Won = 1 };

class GameController {
public:
    GameState state = Active;
    bool started = false;  // the ball is in play; set by space, cleared by a lost ball
    unsigned width = 600;  // play field in pixels, the window's size
    unsigned height = 600;
    unsigned brickColumns = 10;
    unsigned brickRows = 10;  // the grid rows the height is divided into
    unsigned filledRows = 5;  // the rows that are built, from the top
    glm::vec2 paddleSize{0.0f, 0.0f};
    glm::vec2 ballVelocity{0.0f, 0.0f};  // launch velocity, drawn once per process
    float paddleSpeed = 0.0f;            // pixels per simulated second
    float ballRadius = 0.0f;

    // Start-up: needs the window's GL context. Runs once.
    void init();
    // The start-up settings: the paddle's size and speed and the ball's radius.
    void loadSettings();
    // The paddle at its start position, the ball resting on it, both with their textures.
    void createPaddleAndBall();
    // Empties the level and builds a complete one.
    void buildLevel();
    // Keeps at least one grid row free below the bricks.
    void clampFilledRows();
    // One frame: ten sub-steps of `deltaTime`, then the lost-ball and win tests.
    void update(bool started);
    // Ball against every live brick, then the paddle.
    void resolveCollisions();
    // Empties and rebuilds the level, puts paddle and ball back and waits for space.
    void resetAfterLoss();
};

// The launch velocity for the first two rand() results: length 350, pointing upwards.
glm::vec2 launchVelocity(int r1, int r2);

// Moves the paddle by `paddleVelocity`, taking back a step that reaches either edge.
void movePaddle();

// The game's part of one displayed frame, everything but the drawing: sub-steps of 1/300 s, the
// paddle's motion while the game is active, then the update. The paddle moves first, so that
// the frame's collisions meet the paddle where the frame then draws it.
void advanceFrame();

extern GameController game;
extern std::unique_ptr<GameObject> paddle;
extern std::unique_ptr<BallObject> ball;
extern std::unique_ptr<QuadRenderer> renderer;

// Written by the key callbacks: the paddle's displacement per frame, in pixels.
extern float paddleVelocity;
// Length of one simulation sub-step in seconds; every frame sets it to 1/300.
extern float deltaTime;
