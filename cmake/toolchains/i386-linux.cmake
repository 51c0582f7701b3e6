# 32-bit x86 Linux on a 64-bit Debian machine. The compiler and the C library
# are the machine's own, from g++-multilib (-m32). Ruby 3.1, Lua 5.1 and
# GoogleTest for i386 come from a sysroot that tools/i386-sysroot.sh unpacks
# from Debian's i386 packages into the project's cache, so that no i386 package
# is ever installed on the machine:
#
#   <sysroot>/usr/include/...                       headers (Lua's multiarch one too)
#   <sysroot>/usr/lib/i386-linux-gnu/               libruby, liblua, libgtest, libgmp, pkg-config files
#   <sysroot>/lib/i386-linux-gnu/                   zlib and libcrypt, which libruby needs
#   <sysroot>/usr/lib/i386-linux-gnu/ruby/3.1.0/    the interpreter's own folder (enc/*.so, ...),
#                                                   beside its library as on an installed system
#
# Programs are linked against the sysroot and run through a small wrapper,
# <build>/i386-run, that puts the sysroot's library folders on the dynamic
# loader's path of the 32-bit program only (qemu-i386 -E), so the libraries are
# found without being installed. CTest runs every 32-bit program through it, as
# it is the build's CMAKE_CROSSCOMPILING_EMULATOR; run one by hand the same way:
#   build-i386/i386-run build-i386/kestrel-host -e 'rb.RunString("puts 1")'
# Where the kernel runs 32-bit programs (its 32-bit loader, from libc6-i386,
# starts) they run natively, as on a real i386 system; elsewhere under
# qemu-i386, whose emulation of signals and threads is not the kernel's.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

if(NOT KESTREL_I386_SYSROOT)
  if(DEFINED ENV{KESTREL_CACHE})
    set(KESTREL_I386_SYSROOT $ENV{KESTREL_CACHE}/i386/sysroot)
  else()
    set(KESTREL_I386_SYSROOT $ENV{HOME}/.cache/kestrel/i386/sysroot)
  endif()
endif()
if(NOT EXISTS ${KESTREL_I386_SYSROOT}/usr/lib/i386-linux-gnu/pkgconfig/ruby-3.1.pc)
  message(FATAL_ERROR "No i386 sysroot at ${KESTREL_I386_SYSROOT}. Make it with: tools/i386-sysroot.sh")
endif()
# Seen by CMake's own test projects too.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES KESTREL_I386_SYSROOT)
set(lib_dirs ${KESTREL_I386_SYSROOT}/usr/lib/i386-linux-gnu ${KESTREL_I386_SYSROOT}/lib/i386-linux-gnu)

set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
list(JOIN lib_dirs ":" lib_path)
set(link_flags "-m32 -Wl,-rpath-link,${lib_path}")
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_EXE_LINKER_FLAGS_INIT ${link_flags})
set(CMAKE_SHARED_LINKER_FLAGS_INIT ${link_flags})
set(CMAKE_MODULE_LINKER_FLAGS_INIT ${link_flags})
# Lua's luaconf.h includes lua5.1-deb-multiarch.h from the multiarch folder.
set(CMAKE_C_STANDARD_INCLUDE_DIRECTORIES ${KESTREL_I386_SYSROOT}/usr/include/i386-linux-gnu)
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES ${KESTREL_I386_SYSROOT}/usr/include/i386-linux-gnu)

# Libraries, headers and packages (GoogleTest's CMake files) from the sysroot;
# the machine's own are 64-bit.
set(CMAKE_FIND_ROOT_PATH ${KESTREL_I386_SYSROOT})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_SYSROOT_DIR} ${KESTREL_I386_SYSROOT})
set(ENV{PKG_CONFIG_LIBDIR} ${KESTREL_I386_SYSROOT}/usr/lib/i386-linux-gnu/pkgconfig:${KESTREL_I386_SYSROOT}/usr/share/pkgconfig)

find_program(KESTREL_QEMU_I386 qemu-i386)
set(run "if /lib/ld-linux.so.2 --help >/dev/null 2>&1; then LD_LIBRARY_PATH='${lib_path}' exec \"$@\"; fi")
if(KESTREL_QEMU_I386)
  string(APPEND run "\nexec '${KESTREL_QEMU_I386}' -E 'LD_LIBRARY_PATH=${lib_path}' \"$@\"")
else()
  string(APPEND run "\necho 'i386-run: this kernel runs no 32-bit programs and qemu-i386 is missing' >&2; exit 127")
endif()
file(WRITE ${CMAKE_BINARY_DIR}/i386-run "#!/bin/sh\n# Runs a 32-bit program of this build with the i386 sysroot's libraries.\n${run}\n")
file(CHMOD ${CMAKE_BINARY_DIR}/i386-run PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ
     GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/i386-run)
