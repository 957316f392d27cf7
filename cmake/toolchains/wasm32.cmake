# WebAssembly with Debian's emscripten, the same as `emcmake cmake`; emcc runs under the machine's
# Node and finds Debian's JavaScript modules (acorn) through NODE_PATH.
if(NOT DEFINED ENV{NODE_PATH})
  set(ENV{NODE_PATH} /usr/share/nodejs)
endif()
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
