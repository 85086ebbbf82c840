// Zorvex: clear the bricks with the ball, keep the ball in play with the paddle.
#include "app/Startup.h"
#include "render/AssetStore.h"

#include <GL/freeglut.h>

int main(int argc, char** argv)
{
    startGame(&argc, argv);
    glutMainLoop();
    // The game normally leaves through exit(0) from a callback; reaching here is the unusual end.
    AssetStore::releaseAll();
    return 1;
}
