#include "ShaderReference.h"

#include "XDisplay.h"

#include <GL/glx.h>
#include <stdexcept>
#include <utility>
#include <vector>

const char* const shaderReadFailureLine = "ERROR::SHADER: Failed to read shader files\n";

namespace {

const size_t logCapacity = 1023;
const char* const separator = "\n -- --------------------------------------------------- -- \n";

std::string cut(std::string log)
{
    if (log.size() > logCapacity)
        log.resize(logCapacity);
    return log;
}

GLuint compileObject(GLenum stage, const std::string& source)
{
    const GLuint shader = glCreateShader(stage);
    const char* text = source.c_str();
    glShaderSource(shader, 1, &text, nullptr);
    glCompileShader(shader);
    return shader;
}

StageOutcome shaderOutcome(GLuint shader)
{
    StageOutcome outcome;
    GLint status = 0;
    glGetShaderiv(shader, GL_COMPILE_STATUS, &status);
    outcome.succeeded = status != 0;
    GLint length = 0;
    glGetShaderiv(shader, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
    glGetShaderInfoLog(shader, length + 1, nullptr, log.data());
    outcome.log = cut(log.data());
    return outcome;
}

std::string stageName(GLenum stage)
{
    return stage == GL_VERTEX_SHADER ? "VERTEX" : "FRAGMENT";
}

}  // namespace

ShaderReference::ShaderReference() : display_(std::make_unique<XDisplay>())
{
    Display* display = display_->get();
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_RED_SIZE, 1, GLX_GREEN_SIZE, 1, GLX_BLUE_SIZE, 1, None};
    XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
    if (!visual)
        throw std::runtime_error("no double-buffered RGB visual for the reference GL context");
    const Window root = RootWindow(display, visual->screen);
    colormap_ = XCreateColormap(display, root, visual->visual, AllocNone);
    XSetWindowAttributes windowAttributes = {};
    windowAttributes.colormap = colormap_;
    // Never mapped: it only gives the context a drawable, and never covers the game's window.
    window_ = XCreateWindow(display, root, 0, 0, 16, 16, 0, visual->depth, InputOutput, visual->visual, CWColormap,
                            &windowAttributes);
    GLXContext context = glXCreateContext(display, visual, nullptr, True);
    XFree(visual);
    context_ = context;
    if (!context || !glXMakeCurrent(display, window_, context))
        throw std::runtime_error("cannot make the reference GL context current");
    glewExperimental = GL_TRUE;
    if (glewInit() != GLEW_OK)
        throw std::runtime_error("glewInit failed in the reference GL context");
}

ShaderReference::~ShaderReference()
{
    Display* display = display_->get();
    glXMakeCurrent(display, None, nullptr);
    if (context_)
        glXDestroyContext(display, static_cast<GLXContext>(context_));
    XDestroyWindow(display, window_);
    XFreeColormap(display, colormap_);
}

StageOutcome ShaderReference::compile(GLenum stage, const std::string& source)
{
    const GLuint shader = compileObject(stage, source);
    const StageOutcome outcome = shaderOutcome(shader);
    glDeleteShader(shader);
    return outcome;
}

StageOutcome ShaderReference::link(const std::string& vertexSource, const std::string& fragmentSource)
{
    const GLuint vertex = compileObject(GL_VERTEX_SHADER, vertexSource);
    const GLuint fragment = compileObject(GL_FRAGMENT_SHADER, fragmentSource);
    const GLuint program = glCreateProgram();
    glAttachShader(program, vertex);
    glAttachShader(program, fragment);
    glLinkProgram(program);

    StageOutcome outcome;
    GLint status = 0;
    glGetProgramiv(program, GL_LINK_STATUS, &status);
    outcome.succeeded = status != 0;
    GLint length = 0;
    glGetProgramiv(program, GL_INFO_LOG_LENGTH, &length);
    std::vector<char> log(static_cast<size_t>(length) + 1, '\0');
    glGetProgramInfoLog(program, length + 1, nullptr, log.data());
    outcome.log = cut(log.data());

    glDeleteProgram(program);
    glDeleteShader(vertex);
    glDeleteShader(fragment);
    return outcome;
}

std::string ShaderReference::expectedOutput(const std::string& vertexSource, const std::string& fragmentSource)
{
    std::string output;
    const std::pair<GLenum, const std::string*> stages[] = {{GL_VERTEX_SHADER, &vertexSource},
                                                            {GL_FRAGMENT_SHADER, &fragmentSource}};
    for (const auto& stage : stages) {
        const StageOutcome outcome = compile(stage.first, *stage.second);
        if (!outcome.succeeded)
            output += "| ERROR::SHADER: Compile-time error: Type: " + stageName(stage.first) + "\n" + outcome.log +
                      separator;
    }
    const StageOutcome linked = link(vertexSource, fragmentSource);
    if (!linked.succeeded)
        output += "| ERROR::Shader: Link-time error: Type: PROGRAM\n" + linked.log + separator;
    return output;
}
