#include "game/Level.h"

#include "render/AssetStore.h"

#include <cstdint>

namespace {

const glm::vec3 red(1.0f, 0.0f, 0.0f);
const glm::vec3 green(0.0f, 1.0f, 0.0f);
const glm::vec3 blue(0.0f, 0.0f, 1.0f);
// Only a level of more than ten rows can reach a brick before any colour has been chosen.
const glm::vec3 white(1.0f, 1.0f, 1.0f);

// The stripe colour state of one generateLevel call. A brick for which no rule picks a
// colour keeps the colour of the brick before it.
struct StripePainter {
    int32_t greenCounter = 0;
    int32_t redCounter = 1;
    int32_t blueCounter = 2;
    glm::vec3 current = white;

    // A counter that has reached 3 is reset and sits this brick out; otherwise it picks
    // its colour when it equals v.
    void testCounter(int32_t& counter, int32_t v, const glm::vec3& colour)
    {
        if (counter >= 3)
            counter = 0;
        else if (v == counter)
            current = colour;
    }

    // `v` is the signed remainder of the stripe sum; it is negative only for levels of more than nine rows.
    void paint(unsigned columns, uint32_t brickNumber, int32_t v)
    {
        switch (columns % 3) {
        case 1:
            current = brickNumber % 3 == 1 ? red : brickNumber % 3 == 2 ? green : blue;
            break;
        case 2:
            if (v == 0)
                current = blue;
            else if (v == 1)
                current = green;
            else if (v == 2)
                current = red;
            break;
        default:
            testCounter(greenCounter, v, green);
            testCounter(redCounter, v, red);
            testCounter(blueCounter, v, blue);
            break;
        }
    }

    void nextRow()
    {
        ++greenCounter;
        ++redCounter;
        ++blueCounter;
    }
};

}  // namespace

void generateLevel(unsigned width, unsigned height, unsigned columns, unsigned rows, unsigned filledRows)
{
    const float unitWidth = static_cast<float>(width) / static_cast<float>(columns);
    const float unitHeight = static_cast<float>(height) / static_cast<float>(rows);
    if (filledRows == 0)
        return;

    StripePainter painter;
    uint32_t brickNumber = 0;
    // Unsigned, so that it wraps for levels of more than nine rows; read as signed below.
    uint32_t rowBase = (9u - filledRows) * columns;
    for (uint32_t row = 0; row < filledRows; ++row) {
        rowBase += columns;
        for (uint32_t column = 0; column < columns; ++column) {
            ++brickNumber;
            const int32_t v = static_cast<int32_t>(rowBase - column + 10u) % 3;
            painter.paint(columns, brickNumber, v);
            const glm::vec2 position(static_cast<float>(column) * unitWidth, static_cast<float>(row) * unitHeight);
            const GameObject brick(position, glm::vec2(unitWidth, unitHeight), AssetStore::textureFor("block"),
                                   painter.current, glm::vec2(0.0f, 0.0f), static_cast<float>(column));
            level.bricks.push_back(brick);
        }
        painter.nextRow();
    }
}
