// Brick level generation: grid positions, column values and the diagonal colour stripes.
#include "GameFixture.h"

#include <string>

namespace {

// Empties the level and generates a new one with a 600 × 600 field.
const std::vector<GameObject>& generate(unsigned columns, unsigned rows, unsigned filledRows)
{
    level.bricks.clear();
    generateLevel(600, 600, columns, rows, filledRows);
    return level.bricks;
}

char letter(const glm::vec3& colour)
{
    if (colour == glm::vec3(1.0f, 0.0f, 0.0f))
        return 'R';
    if (colour == glm::vec3(0.0f, 1.0f, 0.0f))
        return 'G';
    if (colour == glm::vec3(0.0f, 0.0f, 1.0f))
        return 'B';
    if (colour == glm::vec3(1.0f, 1.0f, 1.0f))
        return 'W';
    return '?';
}

std::string rowColours(unsigned row, unsigned columns)
{
    std::string letters;
    for (unsigned j = 0; j < columns; ++j)
        letters += letter(level.bricks.at(row * columns + j).color);
    return letters;
}

// The stripe colour of row k, column j: with columns mod 3 = 0 or 1 (and, for columns mod 3 = 2,
// filledRows mod 3 = 2) R, G, B for (k + j) mod 3 = 0, 1, 2; rotated for the other filledRows.
char stripe(unsigned columns, unsigned filledRows, unsigned k, unsigned j)
{
    const char* order = "RGB";
    if (columns % 3 == 2 && filledRows % 3 == 0)
        order = "BRG";
    if (columns % 3 == 2 && filledRows % 3 == 1)
        order = "GBR";
    return order[(k + j) % 3];
}

TEST(LevelTest, GameLevelIsFiftyBricksOf60By60InTheUpperHalf)
{
    const auto& bricks = generate(10, 10, 5);
    ASSERT_EQ(bricks.size(), 50u);
    for (unsigned n = 0; n < 50; ++n) {
        const float column = static_cast<float>(n % 10);
        const float row = static_cast<float>(n / 10);
        EXPECT_EQ(bricks[n].position, glm::vec2(60.0f * column, 60.0f * row)) << "brick " << n + 1;
        EXPECT_EQ(bricks[n].size, glm::vec2(60.0f, 60.0f));
        EXPECT_EQ(bricks[n].column, column);
        EXPECT_EQ(bricks[n].velocity, glm::vec2(0.0f, 0.0f));
        EXPECT_EQ(bricks[n].rotation, 0.0f);
        EXPECT_TRUE(bricks[n].alive);
    }
    EXPECT_EQ(bricks[0].position, glm::vec2(0.0f, 0.0f));
    EXPECT_EQ(bricks[9].position, glm::vec2(540.0f, 0.0f));
    EXPECT_EQ(bricks[10].position, glm::vec2(0.0f, 60.0f));
    EXPECT_EQ(bricks[49].position, glm::vec2(540.0f, 240.0f));

    const char* const stripes[] = {"RGBRGBRGBR", "GBRGBRGBRG", "BRGBRGBRGB", "RGBRGBRGBR", "GBRGBRGBRG"};
    for (unsigned row = 0; row < 5; ++row)
        EXPECT_EQ(rowColours(row, 10), stripes[row]) << "row " << row;
}

TEST(LevelTest, NineAndElevenColumnsGiveTheSameStripes)
{
    for (unsigned columns : {9u, 11u}) {
        generate(columns, 10, 5);
        EXPECT_EQ(rowColours(0, columns), std::string("RGBRGBRGBRG").substr(0, columns));
        EXPECT_EQ(rowColours(4, columns), std::string("GBRGBRGBRGB").substr(0, columns));
    }
}

TEST(LevelTest, ElevenColumnsRotateTheColoursWithFilledRows)
{
    generate(11, 10, 4);
    EXPECT_EQ(rowColours(0, 11), "GBRGBRGBRGB");
    generate(11, 10, 3);
    EXPECT_EQ(rowColours(0, 11), "BRGBRGBRGBR");
    // The row sum starts from 9 - filledRows whatever the number of grid rows: a grid of 8 rows
    // (cells 75 high) gives the same stripes.
    generate(11, 8, 3);
    EXPECT_EQ(rowColours(0, 11), "BRGBRGBRGBR");
    EXPECT_EQ(rowColours(2, 11), "GBRGBRGBRGB");
}

TEST(LevelTest, StripesForEveryColumnCountUpToNineRows)
{
    for (unsigned columns = 1; columns <= 13; ++columns) {
        for (unsigned filledRows = 1; filledRows <= 9; ++filledRows) {
            const auto& bricks = generate(columns, 10, filledRows);
            ASSERT_EQ(bricks.size(), columns * filledRows);
            for (unsigned k = 0; k < filledRows; ++k)
                for (unsigned j = 0; j < columns; ++j)
                    ASSERT_EQ(letter(bricks[k * columns + j].color), stripe(columns, filledRows, k, j))
                        << columns << " columns, " << filledRows << " rows, brick (" << k << ", " << j << ")";
        }
    }
}

TEST(LevelTest, MoreThanTenRowsKeepTheColourBeforeAnUnselectedBrick)
{
    // 3 columns, 14 rows: the row sum starts at (9 - 14) * 3 + 3 = -12, so v in row 0 is
    // -2, 0, -1 for columns 0, 1, 2 and in row 1 (sum -9) 1, 0, -2.
    const auto& bricks = generate(3, 10, 14);
    ASSERT_EQ(bricks.size(), 42u);
    EXPECT_EQ(letter(bricks[0].color), 'W');  // no colour chosen yet in this call
    EXPECT_EQ(letter(bricks[1].color), 'G');
    EXPECT_EQ(letter(bricks[2].color), 'G');
    EXPECT_EQ(letter(bricks[4].color), 'B');
    EXPECT_EQ(letter(bricks[5].color), 'B');
}

TEST(LevelTest, EachPositionIsOneProduct)
{
    // 600 / 9 in single precision is 66.666664; eight running sums of it would put column 6 at
    // 399.99997, where the product 6 × 66.666664 rounds to 400.
    const float unitWidth = 600.0f / 9.0f;
    const auto& bricks = generate(9, 8, 2);
    ASSERT_EQ(bricks.size(), 18u);
    EXPECT_EQ(bricks[1].position.x, 66.666664f);
    EXPECT_EQ(bricks[6].position.x, 400.0f);
    EXPECT_EQ(bricks[8].position.x, 8.0f * unitWidth);
    for (unsigned j = 0; j < 9; ++j)
        EXPECT_EQ(bricks[9 + j].position, glm::vec2(static_cast<float>(j) * unitWidth, 75.0f));
    EXPECT_EQ(bricks[0].size, glm::vec2(unitWidth, 75.0f));  // `rows` sets only the height: 600 / 8
}

TEST(LevelTest, ColumnValuesRestartWithEveryRow)
{
    const auto& bricks = generate(7, 10, 6);
    ASSERT_EQ(bricks.size(), 42u);
    for (unsigned n = 0; n < bricks.size(); ++n)
        EXPECT_EQ(bricks[n].column, static_cast<float>(n % 7)) << "brick " << n;
}

TEST(LevelTest, OneColumnRunsRedGreenBlueDownTheRows)
{
    const auto& bricks = generate(1, 10, 6);
    ASSERT_EQ(bricks.size(), 6u);
    std::string colours;
    for (const GameObject& brick : bricks) {
        colours += letter(brick.color);
        EXPECT_EQ(brick.column, 0.0f);
        EXPECT_EQ(brick.position.x, 0.0f);
        EXPECT_EQ(brick.size.x, 600.0f);
    }
    EXPECT_EQ(colours, "RGBRGB");
}

TEST(LevelTest, NoRowsOrNoColumnsBuildNothingAndTheListIsOnlyAppendedTo)
{
    EXPECT_TRUE(generate(0, 10, 5).empty());

    level.bricks.clear();
    level.bricks.push_back(box(glm::vec2(7.0f, 7.0f), glm::vec2(1.0f, 1.0f), 3.0f));
    generateLevel(600, 600, 10, 10, 0);
    ASSERT_EQ(level.bricks.size(), 1u);
    EXPECT_EQ(level.bricks[0].position, glm::vec2(7.0f, 7.0f));

    generateLevel(600, 600, 10, 10, 1);
    ASSERT_EQ(level.bricks.size(), 11u);
    EXPECT_EQ(level.bricks[1].position, glm::vec2(0.0f, 0.0f));
    // The level object itself stays a default object: only its list changes.
    EXPECT_EQ(level.position, glm::vec2(0.0f, 0.0f));
    EXPECT_EQ(level.size, glm::vec2(1.0f, 1.0f));
}

}  // namespace
