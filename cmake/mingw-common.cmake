# Shared part of the MinGW-w64 toolchains. The including file sets
# PW_MINGW_TRIPLE (i686-w64-mingw32 or x86_64-w64-mingw32).
#
# The -posix compilers are used because the win32 thread model lacks
# std::mutex, which GoogleTest needs. The runtime is linked statically so
# that the executables import only Windows' own DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${PW_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PW_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PW_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${PW_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")

# Test executables run under Wine; cmake/windows.cmake points this at the
# build tree's own prefix.
get_filename_component(_pw_wine_run ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${_pw_wine_run})
