// A linked GPU program built from GLSL source text. Building never stops the game:
// every read, compile and link failure is written to standard output and the build goes on.
#pragma once
#include <GL/glew.h>
#include <glm/glm.hpp>
#include <string>

class ShaderProgram {
public:
    GLuint programId = 0;  // copies name the same program; only AssetStore::releaseAll deletes it

    // Compiles the stages (geometry only when given), links them and reports each failure.
    void build(const char* vertexSource, const char* fragmentSource, const char* geometrySource = nullptr);
    void activate();

    // The setters look the location up by name on every call and assume the program is current.
    void setUniformInt(const char* name, int value);
    void setUniformVec3(const char* name, float x, float y, float z);
    void setUniformMat4(const char* name, const glm::mat4& matrix);

    // Writes the info log of a failed stage ("VERTEX", "FRAGMENT", "GEOMETRY") or link ("PROGRAM").
    void reportBuildErrors(GLuint object, const std::string& label);
};

// Reads "vertex.txt" and "fragment.txt" from the working directory and builds them.
ShaderProgram loadProgramFromFiles();
