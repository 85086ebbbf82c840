// Broken, missing and unexpected shader sources and images: the game keeps running and
// drawing, reports shader failures (and only those) on standard output, and still ends with
// status 0 on Escape.
#include "Assets.h"
#include "Files.h"
#include "GameChecks.h"
#include "GameFolder.h"
#include "GameProcess.h"
#include "ImageFiles.h"
#include "Keyboard.h"
#include "ReferenceContext.h"
#include "Screenshot.h"
#include "ShaderReports.h"

#include <functional>
#include <gtest/gtest.h>
#include <stb_image.h>

using namespace std::chrono_literals;

namespace {

struct BadInput {
    std::string name;
    std::function<void(GameFolder&)> prepare;
    // With both shader stages intact the sprites are drawn, and the ball can be seen to move
    // even where one of the images is unusable.
    bool spritesDrawn = true;
    // What the case relies on about the driver, checked before the game runs in a reference
    // context.
    std::function<::testing::AssertionResult(const GameFolder&)> premise = nullptr;
};

std::string versionLine(const std::string& source)
{
    if (source.rfind("#version", 0) != 0)
        return "";
    return source.substr(0, source.find('\n') + 1);
}

// The standard output of the game's shader build over the folder's sources: the read-failure
// line when either file can't be read (and then both stages are built from empty text), then
// the report of every failing stage and of a failing link.
std::string expectedOutputFor(const GameFolder& folder)
{
    if (!folder.has("vertex.txt") || !folder.has("fragment.txt"))
        return shaderReadFailureLine + expectedBuildOutput("", "");
    return expectedBuildOutput(folder.readText("vertex.txt"), folder.readText("fragment.txt"));
}

std::function<void(GameFolder&)> removing(std::vector<std::string> names)
{
    return [names](GameFolder& folder) {
        for (const std::string& name : names)
            folder.remove(name);
    };
}

std::function<void(GameFolder&)> replacing(const std::string& name, std::function<Bytes()> content)
{
    return [name, content](GameFolder& folder) { folder.write(name, content()); };
}

Bytes firstHalfOf(const std::string& asset)
{
    const Bytes whole = readFile(sourceAsset(asset).string());
    return truncated(whole, whole.size() / 2);
}

std::vector<BadInput> badInputs()
{
    std::vector<BadInput> inputs;
    inputs.push_back({"VertexSourceMissing", removing({"vertex.txt"}), false});
    inputs.push_back({"FragmentSourceEmpty", replacing("fragment.txt", [] { return Bytes(); }), false});
    inputs.push_back({"FragmentSyntaxError",
                      [](GameFolder& folder) {
                          folder.write("fragment.txt",
                                       readText(sourceAsset("fragment.txt")) + "\nthis is not a statement\n");
                      },
                      false,
                      [](const GameFolder& folder) {
                          if (compileOutcome(GL_FRAGMENT_SHADER, folder.readText("fragment.txt")).succeeded)
                              return ::testing::AssertionFailure() << "the broken fragment stage compiles";
                          return ::testing::AssertionSuccess();
                      }});
    // A vertex stage without main compiles on its own; only the link finds it incomplete.
    inputs.push_back({"VertexStageWithoutMain",
                      [](GameFolder& folder) {
                          folder.write("vertex.txt", versionLine(readText(sourceAsset("vertex.txt"))) +
                                                         "layout (location = 0) in vec2 corner;\n"
                                                         "void notMain()\n{\n"
                                                         "    gl_Position = vec4(corner, 0.0, 1.0);\n}\n");
                      },
                      false,
                      [](const GameFolder& folder) {
                          const std::string vertex = folder.readText("vertex.txt");
                          const std::string fragment = folder.readText("fragment.txt");
                          const StageOutcome compiled = compileOutcome(GL_VERTEX_SHADER, vertex);
                          if (!compiled.succeeded)
                              return ::testing::AssertionFailure() << "the vertex stage doesn't compile: "
                                                                   << compiled.log;
                          if (linkOutcome(vertex, fragment).succeeded)
                              return ::testing::AssertionFailure() << "the program links without main";
                          return ::testing::AssertionSuccess();
                      }});
    for (const std::string& image : imageAssetNames())
        inputs.push_back({"Missing_" + image.substr(0, image.find('.')), removing({image})});
    // Every sprite then samples an empty texture, which shows black: nothing to see move.
    inputs.push_back({"AllImagesMissing", removing(imageAssetNames()), false});
    inputs.push_back({"EmptyBackground", replacing("background.jpg", [] { return Bytes(); })});
    inputs.push_back({"RandomBytesBlock", replacing("block.png", [] { return randomBytes(4096, 20240601); })});
    inputs.push_back({"TruncatedPngFace", replacing("awesomeface_01.png", [] { return firstHalfOf("awesomeface_01.png"); })});
    inputs.push_back({"TruncatedJpegBackground", replacing("background.jpg", [] { return firstHalfOf("background.jpg"); })});
    inputs.push_back({"GreyPngPaddle", replacing("paddle.png", [] { return greyPng(120, 12); })});
    inputs.push_back({"SixteenBitPngFace", replacing("awesomeface_01.png", [] { return rgba16Png(64, 64); })});
    inputs.push_back({"PalettePngPaddle", replacing("paddle.png", [] { return palettePng(120, 12); })});
    inputs.push_back({"OddWidthJpegBackground", replacing("background.jpg", [] { return rgbJpeg(301, 201); })});
    inputs.push_back({"HugeHeaderPngBlock", replacing("block.png", [] { return oversizedPng(100000, 100000); })});
    inputs.push_back({"AllFilesMissing", removing(assetNames()), false});
    return inputs;
}

// Test names and failure messages show the case by its name.
void PrintTo(const BadInput& input, std::ostream* out)
{
    *out << input.name;
}

class BadInputRun : public ::testing::TestWithParam<BadInput> {};

}  // namespace

