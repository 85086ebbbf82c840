# Writes the licence texts of what the web page carries besides the game: GLM and stb_image,
# compiled into zorvex.wasm, and Emscripten's runtime (zorvex.js) and system libraries (musl,
# libc++, libc++abi, compiler-rt, dlmalloc in zorvex.wasm), all as Debian records them.
# Usage: cmake -DOUTPUT=<file> -DEMSCRIPTEN_ROOT=<Emscripten's folder> -P WebNotices.cmake
file(READ ${EMSCRIPTEN_ROOT}/emscripten-version.txt emscriptenVersion)
string(STRIP "${emscriptenVersion}" emscriptenVersion)
set(sections
  "GLM (Debian's libglm-dev)" /usr/share/doc/libglm-dev/copyright
  "stb_image (Debian's libstb-dev)" /usr/share/doc/libstb-dev/copyright
  "Emscripten ${emscriptenVersion} (Debian's emscripten): the runtime in zorvex.js and the system libraries in zorvex.wasm" /usr/share/doc/emscripten/copyright
  "musl, the C library in zorvex.wasm: its own copyright file, from Emscripten" ${EMSCRIPTEN_ROOT}/system/lib/libc/musl/COPYRIGHT)
file(WRITE ${OUTPUT} "zorvex.<hash>.js and zorvex.<hash>.wasm contain the following software, under the licences below.\n")
while(sections)
  list(POP_FRONT sections title source)
  file(READ ${source} text)
  file(APPEND ${OUTPUT} "\n\n==== ${title} ====\n\n${text}")
endwhile()
