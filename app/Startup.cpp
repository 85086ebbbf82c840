#include "app/Startup.h"

#include "app/Callbacks.h"
#include "game/GameController.h"
#include "platform/MessageBox.h"
#include "render/OpenGLContext.h"

#include <GL/glew.h>
#include <GL/freeglut.h>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>

namespace {

// Says what the game needs and what the driver offers, on standard error and in a box, and
// ends the game once the box is dismissed: without OpenGL 3.3 the first shader call would crash.
[[noreturn]] void refuseContext()
{
    const std::string text = "Zorvex needs OpenGL 3.3 or later. This computer's driver offers:\n" + describeContext();
    std::fprintf(stderr, "%s\n", text.c_str());
    std::fflush(stderr);
    showMessageBox("Zorvex", text.c_str());
    exit(1);
}

}  // namespace

void startGame(int* argc, char** argv)
{
    srand(static_cast<uint32_t>(time(nullptr)));
    glutInit(argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE);
    glutInitWindowPosition(100, 100);
    glutInitWindowSize(600, 600);
    glutCreateWindow("Zorvex_OOP");
    if (!contextOffersOpenGL33())
        refuseContext();

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
