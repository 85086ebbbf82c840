// The GLUT callbacks that drive the game once the main loop runs. Plain functions,
// so that tests can call the key and frame handlers without a main loop.
#pragma once

void onKeyboard(unsigned char key, int x, int y);
void onSpecialKey(int key, int x, int y);
void onSpecialKeyUp(int key, int x, int y);
void onReshape(int width, int height);
void onDisplay();
void onTimer(int value);
