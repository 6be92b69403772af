# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix threads variant, which
# std::thread and std::mutex need). Used by the `windows` preset.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(TOLVANE_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${TOLVANE_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TOLVANE_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${TOLVANE_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOLVANE_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own runtime goes into each module, so that a module needs no MinGW DLL beside it.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# Programs built here run under Wine on Linux (tests and test discovery).
find_program(TOLVANE_WINE wine)
if(TOLVANE_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${TOLVANE_WINE})
endif()
