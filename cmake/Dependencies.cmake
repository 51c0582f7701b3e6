# The interpreter and Lua come from the system through pkg-config. A missing
# one stops the configuration with the package that provides it.
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
add_library(kestrel::lua ALIAS PkgConfig::LUA)
