# The web page: Debian's emscripten, its prebuilt system libraries and its
# own CMake platform. Its linker runs node, which finds emscripten's modules
# (acorn, terser) only through Debian's NODE_PATH when the node in use is
# another one.
include(/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake)
set(CMAKE_CXX_LINKER_LAUNCHER env NODE_PATH=/usr/share/nodejs)
