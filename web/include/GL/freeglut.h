/* Emscripten's GLUT declares freeglut's standard functions (glutIgnoreKeyRepeat,
   glutSpecialUpFunc, ...) under <GL/glut.h> but ships no <GL/freeglut.h>, which the game
   includes as on the desktop. */
#pragma once
#include <GL/glut.h>
