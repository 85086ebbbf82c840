#include "app/Callbacks.h"

#include "game/GameController.h"
#include "game/Level.h"
#include "render/AssetStore.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <cstdlib>

namespace {
constexpr unsigned char escapeKey = 27;
constexpr unsigned char spaceKey = 32;
constexpr unsigned int frameMilliseconds = 33;
}

void onKeyboard(unsigned char key, int, int)
{
    if (key == escapeKey)
        exit(0);
    // Once the ball is in play no ordinary key changes anything; a lost ball clears `started`.
    if (!game.started)
        game.started = key == spaceKey;
}

void onSpecialKey(int key, int, int)
{
    if (!game.started)
        return;
    if (key == GLUT_KEY_LEFT)
        paddleVelocity = game.paddleSpeed / -30.0f;
    else if (key == GLUT_KEY_RIGHT)
        paddleVelocity = game.paddleSpeed / 30.0f;
}

void onSpecialKeyUp(int key, int, int)
{
    if (!game.started)
        return;
    // Releasing either arrow stops the paddle, even while the other is still held.
    if (key == GLUT_KEY_LEFT || key == GLUT_KEY_RIGHT)
        paddleVelocity = 0.0f;
}

void onReshape(int width, int height)
{
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    // The sprites take their projection from the shader, so this box only matters to
    // fixed-function drawing. A full-size window keeps the identity: a zero-sized box is invalid.
    const float newWidth = static_cast<float>(width);
    const float newHeight = static_cast<float>(height == 0 ? 1 : height);
    if (newWidth < 600.0f || newHeight < 600.0f)
        gluOrtho2D(0.0, 10.0, 0.0, 10.0);
    glMatrixMode(GL_MODELVIEW);
}

void onDisplay()
{
    glClear(GL_COLOR_BUFFER_BIT);
    advanceFrame();
    if (game.state == Active) {
        Texture background = AssetStore::textureFor("background");
        renderer->drawQuad(background, glm::vec2(0.0f, 0.0f),
                           glm::vec2(static_cast<float>(game.width), static_cast<float>(game.height)), 0.0f,
                           glm::vec3(1.0f, 1.0f, 1.0f));
        paddle->draw(*renderer);
        for (GameObject& brick : level.bricks)
            if (brick.alive)
                brick.draw(*renderer);
        ball->draw(*renderer);
    }
    glutSwapBuffers();
}

void onTimer(int)
{
    glutIgnoreKeyRepeat(1);
    glutKeyboardFunc(onKeyboard);
    glutSpecialFunc(onSpecialKey);
    glutSpecialUpFunc(onSpecialKeyUp);
    glutPostRedisplay();
    glutTimerFunc(frameMilliseconds, onTimer, 0);
}
