# A delay-load library for a DLL, made from its import library at configure
# time. A module linked with it imports nothing from the DLL when Windows
# loads it: the module loads the DLL itself, by full path, and binds every
# entry at once before its first use, so that data entries too are bound
# before they are read. The linker leaves the image's delay-import directory
# empty, so the module finds the entries through the library's descriptor,
# whose symbol is given back in DESCRIPTOR-VARIABLE.
#
#   kestrel_delay_load_library(LIBRARY-VARIABLE DESCRIPTOR-VARIABLE IMPORT-LIBRARY DLL-NAME)
function(kestrel_delay_load_library output descriptor implib dll)
  find_program(KESTREL_NM ${KESTREL_MINGW_TRIPLE}-nm REQUIRED)
  find_program(KESTREL_DLLTOOL ${KESTREL_MINGW_TRIPLE}-dlltool REQUIRED)
  set(folder ${CMAKE_BINARY_DIR}/delayload)
  get_filename_component(name ${dll} NAME_WE)
  set(def ${folder}/${name}.def)
  # The descriptor's symbol is named after the library's file name as given.
  set(libname libinterpreter.delay.a)
  set(lib ${folder}/${libname})
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${implib})
  execute_process(COMMAND ${KESTREL_NM} ${implib} OUTPUT_VARIABLE symbols RESULT_VARIABLE failed ERROR_QUIET)
  if(failed)
    message(FATAL_ERROR "cannot list the symbols of ${implib}")
  endif()
  # An import library has __imp_NAME for every entry and a NAME thunk for
  # each function; an entry without a thunk is data. 32-bit names carry a
  # leading underscore, which the .def leaves out. Names that are no C names
  # (the compiler's .refptr.NAME helpers) are nothing the module calls.
  string(REGEX MATCHALL "[^\n]+" lines "${symbols}")
  set(entries "")
  foreach(line IN LISTS lines)
    if(line MATCHES "^[0-9a-f]+ I __imp_([A-Za-z_][A-Za-z0-9_]*)$")
      list(APPEND entries ${CMAKE_MATCH_1})
    elseif(line MATCHES "^[0-9a-f]+ T (.+)$")
      set(function_${CMAKE_MATCH_1} TRUE)
    endif()
  endforeach()
  set(text "LIBRARY ${dll}\nEXPORTS\n")
  foreach(entry IN LISTS entries)
    set(exported ${entry})
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(REGEX REPLACE "^_" "" exported ${entry})
    endif()
    if(function_${entry})
      string(APPEND text "${exported}\n")
    else()
      string(APPEND text "${exported} DATA\n")
    endif()
  endforeach()
  file(MAKE_DIRECTORY ${folder})
  file(WRITE ${def} "${text}")
  execute_process(COMMAND ${KESTREL_DLLTOOL} --input-def ${def} --dllname ${dll} --output-delaylib ${libname}
                  WORKING_DIRECTORY ${folder} RESULT_VARIABLE failed)
  if(failed)
    message(FATAL_ERROR "${KESTREL_DLLTOOL} could not make ${lib}")
  endif()
  execute_process(COMMAND ${KESTREL_NM} ${lib} OUTPUT_VARIABLE symbols ERROR_QUIET)
  if(NOT symbols MATCHES "[0-9a-f]+ D (_*DELAY_IMPORT_DESCRIPTOR_[A-Za-z0-9_]+)")
    message(FATAL_ERROR "no delay-import descriptor in ${lib}")
  endif()
  set(${descriptor} ${CMAKE_MATCH_1} PARENT_SCOPE)
  set(${output} ${lib} PARENT_SCOPE)
endfunction()
