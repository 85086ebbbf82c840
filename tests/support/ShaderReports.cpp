#include "ShaderReports.h"

#include <vector>

const char* const shaderReadFailureLine = "ERROR::SHADER: Failed to read shader files\n";

namespace {

const size_t logCapacity = 1023;

// The reports' own words, letter for letter, written out rather than built up the way the game
// builds them, so that a mistake made in both places cannot pass.
const char* const compilePrefix = "| ERROR::SHADER: Compile-time error: Type: ";
const char* const linkHeading = "| ERROR::Shader: Link-time error: Type: PROGRAM\n";
const char* const separatorLine = "\n -- --------------------------------------------------- -- \n";

std::string cut(std::string log)
{
    if (log.size() > logCapacity)
        log.resize(logCapacity);
    return log;
}

// A shader's or a program's status and its whole info log, through GL's getters for that kind.
template <typename GetInteger, typename GetLog>
StageOutcome outcomeOf(GLuint object, GLenum statusName, GetInteger getInteger, GetLog getLog)
{
    GLint status = 0;
    GLint length = 0;
    getInteger(object, statusName, &status);
    getInteger(object, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
    getLog(object, length + 1, nullptr, log.data());
    return {status != 0, log.data()};
}

}  // namespace

GLuint compileShader(GLenum stage, const std::string& source)
{
    const GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    return shader;
}

StageOutcome compileOutcome(GLenum stage, const std::string& source)
{
    const GLuint shader = compileShader(stage, source);
    const StageOutcome outcome = outcomeOf(shader, GL_COMPILE_STATUS, glGetShaderiv, glGetShaderInfoLog);
    glDeleteShader(shader);
    return outcome;
}

StageOutcome linkOutcome(const std::string& vertexSource, const std::string& fragmentSource)
{
    const GLuint program = glCreateProgram();
    const GLuint stages[2] = {compileShader(GL_VERTEX_SHADER, vertexSource),
                              compileShader(GL_FRAGMENT_SHADER, fragmentSource)};
    for (GLuint stage : stages)
        glAttachShader(program, stage);
    glLinkProgram(program);
    const StageOutcome outcome = outcomeOf(program, GL_LINK_STATUS, glGetProgramiv, glGetProgramInfoLog);
    for (GLuint stage : stages)
        glDeleteShader(stage);
    glDeleteProgram(program);
    return outcome;
}

std::string compileReport(const std::string& label, const std::string& log)
{
    return compilePrefix + label + "\n" + cut(log) + separatorLine;
}

std::string linkReport(const std::string& log)
{
    return linkHeading + cut(log) + separatorLine;
}

std::string expectedBuildOutput(const std::string& vertexSource, const std::string& fragmentSource)
{
    std::string output;
    const StageOutcome vertex = compileOutcome(GL_VERTEX_SHADER, vertexSource);
    if (!vertex.succeeded)
        output += compileReport("VERTEX", vertex.log);
    const StageOutcome fragment = compileOutcome(GL_FRAGMENT_SHADER, fragmentSource);
    if (!fragment.succeeded)
        output += compileReport("FRAGMENT", fragment.log);
    const StageOutcome linked = linkOutcome(vertexSource, fragmentSource);
    if (!linked.succeeded)
        output += linkReport(linked.log);
    return output;
}
