// The game with its level emptied right after start-up, so that the first frame already wins:
// lets the end-to-end tests reach the win message without playing. Everything else is the
// game's own start-up and main loop.
#include "app/Startup.h"
#include "game/Level.h"

#include <GL/freeglut.h>

int main(int argc, char** argv)
{
    startGame(&argc, argv);
    level.bricks.clear();
    glutMainLoop();
    return 1;
}
