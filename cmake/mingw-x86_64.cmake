# Windows x64 tools, cross-compiled with mingw-w64.
set(GLYPH_MINGW_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
