// The sprite program's build and its standard-output reports. Expected reports are put
// together from the fixed report layout and from info logs that the tests fetch from GL
// themselves, by compiling and linking the same sources on their own.
#include "render/ShaderProgram.h"

#include "support/GlTestSupport.h"

#include "ShaderReports.h"

#include <gtest/gtest.h>
#include <glm/gtc/type_ptr.hpp>

namespace {

// The stages still attached to `program`, or -1 if one of them was not deleted by the build.
int attachedStagesMarkedForDeletion(GLuint program)
{
    GLuint stages[4] = {};
    GLsizei count = 0;
    glGetAttachedShaders(program, 4, &count, stages);
    for (GLsizei i = 0; i < count; ++i) {
        GLint deleted = 0;
        glGetShaderiv(stages[i], GL_DELETE_STATUS, &deleted);
        if (deleted == 0)
            return -1;
    }
    return count;
}

// A fragment stage with one undeclared name per line: every line adds to the log.
std::string fragmentWithManyErrors(int count)
{
    std::string source = "#version 330 core\nout vec4 colour;\nvoid main()\n{\n";
    for (int i = 0; i < count; ++i)
        source += "    colour = vec4(undeclaredName" + std::to_string(i) + ");\n";
    return source + "}\n";
}

// The reports of a build on two empty texts: both stages and the link fail.
std::string reportsForEmptySources()
{
    const StageOutcome vertex = compileOutcome(GL_VERTEX_SHADER, "");
    const StageOutcome fragment = compileOutcome(GL_FRAGMENT_SHADER, "");
    const StageOutcome link = linkOutcome("", "");
    EXPECT_FALSE(vertex.succeeded);
    EXPECT_FALSE(fragment.succeeded);
    EXPECT_FALSE(link.succeeded);
    return compileReport("VERTEX", vertex.log) + compileReport("FRAGMENT", fragment.log) + linkReport(link.log);
}

const std::string brokenFragment = "#version 330 core\nout vec4 colour;\nvoid main() { colour = 1; }\n";

// Each test builds one program, deleted after it; the helpers return what the build wrote to
// standard output. The scratch folder holds the game's fragment.txt, for the tests that load
// it with a vertex file of their own, or none.
class ShaderProgramBuild : public testing::Test {
protected:
    void SetUp() override { folder.write("fragment.txt", gameFragment); }
    void TearDown() override { glDeleteProgram(program.programId); }

    std::string buildAndCapture(const std::string& vertex, const std::string& fragment, const char* geometry = nullptr)
    {
        testing::internal::CaptureStdout();
        program.build(vertex.c_str(), fragment.c_str(), geometry);
        return testing::internal::GetCapturedStdout();
    }

    std::string loadAndCapture(const std::filesystem::path& folder)
    {
        const WorkingDirectory inFolder(folder);
        testing::internal::CaptureStdout();
        program = loadProgramFromFiles();
        return testing::internal::GetCapturedStdout();
    }

