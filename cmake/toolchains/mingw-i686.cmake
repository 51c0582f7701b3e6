# 32-bit Windows, the module's home. The tests run under Debian's 32-bit Wine,
# unpacked into the project's cache (tools/windows/wine.sh).
set(KESTREL_MINGW_TRIPLE i686-w64-mingw32)
set(KESTREL_MINGW_PROCESSOR X86)
set(KESTREL_RUBY_ARCH i386-mingw32)
set(KESTREL_RUBY_SO msvcrt-ruby310)
set(KESTREL_WINE_ARCH i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
