# 32-bit x86 Linux on a 64-bit Debian machine, with the i386 packages installed
# beside the 64-bit ones (g++-multilib, libruby3.1:i386, liblua5.1-0-dev:i386,
# libgtest-dev:i386). Machines that cannot execute 32-bit programs run them,
# and so the tests, under qemu-i386.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT -m32)
set(CMAKE_SHARED_LINKER_FLAGS_INIT -m32)
set(CMAKE_MODULE_LINKER_FLAGS_INIT -m32)

# pkg-config answers for the i386 libraries.
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/i386-linux-gnu/pkgconfig:/usr/share/pkgconfig)

find_program(KESTREL_QEMU_I386 qemu-i386)
if(KESTREL_QEMU_I386)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KESTREL_QEMU_I386})
endif()
