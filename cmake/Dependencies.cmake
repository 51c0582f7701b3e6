# The interpreter and Lua: on Linux from the system through pkg-config; for
# Windows from the folder that tools/windows/build-deps.sh fills. A missing one
# stops the configuration with what provides it.

if(KESTREL_WINDOWS_DEPS)
  set(ruby ${KESTREL_WINDOWS_DEPS}/ruby)
  set(lua ${KESTREL_WINDOWS_DEPS}/lua)
  if(NOT EXISTS ${ruby}/lib/lib${KESTREL_RUBY_SO}.dll.a OR NOT EXISTS ${lua}/lib/liblua51.dll.a)
    message(FATAL_ERROR "Ruby 3.1 and Lua 5.1 for ${KESTREL_MINGW_TRIPLE} are not in ${KESTREL_WINDOWS_DEPS}. "
                        "Build them with: tools/windows/build-deps.sh ${CMAKE_SYSTEM_PROCESSOR}")
  endif()
  add_library(kestrel_ruby INTERFACE)
  target_include_directories(kestrel_ruby SYSTEM INTERFACE
                             ${ruby}/include/ruby-3.1.0/${KESTREL_RUBY_ARCH} ${ruby}/include/ruby-3.1.0)
  # As the interpreter itself was built: its time_t and file offsets are 64-bit.
  target_compile_definitions(kestrel_ruby INTERFACE
                             _WIN32_WINNT=0x0600 __MINGW_USE_VC2005_COMPAT _FILE_OFFSET_BITS=64)
  target_link_libraries(kestrel_ruby INTERFACE ${ruby}/lib/lib${KESTREL_RUBY_SO}.dll.a)
  # The module itself links the interpreter delay-loaded: it loads the DLL
  # from its own folder (interpreter/windows_loader.cpp), where Windows would
  # not look for it.
  include(${CMAKE_CURRENT_LIST_DIR}/WindowsDelayLoad.cmake)
  kestrel_delay_load_library(delayed descriptor ${ruby}/lib/lib${KESTREL_RUBY_SO}.dll.a ${KESTREL_RUBY_SO}.dll)
  add_library(kestrel_ruby_delayed INTERFACE)
  target_include_directories(kestrel_ruby_delayed SYSTEM INTERFACE
                             ${ruby}/include/ruby-3.1.0/${KESTREL_RUBY_ARCH} ${ruby}/include/ruby-3.1.0)
  target_compile_definitions(kestrel_ruby_delayed INTERFACE
                             _WIN32_WINNT=0x0600 __MINGW_USE_VC2005_COMPAT _FILE_OFFSET_BITS=64
                             KESTREL_RUBY_DLL="${KESTREL_RUBY_SO}.dll"
                             KESTREL_RUBY_IMPORTS="${descriptor}")
  target_link_libraries(kestrel_ruby_delayed INTERFACE ${delayed})
  add_library(kestrel::ruby_for_module ALIAS kestrel_ruby_delayed)
  add_library(kestrel_lua INTERFACE)
  target_include_directories(kestrel_lua SYSTEM INTERFACE ${lua}/include)
  target_compile_definitions(kestrel_lua INTERFACE LUA_BUILD_AS_DLL)
  target_link_libraries(kestrel_lua INTERFACE ${lua}/lib/liblua51.dll.a)
  add_library(kestrel::ruby ALIAS kestrel_ruby)
  add_library(kestrel::lua ALIAS kestrel_lua)
  # What the programs need beside them to run.
  set(KESTREL_RUNTIME_DLLS ${ruby}/bin/${KESTREL_RUBY_SO}.dll ${lua}/bin/lua51.dll)
  return()
endif()

find_package(PkgConfig REQUIRED)

set(KESTREL_RUBY_PC "ruby-3.1" CACHE STRING "pkg-config name of the Ruby library")
set(KESTREL_LUA_PC "lua5.1" CACHE STRING "pkg-config name of the Lua 5.1 library")

pkg_check_modules(RUBY IMPORTED_TARGET ${KESTREL_RUBY_PC})
if(NOT RUBY_FOUND)
  message(FATAL_ERROR "Ruby's library was not found through pkg-config (${KESTREL_RUBY_PC}). "
                      "On Debian 12: apt-get install ruby3.1-dev")
endif()
pkg_check_modules(LUA IMPORTED_TARGET ${KESTREL_LUA_PC})
if(NOT LUA_FOUND)
  message(FATAL_ERROR "Lua 5.1 was not found through pkg-config (${KESTREL_LUA_PC}). "
                      "On Debian 12: apt-get install liblua5.1-0-dev")
endif()
add_library(kestrel::ruby ALIAS PkgConfig::RUBY)
add_library(kestrel::ruby_for_module ALIAS PkgConfig::RUBY)
# The interpreter's own folder of extension libraries, for tests that load
# one by its path (pkg-config puts a sysroot build's sysroot before it).
pkg_get_variable(KESTREL_RUBY_ARCHDIR ${KESTREL_RUBY_PC} rubyarchdir)
add_library(kestrel::lua ALIAS PkgConfig::LUA)
