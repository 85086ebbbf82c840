# Makes the browser's copy of a desktop shader: WebGL 2 takes GLSL ES 3.00, whose version line
# differs and which wants a float precision. The rest of the text is the desktop's, unchanged,
# and numbered as on the desktop, so that the compiler's reports name the same lines.
# Usage: cmake -DINPUT=<desktop shader> -DOUTPUT=<browser shader> -P WebShader.cmake
file(READ "${INPUT}" source)
string(REGEX MATCH "^#version [^\n]*\n" versionLine "${source}")
if(NOT versionLine)
  message(FATAL_ERROR "${INPUT} does not begin with a #version line")
endif()
string(LENGTH "${versionLine}" versionLength)
string(SUBSTRING "${source}" ${versionLength} -1 body)
# highp, the desktop's single precision: mediump may be 16 bits on phones, too coarse for
# field pixels and texture coordinates.
file(WRITE "${OUTPUT}" "#version 300 es\nprecision highp float;\n#line 2\n${body}")
