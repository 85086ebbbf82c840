// Builds the sprite program from GLSL text and reports every failure on standard output.
// Depends on GLEW for the entry points beyond OpenGL 1.1.
#include "render/ShaderProgram.h"

#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <utility>

namespace {

constexpr GLsizei infoLogSize = 1024;  // at most 1023 characters of a log are shown

GLuint compileStage(GLenum type, const char* source)
{
    // A missing text compiles as an empty one rather than handing GL a null string.
    const char* text = source != nullptr ? source : "";
    const GLuint shader = glCreateShader(type);
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    return shader;
}

// Reads the whole file; throws on a read error. An empty file is empty text, not a failure.
std::string readWholeFile(std::ifstream& file)
{
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    if (file.bad())
        throw std::ios_base::failure("read error");
    return text;
}

}  // namespace

void ShaderProgram::build(const char* vertexSource, const char* fragmentSource, const char* geometrySource)
{
    // The build is the first code that needs the newer entry points; the result is deliberately ignored.
    glewInit();

    const GLuint vertex = compileStage(GL_VERTEX_SHADER, vertexSource);
    reportBuildErrors(vertex, "VERTEX");
    const GLuint fragment = compileStage(GL_FRAGMENT_SHADER, fragmentSource);
    reportBuildErrors(fragment, "FRAGMENT");
    GLuint geometry = 0;
    if (geometrySource != nullptr) {
        geometry = compileStage(GL_GEOMETRY_SHADER, geometrySource);
        reportBuildErrors(geometry, "GEOMETRY");
    }

    // A failed stage is still attached and linked: the game always gets a program name.
    programId = glCreateProgram();
    glAttachShader(programId, vertex);
    glAttachShader(programId, fragment);
    if (geometrySource != nullptr)
        glAttachShader(programId, geometry);
    glLinkProgram(programId);
    reportBuildErrors(programId, "PROGRAM");

    glDeleteShader(vertex);
    glDeleteShader(fragment);
    if (geometrySource != nullptr)
        glDeleteShader(geometry);
}

void ShaderProgram::activate()
{
    glUseProgram(programId);
}

void ShaderProgram::setUniformInt(const char* name, int value)
{
    glUniform1i(glGetUniformLocation(programId, name), value);
}

void ShaderProgram::setUniformVec3(const char* name, float x, float y, float z)
{
    glUniform3f(glGetUniformLocation(programId, name), x, y, z);
}

void ShaderProgram::setUniformMat4(const char* name, const glm::mat4& matrix)
{
    glUniformMatrix4fv(glGetUniformLocation(programId, name), 1, GL_FALSE, &matrix[0][0]);
}

void ShaderProgram::reportBuildErrors(GLuint object, const std::string& label)
{
    GLint success = 0;
    char infoLog[infoLogSize] = {};
    if (label == "PROGRAM") {
        glGetProgramiv(object, GL_LINK_STATUS, &success);
        if (success == 0) {
            glGetProgramInfoLog(object, infoLogSize, nullptr, infoLog);
            std::cout << "| ERROR::Shader: Link-time error: Type: " << label << "\n"
                      << infoLog << "\n -- --------------------------------------------------- -- " << std::endl;
        }
    } else {
        glGetShaderiv(object, GL_COMPILE_STATUS, &success);
        if (success == 0) {
            glGetShaderInfoLog(object, infoLogSize, nullptr, infoLog);
            std::cout << "| ERROR::SHADER: Compile-time error: Type: " << label << "\n"
                      << infoLog << "\n -- --------------------------------------------------- -- " << std::endl;
        }
    }
}

ShaderProgram loadProgramFromFiles()
{
    // Both texts stay empty unless both files are read whole: a failure still builds, on empty sources.
    std::string vertexCode;
    std::string fragmentCode;
    try {
        std::ifstream vertexFile;
        std::ifstream fragmentFile;
        vertexFile.exceptions(std::ifstream::failbit | std::ifstream::badbit);
        fragmentFile.exceptions(std::ifstream::failbit | std::ifstream::badbit);
        vertexFile.open("vertex.txt");
        fragmentFile.open("fragment.txt");
        // Reading to the end sets failbit by design; only badbit means a read error from here on.
        vertexFile.exceptions(std::ifstream::badbit);
        fragmentFile.exceptions(std::ifstream::badbit);
        std::string vertexText = readWholeFile(vertexFile);
        std::string fragmentText = readWholeFile(fragmentFile);
        vertexFile.close();
        fragmentFile.close();
        vertexCode = std::move(vertexText);
        fragmentCode = std::move(fragmentText);
    } catch (const std::exception&) {
        std::cout << "ERROR::SHADER: Failed to read shader files" << std::endl;
    }

    ShaderProgram program;
    program.build(vertexCode.c_str(), fragmentCode.c_str());
    return program;
}
