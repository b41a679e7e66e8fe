# Cross-compiling for 64-bit Windows with the distribution's MinGW-w64 (the POSIX-threads
# variant, whose libstdc++ has std::thread). Programs link libstdc++, libgcc and winpthread
# statically, so an .exe needs no DLLs but Windows' own.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(mingw_triplet x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${mingw_triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${mingw_triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${mingw_triplet}-windres)

# Headers and libraries of the target come from the MinGW-w64 tree and from prefixes named in
# CMAKE_PREFIX_PATH (the static freeglut); programs (the build's tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${mingw_triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE BOTH)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# Test programs run under Wine.
find_program(MARBLOOM_WINE NAMES wine wine64)
if(MARBLOOM_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${MARBLOOM_WINE})
endif()
