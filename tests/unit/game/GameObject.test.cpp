// Construction and copying of the paddle, brick and ball objects.
#include "GameFixture.h"

namespace {

const glm::vec3 white(1.0f, 1.0f, 1.0f);

TEST(GameObjectTest, DefaultObjectIsAPresentWhiteUnitSquare)
{
    const GameObject object;
    EXPECT_EQ(object.position, glm::vec2(0.0f, 0.0f));
    EXPECT_EQ(object.size, glm::vec2(1.0f, 1.0f));
    EXPECT_EQ(object.velocity, glm::vec2(0.0f, 0.0f));
    EXPECT_EQ(object.color, white);
    EXPECT_EQ(object.rotation, 0.0f);
    EXPECT_EQ(object.column, 0.0f);
    EXPECT_TRUE(object.alive);
    EXPECT_TRUE(object.bricks.empty());
}

TEST(GameObjectTest, FullConstructorStoresEachArgument)
{
    const GameObject object(glm::vec2(1.0f, 2.0f), glm::vec2(3.0f, 4.0f), Texture(), glm::vec3(0.0f, 1.0f, 0.0f),
                            glm::vec2(5.0f, 6.0f), 7.0f);
    EXPECT_EQ(object.position, glm::vec2(1.0f, 2.0f));
    EXPECT_EQ(object.size, glm::vec2(3.0f, 4.0f));
    EXPECT_EQ(object.color, glm::vec3(0.0f, 1.0f, 0.0f));
    EXPECT_EQ(object.velocity, glm::vec2(5.0f, 6.0f));
    EXPECT_EQ(object.column, 7.0f);
    EXPECT_EQ(object.rotation, 0.0f);
    EXPECT_TRUE(object.alive);
    EXPECT_TRUE(object.bricks.empty());
}

TEST(GameObjectTest, BallOfRadius9Is18By18)
{
    const BallObject ballObject(glm::vec2(291.0f, 510.0f), 9.0f, glm::vec2(-3.0f, -4.0f), Texture());
    EXPECT_EQ(ballObject.radius, 9.0f);
    EXPECT_EQ(ballObject.size, glm::vec2(18.0f, 18.0f));
    EXPECT_EQ(ballObject.position, glm::vec2(291.0f, 510.0f));
    EXPECT_EQ(ballObject.velocity, glm::vec2(-3.0f, -4.0f));
    EXPECT_EQ(ballObject.color, white);
    EXPECT_EQ(ballObject.rotation, 0.0f);
    EXPECT_EQ(ballObject.column, 0.0f);
    EXPECT_TRUE(ballObject.alive);
    EXPECT_TRUE(ballObject.bricks.empty());
}

TEST(GameObjectTest, CopyHasItsOwnBrickList)
{
    GameObject source;
    source.bricks.push_back(box(glm::vec2(0.0f, 0.0f), glm::vec2(60.0f, 60.0f), 0.0f));
    source.bricks.push_back(box(glm::vec2(60.0f, 0.0f), glm::vec2(60.0f, 60.0f), 1.0f));
    {
        GameObject copy = source;
        ASSERT_EQ(copy.bricks.size(), 2u);
        EXPECT_EQ(copy.bricks[1].position, glm::vec2(60.0f, 0.0f));
        EXPECT_EQ(copy.bricks[1].column, 1.0f);
        copy.bricks[0].alive = false;
        copy.bricks[1].position.x = 99.0f;
        copy.bricks.pop_back();
    }
    ASSERT_EQ(source.bricks.size(), 2u);
    EXPECT_TRUE(source.bricks[0].alive);
    EXPECT_EQ(source.bricks[1].position, glm::vec2(60.0f, 0.0f));
}

}  // namespace
