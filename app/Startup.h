// Everything `main` does before the main loop: seeds rand, opens the window, sets the fixed
// GL state, runs the controller's start-up and arms the frame timer. Test programs call it too.
#pragma once

void startGame(int* argc, char** argv);
