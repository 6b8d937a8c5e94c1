# Cross build for 64-bit Windows with Debian's MinGW-w64 (the posix thread model, so
# std::thread and std::mutex are there), tests run under Wine:
#   cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake
# scripts/windows-build and scripts/windows-test do exactly that.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KX30_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KX30_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KX30_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${KX30_MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KX30_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Test executables (and gtest's test discovery) run through Wine. The environment it needs
# (its prefix, quiet debug channels) comes from scripts/windows-test.
# Debian's wine64 package keeps the loader in /usr/lib/wine (the wine package adds wrappers
# in /usr/bin).
find_program(KX30_WINE NAMES wine64 wine PATHS /usr/lib/wine)
if(KX30_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KX30_WINE})
endif()

# No GoogleTest package exists for this target: the build compiles it from the sources that
# Debian's libgtest-dev ships, with this same compiler.
set(KX30_GTEST_SOURCE_DIR /usr/src/googletest)

# The MinGW runtime DLLs the binaries need beside them (so Wine, like Windows, finds them in
# the program's folder), as the compiler locates them. The top-level build copies them into
# bin/.
set(KX30_MINGW_RUNTIME_DLLS)
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
  execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
    OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(IS_ABSOLUTE "${found}" AND EXISTS "${found}")
    list(APPEND KX30_MINGW_RUNTIME_DLLS ${found})
  endif()
endforeach()