TEST_P(BadInputRun, KeepsRunningAndReportsOnlyShaderFailures)
{
    const BadInput& input = GetParam();
    GameFolder folder;
    input.prepare(folder);
    std::string expected;
    ::testing::AssertionResult premiseHolds = ::testing::AssertionSuccess();
    inReferenceContext([&] {
        if (input.premise)
            premiseHolds = input.premise(folder);
        expected = expectedOutputFor(folder);
    });
    ASSERT_TRUE(premiseHolds);

    GameProcess game(folder);
    const WindowId window = game.waitForWindow();
    // Without a usable program nothing is drawn and the window stays black, but its frames
    // still come, and with them the first tick.
    if (!input.spritesDrawn) {
        waitForFirstTick(window);
    } else {
        const Image first = waitUntilTakingKeys(window);
        pressKeys(window, {"space"});
        const PictureWait moved = waitForChange(window, first, 3000ms);
        EXPECT_TRUE(moved.satisfied) << "the picture doesn't change after space";
        if (!moved.satisfied)
            keepScreenshot(moved.last, "after-space");
    }

    // Up for at least two seconds from the start.
    const auto upSoFar = std::chrono::duration_cast<std::chrono::milliseconds>(game.runningFor());
    EXPECT_TRUE(staysRunningFor(game, std::max(2000ms - upSoFar, 100ms)))
        << "the game ended by itself: " << game.waitForExit(0ms).describe() << "; stderr: " << game.standardError();

    EXPECT_TRUE(endsWithStatusZeroOnEscape(game, window));
    const std::string output = game.standardOutput();
    EXPECT_EQ(output, gameLaunch().consoleText(expected));
    // Kept in the test log: what the player would have seen in the console.
    std::cout << "standard output of the game (" << output.size() << " bytes):\n" << output;
    const std::string errors = game.standardError();
    if (!errors.empty())
        std::cout << "standard error of the game:\n" << errors;
}

INSTANTIATE_TEST_SUITE_P(Assets, BadInputRun, ::testing::ValuesIn(badInputs()),
                         [](const ::testing::TestParamInfo<BadInput>& info) { return info.param.name; });

// The bad-input cases above rely on these files being what their names say.
TEST(CraftedImages, AreTheKindsTheyClaimToBe)
{
    int width = 0;
    int height = 0;
    int channels = 0;
    const auto info = [&](const Bytes& file) {
        return stbi_info_from_memory(file.data(), static_cast<int>(file.size()), &width, &height, &channels) == 1;
    };
    const auto decodes = [](const Bytes& file) {
        int w = 0, h = 0, c = 0;
        unsigned char* pixels = stbi_load_from_memory(file.data(), static_cast<int>(file.size()), &w, &h, &c, 0);
        stbi_image_free(pixels);
        return pixels != nullptr;
    };

    const Bytes grey = greyPng(120, 12);
    ASSERT_TRUE(info(grey));
    EXPECT_EQ(channels, 1);
    EXPECT_TRUE(decodes(grey));

    const Bytes deep = rgba16Png(64, 64);
    ASSERT_TRUE(info(deep));
    EXPECT_EQ(channels, 4);
    EXPECT_TRUE(stbi_is_16_bit_from_memory(deep.data(), static_cast<int>(deep.size())));
    EXPECT_TRUE(decodes(deep));

    const Bytes indexed = palettePng(120, 12);
    ASSERT_TRUE(info(indexed));
    EXPECT_EQ(indexed[25], 3) << "colour type in IHDR";
    EXPECT_TRUE(decodes(indexed));

    const Bytes odd = rgbJpeg(301, 201);
    ASSERT_TRUE(info(odd));
    EXPECT_EQ(width, 301);
    EXPECT_EQ(channels, 3);
    EXPECT_NE(width * 3 % 4, 0) << "rows should not be a multiple of four bytes long";
    EXPECT_TRUE(decodes(odd));

    // The decoder refuses the header outright, so read the claimed size from IHDR ourselves.
    const Bytes huge = oversizedPng(100000, 100000);
    const auto u32At = [&](size_t offset) {
        return uint32_t(huge[offset]) << 24 | uint32_t(huge[offset + 1]) << 16 | uint32_t(huge[offset + 2]) << 8 |
               uint32_t(huge[offset + 3]);
    };
    EXPECT_EQ(std::string(huge.begin() + 12, huge.begin() + 16), "IHDR");
    EXPECT_EQ(u32At(16), 100000u);
    EXPECT_EQ(u32At(20), 100000u);
    EXPECT_FALSE(decodes(huge));

    EXPECT_FALSE(decodes(randomBytes(4096, 20240601)));
}
