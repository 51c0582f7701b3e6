# Shared by the Windows toolchains: mingw-w64's posix compilers, with Ruby 3.1
# and Lua 5.1 built for the target by tools/windows/build-deps.sh into a cache
# folder outside the checkout. The including file sets KESTREL_MINGW_TRIPLE,
# KESTREL_MINGW_PROCESSOR, KESTREL_RUBY_ARCH, KESTREL_RUBY_SO and
# KESTREL_WINE_ARCH.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR ${KESTREL_MINGW_PROCESSOR})
set(CMAKE_C_COMPILER ${KESTREL_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KESTREL_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${KESTREL_MINGW_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${KESTREL_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The compiler's own C++ and thread runtimes are linked in: the game ships
# kestrel.dll with the Ruby DLL beside it, and nothing else. A C++ exception
# cannot cross a DLL boundary with the static runtime (each DLL has its own
# unwinder tables and type information); none crosses the module's: its entries
# and the functions it gives the host throw nothing, and it calls no C++ code
# of another DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -static)

if(DEFINED ENV{KESTREL_WINDOWS_CACHE})
  set(KESTREL_WINDOWS_DEPS $ENV{KESTREL_WINDOWS_CACHE}/${KESTREL_MINGW_TRIPLE})
else()
  set(KESTREL_WINDOWS_DEPS $ENV{HOME}/.cache/kestrel/windows/${KESTREL_MINGW_TRIPLE})
endif()

# Programs built here run under Wine, with a prefix of their own per
# architecture; every run is bounded in time.
get_filename_component(KESTREL_WINE_SCRIPT ${CMAKE_CURRENT_LIST_DIR}/../../tools/windows/wine.sh ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTREL_WINE_SCRIPT} run ${KESTREL_WINE_ARCH})
