# 64-bit Windows. The tests run under wine64 (tools/windows/wine.sh).
set(KESTREL_MINGW_TRIPLE x86_64-w64-mingw32)
set(KESTREL_MINGW_PROCESSOR AMD64)
set(KESTREL_RUBY_ARCH x64-mingw32)
set(KESTREL_RUBY_SO x64-msvcrt-ruby310)
set(KESTREL_WINE_ARCH x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
