#include "render/QuadRenderer.h"
QuadRenderer::QuadRenderer(ShaderProgram program) : program(program) {}
QuadRenderer::~QuadRenderer() {}
void QuadRenderer::drawQuad(const Texture&, glm::vec2, glm::vec2, float, glm::vec3) {}
