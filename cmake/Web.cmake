# The browser build (configured with emcmake): stands in for the desktop's package look-ups.
# Emscripten brings GL, GLU, GLEW and GLUT itself; glm and stb are Debian's headers; and every
# program that opens a GLUT window is linked as a web page with the game's files preloaded.

# 3.19: dependencies of an interface library reach the programs that link it. A check, not
# cmake_minimum_required, which here would change the policies of the whole top-level project.
if(CMAKE_VERSION VERSION_LESS 3.19)
  message(FATAL_ERROR "The web build needs CMake 3.19 or later")
endif()

set(CMAKE_EXECUTABLE_SUFFIX .html)

# Emscripten links its GL, GLEW and GLUT JavaScript libraries into every program, so these
# targets stand only for the names the desktop build links against.
foreach(library GL GLU GLEW GLUT)
  add_library(zorvex_web_${library} INTERFACE)
endforeach()
add_library(OpenGL::GL ALIAS zorvex_web_GL)
add_library(OpenGL::GLU ALIAS zorvex_web_GLU)
add_library(GLEW::GLEW ALIAS zorvex_web_GLEW)
add_library(GLUT::GLUT ALIAS zorvex_web_GLUT)
# Emscripten has freeglut's declarations but not its <GL/freeglut.h>.
target_include_directories(zorvex_web_GLUT SYSTEM INTERFACE ${PROJECT_SOURCE_DIR}/web/include)

# glm and stb are header-only here, taken from the host through a folder of links to just
# those two: the whole of /usr/include would hide Emscripten's own C library behind glibc's.
set(ZORVEX_WEB_HOST_INCLUDE_DIR /usr/include CACHE PATH "Where the host's glm/ and stb/ header folders are")
set(hostHeaders ${CMAKE_BINARY_DIR}/host-headers)
file(MAKE_DIRECTORY ${hostHeaders})
foreach(folder glm stb)
  if(NOT EXISTS ${ZORVEX_WEB_HOST_INCLUDE_DIR}/${folder})
    message(FATAL_ERROR "${ZORVEX_WEB_HOST_INCLUDE_DIR}/${folder} not found (on Debian: libglm-dev, libstb-dev)")
  endif()
  file(CREATE_LINK ${ZORVEX_WEB_HOST_INCLUDE_DIR}/${folder} ${hostHeaders}/${folder} SYMBOLIC)
endforeach()
add_library(zorvex_web_glm INTERFACE)
target_include_directories(zorvex_web_glm SYSTEM INTERFACE ${hostHeaders})
add_library(glm::glm ALIAS zorvex_web_glm)
add_library(stb_headers INTERFACE)
target_include_directories(stb_headers SYSTEM INTERFACE ${hostHeaders}/stb)

# The six files the game reads from its working folder, preloaded into the page's file system
# at "/", which is the working folder there. The shaders are made from the desktop's.
set(webFilesDir ${CMAKE_BINARY_DIR}/web-files)
set(webFiles)
foreach(shader vertex.txt fragment.txt)
  add_custom_command(OUTPUT ${webFilesDir}/${shader}
    COMMAND ${CMAKE_COMMAND} -DINPUT=${PROJECT_SOURCE_DIR}/assets/${shader} -DOUTPUT=${webFilesDir}/${shader}
            -P ${CMAKE_CURRENT_LIST_DIR}/WebShader.cmake
    DEPENDS ${PROJECT_SOURCE_DIR}/assets/${shader} ${CMAKE_CURRENT_LIST_DIR}/WebShader.cmake
    COMMENT "Making the WebGL 2 ${shader}")
  list(APPEND webFiles ${webFilesDir}/${shader})
endforeach()
add_custom_target(zorvex_web_shaders DEPENDS ${webFiles})
foreach(image paddle.png awesomeface_01.png block.png background.jpg)
  list(APPEND webFiles ${PROJECT_SOURCE_DIR}/assets/${image})
endforeach()

# The page's script: ES modules beside index.html (page.js the entry), which the release zip
# carries. Every .js in web/ but the Emscripten libraries and the service worker is one.
file(GLOB ZORVEX_WEB_MODULES CONFIGURE_DEPENDS RELATIVE ${PROJECT_SOURCE_DIR}/web ${PROJECT_SOURCE_DIR}/web/*.js)
list(REMOVE_ITEM ZORVEX_WEB_MODULES zorvex-library.js zorvex-gl-library.js service-worker.js)

# What every page gets at link time. The game's display callback waits in the middle of a frame
# for the win box to be dismissed: Asyncify lets it return to the browser and resume later. Only
# the functions that call the box's import directly, or call such functions, are rewritten
# (indirect calls are taken never to wait: about +1 % of wasm instead of +60 % for all of it),
# and dynCall_v, through which GLUT calls the display callback: a wait is resumed by calling it
# again, and unless it is rewritten too it forgets which function it was calling.
set(pageShell ${PROJECT_SOURCE_DIR}/web/index.html)
set(pageLibrary ${PROJECT_SOURCE_DIR}/web/zorvex-library.js)
set(pageGLLibrary ${PROJECT_SOURCE_DIR}/web/zorvex-gl-library.js)
add_library(zorvex_web_page INTERFACE)
target_link_options(zorvex_web_page INTERFACE
  "SHELL:--shell-file ${pageShell}"
  "SHELL:--js-library ${pageLibrary}"
  "SHELL:--js-library ${pageGLLibrary}"
  -sENVIRONMENT=web
  # Any image the desktop accepts (up to 4096 × 4096) decodes here too: the heap grows as needed.
  -sALLOW_MEMORY_GROWTH=1
  # WebGL 2 only; client-side index arrays, which the sprites are drawn from, need FULL_ES2.
  -sMIN_WEBGL_VERSION=2 -sMAX_WEBGL_VERSION=2 -sFULL_ES2=1
  # The page makes the context (web/webgl.js) while the game's files load: one context, not two.
  -sGL_PREINITIALIZED_CONTEXT=1
  # The game uses no WebGL extension: enabling every one the browser offers cost two waits on the
  # GPU process each as the game started. Nor does it ask for GL errors, so none are tracked.
  -sGL_SUPPORT_AUTOMATIC_ENABLE_EXTENSIONS=0 -sGL_TRACK_ERRORS=0
  # exit() ends the page as it ends the process: no timer, frame or key handler runs after it.
  -sEXIT_RUNTIME=1
  -sASYNCIFY=1 -sASYNCIFY_IMPORTS=zorvex_show_message_box -sASYNCIFY_IGNORE_INDIRECT=1
  -sASYNCIFY_ADD=dynCall_v
  # Emscripten 3.1.6's HTML minifier crashes inside emcc from -O1 on.
  -sMINIFY_HTML=0)
foreach(file ${webFiles})
  get_filename_component(name ${file} NAME)
  target_link_options(zorvex_web_page INTERFACE "SHELL:--preload-file ${file}@/${name}")
endforeach()
set_property(TARGET zorvex_web_page PROPERTY INTERFACE_LINK_DEPENDS ${pageShell} ${pageLibrary} ${pageGLLibrary} ${webFiles})
add_dependencies(zorvex_web_page zorvex_web_shaders)
# In the browser GLUT's window is the page: whatever opens one is built as a page.
target_link_libraries(zorvex_web_GLUT INTERFACE zorvex_web_page)
