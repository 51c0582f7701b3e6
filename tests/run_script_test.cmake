# Runs one Lua script in the stand-in host and compares what it left on the
# console (and on standard output, where the script has a transcript for it)
# byte for byte with the transcripts kept beside the script.
#
#   cmake -DHOST=... -DSCRIPT=dir/name.lua -DWORK=dir -DEXPECTED_STATUS=n -DCONSOLE=file
#         [-DOPTIONS=...] [-DEMULATOR=...] [-DNO_LEAK_CHECK=ON] -P run_script_test.cmake
#
# OPTIONS are given to kestrel-host and, as the Lua global HOST_OPTIONS, to the
# script; the test list reads them, the exit status and the console file from
# the script's header (tests/CMakeLists.txt). It runs in WORK, a fresh folder holding a copy of the scripts' files/ folder,
# so relative paths and files it makes stay out of the source tree.

foreach(variable HOST SCRIPT WORK EXPECTED_STATUS CONSOLE)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_script_test.cmake needs -D${variable}=...")
  endif()
endforeach()

get_filename_component(directory "${SCRIPT}" DIRECTORY)
get_filename_component(name "${SCRIPT}" NAME_WE)

separate_arguments(options UNIX_COMMAND "${OPTIONS}")
# Where the interpreter keeps its extension libraries, for scripts that load one.
set(ENV{KESTREL_RUBY_ARCHDIR} "${RUBY_ARCHDIR}")
if(NO_LEAK_CHECK)
  # LeakSanitizer's end-of-process tracer crashes ("Tracer caught signal
  # 11") in a kestrel-host in which the interpreter ran a Ruby Thread.
  set(ENV{ASAN_OPTIONS} "detect_leaks=0")
endif()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
if(EXISTS "${directory}/files")
  file(COPY "${directory}/files" DESTINATION "${WORK}")
endif()

execute_process(
  COMMAND ${EMULATOR} "${HOST}" --console ${CONSOLE} ${options}
          -e "HOST_OPTIONS = [[${OPTIONS}]]" "${SCRIPT}"
  WORKING_DIRECTORY "${WORK}"
  OUTPUT_FILE stdout.txt
  ERROR_VARIABLE errors
  RESULT_VARIABLE status
  TIMEOUT 120)

set(failed FALSE)
if(NOT "${status}" STREQUAL "${EXPECTED_STATUS}")
  message(SEND_ERROR "kestrel-host exited with ${status}, expected ${EXPECTED_STATUS}\n${errors}")
  set(failed TRUE)
endif()

foreach(stream console stdout)
  set(expected "${directory}/${name}.${stream}")
  if(NOT EXISTS "${expected}")
    continue()
  endif()
  set(options "")
  if(stream STREQUAL "stdout")
    set(options --ignore-eol)  # a Windows program's standard output has CR LF line ends
  endif()
  execute_process(COMMAND "${CMAKE_COMMAND}" -E compare_files ${options} "${expected}" "${WORK}/${stream}.txt"
                  RESULT_VARIABLE different)
  if(different)
    file(READ "${expected}" want)
    file(READ "${WORK}/${stream}.txt" got)
    message(SEND_ERROR "The ${stream} differs from ${expected}\n--- expected ---\n${want}\n--- got ---\n${got}\n---\n${errors}")
    set(failed TRUE)
  endif()
endforeach()

if(NOT failed AND NOT "${errors}" STREQUAL "")
  message(STATUS "standard error:\n${errors}")
endif()
