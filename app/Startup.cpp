#include "app/Startup.h"

#include "app/Callbacks.h"
#include "game/GameController.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <cstdint>
#include <cstdlib>
#include <ctime>

void startGame(int* argc, char** argv)
{
    srand(static_cast<uint32_t>(time(nullptr)));
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowPosition(100, 100);
    glutInitWindowSize(600, 600);
    glutCreateWindow("Zorvex_OOP");

    glEnable(GL_CULL_FACE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

    game.init();
    game.state = Active;

    glutDisplayFunc(onDisplay);
    glutReshapeFunc(onReshape);
    glutPostRedisplay();
    // The key callbacks are registered by the first tick, not here.
    glutTimerFunc(33, onTimer, 0);
}
