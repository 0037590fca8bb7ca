# Windows x86 tools, cross-compiled with mingw-w64.
set(GLYPH_MINGW_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
