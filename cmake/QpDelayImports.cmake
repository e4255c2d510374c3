# Delay-loaded imports for setup.exe. The loader resolves a program's imports from the
# program's own folder before anything of the program runs; a setup.exe in a download folder
# must therefore import at load time only what the system never takes from there (kernel32 and
# the C runtime, whose own imports stay inside the system). Every other system DLL is bound
# through a delay-load import library: it is loaded by name at its first call, after start-up
# has restricted the DLL search to the system folder.
#
#   qp_delay_imports(TARGET dll...)
#
# makes lib<dll>_delay.a from every export of the toolchain's import library lib<dll>.a (so
# that no list of functions needs keeping) and links it ahead of the toolchain's default
# libraries, which then supply nothing that the delay library has.

function(qp_delay_imports target)
  string(REPLACE "-gcc-posix" "" prefix "${CMAKE_C_COMPILER}")
  string(REPLACE "-gcc" "" prefix "${prefix}")
  find_program(QP_NM ${prefix}-nm REQUIRED)
  find_program(QP_DLLTOOL ${prefix}-dlltool REQUIRED)
  set(kill_at "")
  if(QP_WINDOWS_ARCH STREQUAL "i686")
    set(kill_at --kill-at)  # stdcall names keep their "@N" in the library, not in the DLL
  endif()
  foreach(dll IN LISTS ARGN)
    execute_process(COMMAND ${CMAKE_C_COMPILER} -print-file-name=lib${dll}.a
                    OUTPUT_VARIABLE import_lib OUTPUT_STRIP_TRAILING_WHITESPACE)
    execute_process(COMMAND ${QP_NM} ${import_lib} OUTPUT_VARIABLE symbols ERROR_QUIET)
    string(REGEX MATCHALL "[^\n]* I __imp_[^\n]*" lines "${symbols}")
    set(def "LIBRARY ${dll}.dll\nEXPORTS\n")
    set(seen "")
    foreach(line IN LISTS lines)
      string(REGEX REPLACE ".* I __imp_" "" name "${line}")
      if(QP_WINDOWS_ARCH STREQUAL "i686")
        string(REGEX REPLACE "^_" "" name "${name}")  # the C prefix of 32-bit names
      endif()
      list(FIND seen "${name}" known)
      if(known EQUAL -1)
        list(APPEND seen "${name}")
        string(APPEND def "  ${name}\n")
      endif()
    endforeach()
    set(def_file ${CMAKE_CURRENT_BINARY_DIR}/delay/${dll}.def)
    set(lib_file ${CMAKE_CURRENT_BINARY_DIR}/delay/lib${dll}_delay.a)
    file(WRITE ${def_file}.in "${def}")
    configure_file(${def_file}.in ${def_file} COPYONLY)
    set(fixup "")
    if(QP_WINDOWS_ARCH STREQUAL "i686")
      set(fixup COMMAND sh ${CMAKE_SOURCE_DIR}/cmake/qp-delaylib-i386.sh ${prefix} ${lib_file} ${dll})
    endif()
    add_custom_command(OUTPUT ${lib_file}
      COMMAND ${QP_DLLTOOL} --input-def ${def_file} --dllname ${dll}.dll ${kill_at} --output-delaylib ${lib_file}
      ${fixup}
      DEPENDS ${def_file} ${CMAKE_SOURCE_DIR}/cmake/qp-delaylib-i386.sh
      COMMENT "Delay-load import library for ${dll}.dll")
    add_custom_target(${target}_delay_${dll} DEPENDS ${lib_file})
    add_dependencies(${target} ${target}_delay_${dll})
    target_link_libraries(${target} PRIVATE ${lib_file})
  endforeach()
endfunction()
