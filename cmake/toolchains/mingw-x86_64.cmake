# 64-bit Windows. The tests run under wine64.
set(KESTREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(KESTREL_MINGW_PROCESSOR AMD64)
set(KESTREL_RUBY_ARCH x64-mingw32)
set(KESTREL_RUBY_SO x64-msvcrt-ruby310)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)

find_program(KESTREL_WINE64 wine64 PATHS /usr/lib/wine NO_CMAKE_FIND_ROOT_PATH)
if(KESTREL_WINE64)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTREL_WINE64})
endif()
