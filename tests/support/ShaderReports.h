// What the game's shader build writes to standard output, worked out here and not taken from
// the game: the same sources are compiled and linked in the GL context current on the calling
// thread, and each failure's info log is set into the game's fixed report format.
#pragma once
#include <GL/glew.h>
#include <string>

struct StageOutcome {
    bool succeeded = false;
    std::string log;  // the whole info log
};

// The line the game writes when it can't read its shader files.
extern const char* const shaderReadFailureLine;

// A compiled shader object, for the caller to delete.
GLuint compileShader(GLenum stage, const std::string& source);
StageOutcome compileOutcome(GLenum stage, const std::string& source);
// Compiles both stages, attaches them (also when one failed to compile) and links.
StageOutcome linkOutcome(const std::string& vertexSource, const std::string& fragmentSource);

// One report, its log cut to 1023 characters as the game's 1024-byte buffer does. `label` is
// what the game names the stage: "VERTEX", "FRAGMENT", "GEOMETRY".
std::string compileReport(const std::string& label, const std::string& log);
std::string linkReport(const std::string& log);

// The whole output of a build of these sources: a compile report for each stage that fails,
// then a link report if the link fails.
std::string expectedBuildOutput(const std::string& vertexSource, const std::string& fragmentSource);
