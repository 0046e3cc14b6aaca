# Cross-building the Windows program with mingw-w64 on Debian, for the
# processor and triple that cmake/mingw-<arch>.cmake set before including
# this file.  The -posix compilers are the ones whose C++ runtime has
# std::thread and friends, which GoogleTest needs; every exe is linked
# statically so it needs no DLL beyond Windows' own.  Tests run under Wine.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${KELVAR_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KELVAR_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KELVAR_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KELVAR_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run.sh)

# -O2, not -O3: GCC 12 warns falsely (-Wrestrict, GCC bug 105329) inside
# std::string at -O3, and warnings are errors.  Release exes are stripped.
set(CMAKE_C_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_CXX_FLAGS_RELEASE "-O2 -DNDEBUG" CACHE STRING "")
set(CMAKE_EXE_LINKER_FLAGS_RELEASE_INIT "-s")
