# 32-bit Windows, the module's home. Built and linked here; its tests need a
# 32-bit Windows or a wine that runs 32-bit programs.
set(KESTREL_MINGW_TRIPLE i686-w64-mingw32)
set(KESTREL_MINGW_PROCESSOR X86)
set(KESTREL_RUBY_ARCH i386-mingw32)
set(KESTREL_RUBY_SO msvcrt-ruby310)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
