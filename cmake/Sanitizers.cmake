# AddressSanitizer and UndefinedBehaviorSanitizer over what this project builds:
# the module, the stand-ins and the tests, each target through
# kestrel_sanitize(TARGET), not whatever else a build might pull in. The
# interpreter's own library is not instrumented. Any report fails the run.
#
# Every executable links kestrel_executable_defaults, which in this build
# carries the sanitizers' default options, so that a test run by hand behaves
# as under CTest.
add_library(kestrel_executable_defaults INTERFACE)
if(KESTREL_SANITIZE)
  target_sources(kestrel_executable_defaults INTERFACE
                 ${PROJECT_SOURCE_DIR}/tests/sanitizers/sanitizer_defaults.cpp)
endif()

function(kestrel_sanitize target)
  if(KESTREL_SANITIZE)
    # The vptr check reads C++ type information beside an object's table of
    # operations; the host's objects are laid out by the host, not by a C++
    # compiler that knows our classes, and have none.
    target_compile_options(${target} PRIVATE -fsanitize=address,undefined -fno-sanitize=vptr
                           -fno-sanitize-recover=all -fno-omit-frame-pointer)
    target_link_options(${target} PRIVATE -fsanitize=address,undefined)
  endif()
endfunction()
