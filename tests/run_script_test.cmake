# Runs one Lua script in the stand-in host and compares what it left on the
# console (and on standard output, where the script has a transcript for it)
# byte for byte with the transcripts kept beside the script.
#
#   cmake -DHOST=... -DSCRIPT=dir/name.lua -DWORK=dir [-DOPTIONS=...] [-DEMULATOR=...]
#         -P run_script_test.cmake
#
# OPTIONS are given to kestrel-host and, as the Lua global HOST_OPTIONS, to the
# script. The script's first lines say how to run it:
#   -- host: --errors return        the options (read by the test list)
#   -- host variants: A | B         run once with each of these options
#   -- exit: 1                      the exit status expected (0 otherwise)
#   -- platform: unix               run only where there are POSIX tools (read by the test list)
#   -- console: none                the console goes to /dev/null and is not compared
#   -- sanitizers: skip             not run in the sanitizer build (read by the test list)
#   -- sanitizers: no leak check    the sanitizer build's leak check is off for this run
# It runs in WORK, a fresh folder holding a copy of the scripts' files/ folder,
# so relative paths and files it makes stay out of the source tree.

foreach(variable HOST SCRIPT WORK)
  if(NOT DEFINED ${variable})
    message(FATAL_ERROR "run_script_test.cmake needs -D${variable}=...")
  endif()
endforeach()

get_filename_component(directory "${SCRIPT}" DIRECTORY)
get_filename_component(name "${SCRIPT}" NAME_WE)

separate_arguments(options UNIX_COMMAND "${OPTIONS}")
set(expected_status 0)
set(console console.txt)
file(STRINGS "${SCRIPT}" header LIMIT_COUNT 3)
foreach(line IN LISTS header)
  if(line MATCHES "^-- exit: ([0-9]+)$")
    set(expected_status "${CMAKE_MATCH_1}")
  elseif(line STREQUAL "-- console: none")
    set(console /dev/null)
  elseif(line STREQUAL "-- sanitizers: no leak check")
    # LeakSanitizer's end-of-process tracer crashes ("Tracer caught signal
    # 11") in a kestrel-host in which the interpreter ran a Ruby Thread.
    set(ENV{ASAN_OPTIONS} "detect_leaks=0")
  endif()
endforeach()

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
if(EXISTS "${directory}/files")
  file(COPY "${directory}/files" DESTINATION "${WORK}")
endif()

execute_process(
  COMMAND ${EMULATOR} "${HOST}" --console ${console} ${options}
          -e "HOST_OPTIONS = [[${OPTIONS}]]" "${SCRIPT}"
  WORKING_DIRECTORY "${WORK}"
  OUTPUT_FILE stdout.txt
  ERROR_VARIABLE errors
  RESULT_VARIABLE status
  TIMEOUT 120)

set(failed FALSE)
if(NOT "${status}" STREQUAL "${expected_status}")
  message(SEND_ERROR "kestrel-host exited with ${status}, expected ${expected_status}\n${errors}")
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
