# Cross-compiling the Windows tools with mingw-w64 (posix thread model) for
# the architecture in GLYPH_MINGW_ARCH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${GLYPH_MINGW_ARCH})

set(CMAKE_CXX_COMPILER ${GLYPH_MINGW_ARCH}-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER ${GLYPH_MINGW_ARCH}-w64-mingw32-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${GLYPH_MINGW_ARCH}-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# A client gets the two executables and nothing else: the C and C++
# run-times and the thread library are linked in, only system DLLs remain.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
# The deliverables carry no symbols.
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
