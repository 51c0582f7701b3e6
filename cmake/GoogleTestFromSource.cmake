# GoogleTest built from Debian's source package of it (libgtest-dev), for a
# cross build that cannot use the Linux libraries. Gives GTest::gtest_main.
set(KESTREL_GOOGLETEST_SOURCE /usr/src/googletest/googletest CACHE PATH "GoogleTest's source folder")
if(NOT EXISTS ${KESTREL_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "GoogleTest's source is not in ${KESTREL_GOOGLETEST_SOURCE}. On Debian 12: apt-get install libgtest-dev")
endif()
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(gtest_disable_pthreads OFF CACHE BOOL "" FORCE)
add_subdirectory(${KESTREL_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
if(NOT TARGET GTest::gtest_main)
  add_library(GTest::gtest_main ALIAS gtest_main)
endif()