    ShaderProgram program;
    const std::string gameVertex = readText(sourceAsset("vertex.txt"));
    const std::string gameFragment = readText(sourceAsset("fragment.txt"));
    const ScratchFolder folder;
};

TEST_F(ShaderProgramBuild, GameShadersBuildSilentlyWithTheirInterface)
{
    const std::string output = loadAndCapture(assetsFolder());

    EXPECT_EQ(output, "");
    ASSERT_NE(program.programId, 0u);
    GLint linked = 0;
    glGetProgramiv(program.programId, GL_LINK_STATUS, &linked);
    EXPECT_NE(linked, 0);
    for (const char* uniform : {"model", "projection", "spriteColor", "image"})
        EXPECT_NE(glGetUniformLocation(program.programId, uniform), -1) << uniform;
    GLint attributes = 0;
    glGetProgramiv(program.programId, GL_ACTIVE_ATTRIBUTES, &attributes);
    EXPECT_EQ(attributes, 2);
    EXPECT_EQ(attachedStagesMarkedForDeletion(program.programId), 2);  // no geometry stage
}

TEST_F(ShaderProgramBuild, MissingVertexFileReportsReadFailureThenBuildsEmptyStages)
{
    const std::string output = loadAndCapture(folder.path);

    // A failed read leaves both texts empty, the fragment text too.
    EXPECT_EQ(output, shaderReadFailureLine + reportsForEmptySources());
    EXPECT_NE(program.programId, 0u);
    EXPECT_EQ(glIsProgram(program.programId), GL_TRUE);
}

TEST_F(ShaderProgramBuild, UnreadableVertexFileIsAReadFailure)
{
    std::filesystem::create_directory(folder.path / "vertex.txt");  // opens, but can't be read
    const std::string output = loadAndCapture(folder.path);

    EXPECT_EQ(output, shaderReadFailureLine + reportsForEmptySources());
}

TEST_F(ShaderProgramBuild, EmptyVertexFileIsReadAsEmptyText)
{
    folder.write("vertex.txt", "");
    const std::string output = loadAndCapture(folder.path);

    const StageOutcome vertex = compileOutcome(GL_VERTEX_SHADER, "");
    const StageOutcome link = linkOutcome("", gameFragment);
    ASSERT_FALSE(vertex.succeeded);
    ASSERT_FALSE(link.succeeded);
    EXPECT_EQ(output, compileReport("VERTEX", vertex.log) + linkReport(link.log));
}

TEST_F(ShaderProgramBuild, FragmentCompileFailureIsReportedUnderItsLabel)
{
    const std::string output = buildAndCapture(gameVertex, brokenFragment);

    const StageOutcome fragment = compileOutcome(GL_FRAGMENT_SHADER, brokenFragment);
    const StageOutcome link = linkOutcome(gameVertex, brokenFragment);
    ASSERT_FALSE(fragment.succeeded);
    ASSERT_FALSE(link.succeeded);
    EXPECT_EQ(output, compileReport("FRAGMENT", fragment.log) + linkReport(link.log));
    EXPECT_NE(program.programId, 0u);
}

TEST_F(ShaderProgramBuild, LongLogIsCutTo1023Characters)
{
    const std::string fragmentSource = fragmentWithManyErrors(100);
    const std::string output = buildAndCapture(gameVertex, fragmentSource);

    const StageOutcome fragment = compileOutcome(GL_FRAGMENT_SHADER, fragmentSource);
    const StageOutcome link = linkOutcome(gameVertex, fragmentSource);
    ASSERT_GT(fragment.log.size(), 1100u);
    ASSERT_FALSE(link.succeeded);
    EXPECT_EQ(output, compileReport("FRAGMENT", fragment.log.substr(0, 1023)) + linkReport(link.log.substr(0, 1023)));
}

TEST_F(ShaderProgramBuild, GeometryStageIsAttachedAndReportedUnderItsLabel)
{
    const std::string brokenGeometry = "#version 330 core\nvoid main() { undeclared(); }\n";
    const std::string output = buildAndCapture(gameVertex, gameFragment, brokenGeometry.c_str());

    const StageOutcome geometry = compileOutcome(GL_GEOMETRY_SHADER, brokenGeometry);
    ASSERT_FALSE(geometry.succeeded);
    EXPECT_EQ(output.rfind(compileReport("GEOMETRY", geometry.log) + "| ERROR::Shader: Link-time error: Type: PROGRAM\n", 0),
              0u)
        << output;
    EXPECT_EQ(attachedStagesMarkedForDeletion(program.programId), 3);
}

TEST(ShaderProgramReport, OnlyTheExactLabelProgramSelectsTheLinkCheck)
{
    const GLuint shader = compileShader(GL_FRAGMENT_SHADER, brokenFragment);
    const StageOutcome fragment = compileOutcome(GL_FRAGMENT_SHADER, brokenFragment);
    ShaderProgram program;

    testing::internal::CaptureStdout();
    program.reportBuildErrors(shader, "Program");
    program.reportBuildErrors(shader, "PROGRAM ");
    const std::string output = testing::internal::GetCapturedStdout();

    EXPECT_EQ(output, compileReport("Program", fragment.log) + compileReport("PROGRAM ", fragment.log));
    glDeleteShader(shader);
}

TEST(ShaderProgramUniforms, SettersWriteTheNamedUniformsOfTheCurrentProgram)
{
    ShaderProgram program = spriteProgram();
    glm::mat4 model(0.0f);
    for (int i = 0; i < 16; ++i)
        glm::value_ptr(model)[i] = static_cast<float>(i + 1);  // not symmetric: shows a transposition

    program.setUniformInt("image", 3);
    program.setUniformVec3("spriteColor", 0.25f, 0.5f, 0.75f);
    program.setUniformMat4("model", model);

    GLint image = 0;
    glGetUniformiv(program.programId, glGetUniformLocation(program.programId, "image"), &image);
    EXPECT_EQ(image, 3);
    float colour[3] = {};
    glGetUniformfv(program.programId, glGetUniformLocation(program.programId, "spriteColor"), colour);
    EXPECT_EQ(colour[0], 0.25f);
    EXPECT_EQ(colour[1], 0.5f);
    EXPECT_EQ(colour[2], 0.75f);
    float stored[16] = {};
    glGetUniformfv(program.programId, glGetUniformLocation(program.programId, "model"), stored);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(stored[i], static_cast<float>(i + 1)) << i;
    EXPECT_EQ(static_cast<GLuint>(integerOf(GL_CURRENT_PROGRAM)), program.programId);
    glDeleteProgram(program.programId);
}

}  // namespace
