// The model matrix of a rectangle, element by element. Expected values are worked out here
// in single precision from the construction: translate to the corner, translate to the centre,
// turn, translate back, scale, each multiplied on the right.
#include "render/QuadRenderer.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

void expectColumn(const glm::mat4& m, int column, glm::vec4 expected)
{
    for (int row = 0; row < 4; ++row)
        EXPECT_EQ(m[column][row], expected[row]) << "column " << column << ", row " << row;
}

glm::vec2 place(const glm::mat4& m, float x, float y)
{
    const glm::vec4 p = m * glm::vec4(x, y, 0.0f, 1.0f);
    return glm::vec2(p.x, p.y);
}

// Where the unit square's corner (x, y) lands, to within rounding.
void expectPlaced(const glm::mat4& m, float x, float y, glm::vec2 expected)
{
    const glm::vec2 placed = place(m, x, y);
    EXPECT_NEAR(placed.x, expected.x, 1e-4f) << "corner (" << x << ", " << y << ")";
    EXPECT_NEAR(placed.y, expected.y, 1e-4f) << "corner (" << x << ", " << y << ")";
}

TEST(QuadModelMatrix, UnturnedRectangleIsScaledAndPlacedExactly)
{
    const glm::mat4 m = quadModelMatrix(glm::vec2(240.0f, 528.0f), glm::vec2(120.0f, 12.0f), 0.0f);

    expectColumn(m, 0, glm::vec4(120.0f, 0.0f, 0.0f, 0.0f));
    expectColumn(m, 1, glm::vec4(0.0f, 12.0f, 0.0f, 0.0f));
    expectColumn(m, 2, glm::vec4(0.0f, 0.0f, 1.0f, 0.0f));
    expectColumn(m, 3, glm::vec4(240.0f, 528.0f, 0.0f, 1.0f));
    EXPECT_EQ(place(m, 1.0f, 1.0f), glm::vec2(360.0f, 540.0f));
}

// Sine and cosine in double precision, rounded to single; the rest in single precision.
void expectTurned(glm::vec2 position, glm::vec2 size, float angle)
{
    const float c = static_cast<float>(std::cos(static_cast<double>(angle)));
    const float s = static_cast<float>(std::sin(static_cast<double>(angle)));
    const float halfWidth = 0.5f * size.x;
    const float halfHeight = 0.5f * size.y;
    // Translating by t sets column 3 to M·(t, 1); here M's columns 0 and 1 are (c, s) and (−s, c).
    const float x = ((c * -halfWidth + -s * -halfHeight) + 0.0f) + (position.x + halfWidth);
    const float y = ((s * -halfWidth + c * -halfHeight) + 0.0f) + (position.y + halfHeight);
    const glm::mat4 m = quadModelMatrix(position, size, angle);

    expectColumn(m, 0, glm::vec4(c * size.x, s * size.x, 0.0f, 0.0f));
    expectColumn(m, 1, glm::vec4(-s * size.y, c * size.y, 0.0f, 0.0f));
    // About the z axis, the general axis-angle form gives c + (1 − c) · 1 on the diagonal.
    expectColumn(m, 2, glm::vec4(0.0f, 0.0f, c + (1.0f - c), 0.0f));
    expectColumn(m, 3, glm::vec4(x, y, 0.0f, 1.0f));
}

TEST(QuadModelMatrix, TurnedRectanglesMatchTheConstruction)
{
    expectTurned(glm::vec2(240.0f, 528.0f), glm::vec2(120.0f, 12.0f), static_cast<float>(std::acos(-1.0) / 2.0));
    expectTurned(glm::vec2(10.25f, 3.5f), glm::vec2(60.0f, 20.0f), 0.3f);
    expectTurned(glm::vec2(-7.0f, 300.0f), glm::vec2(18.0f, 18.0f), -2.5f);
    expectTurned(glm::vec2(100.0f, 100.0f), glm::vec2(33.0f, 7.0f), 1000.0f);
    // Angles whose single-precision cosine (the first) and sine (the second) from glibc differ
    // in the last bit from the double-precision results rounded to single.
    expectTurned(glm::vec2(64.0f, 32.0f), glm::vec2(60.0f, 20.0f), 0x1.000026p+0f);
    expectTurned(glm::vec2(64.0f, 32.0f), glm::vec2(60.0f, 20.0f), 0x1.000064p+0f);
}

// A quarter turn of the paddle's rectangle about its centre (300, 534), clockwise on screen.
TEST(QuadModelMatrix, QuarterTurnOfThePaddleRectangle)
{
    const glm::mat4 m =
        quadModelMatrix(glm::vec2(240.0f, 528.0f), glm::vec2(120.0f, 12.0f), static_cast<float>(std::acos(-1.0) / 2.0));

    expectPlaced(m, 0.0f, 0.0f, glm::vec2(306.0f, 474.0f));
    expectPlaced(m, 1.0f, 0.0f, glm::vec2(306.0f, 594.0f));
    expectPlaced(m, 1.0f, 1.0f, glm::vec2(294.0f, 594.0f));
}

}  // namespace
