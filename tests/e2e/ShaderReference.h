// What the game's shader build is expected to write to standard output, worked out here and
// not taken from the game: the same sources are compiled and linked in a GL context of the
// test's own (the same kind of default context that the game's window gets, on the same X
// server and driver), and each failure's info log is set into the fixed report format.
#pragma once
#include <GL/glew.h>
#include <memory>
#include <string>

class XDisplay;

struct StageOutcome {
    bool succeeded = false;
    std::string log;  // the info log, cut to 1023 characters as the game's 1024-byte buffer does
};

class ShaderReference {
public:
    // Makes a context current on an unmapped window. Throws std::runtime_error if it can't.
    ShaderReference();
    ~ShaderReference();
    ShaderReference(const ShaderReference&) = delete;
    ShaderReference& operator=(const ShaderReference&) = delete;

    StageOutcome compile(GLenum stage, const std::string& source);
    // Compiles both stages, attaches them (also when one failed to compile) and links.
    StageOutcome link(const std::string& vertexSource, const std::string& fragmentSource);

    // The whole output of a build of these sources: a compile report for each stage that
    // fails, then a link report if the link fails.
    std::string expectedOutput(const std::string& vertexSource, const std::string& fragmentSource);

private:
    std::unique_ptr<XDisplay> display_;
    unsigned long window_ = 0;
    unsigned long colormap_ = 0;
    void* context_ = nullptr;
};

// The line the game writes when it can't read its shader files.
extern const char* const shaderReadFailureLine;
