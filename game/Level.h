// The brick level: `level.bricks` holds the bricks of the level being played, row by row
// from the top, left to right within a row. Destroyed bricks stay in the list until the next build.
#pragma once
#include "game/GameObject.h"

extern GameObject level;

// Appends `filledRows` rows of `columns` bricks, tinted in diagonal red, green and blue stripes.
// `rows` only sets the brick height (height / rows). The caller empties the list first.
void generateLevel(unsigned width, unsigned height, unsigned columns, unsigned rows, unsigned filledRows);
