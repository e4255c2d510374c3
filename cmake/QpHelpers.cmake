# Small helpers shared by every folder's CMakeLists.

# qp_test(NAME SOURCES ... LIBS ... [WINDOWS_ONLY] [HOST_ONLY] [DISPLAY])
# One test program per call; ctest runs it (under Wine in the Windows build).
# DISPLAY: the test shows windows and reads the screen, so it never runs beside another such test.
function(qp_test name)
  cmake_parse_arguments(T "WINDOWS_ONLY;HOST_ONLY;DISPLAY" "TIMEOUT" "SOURCES;LIBS" ${ARGN})
  if(T_WINDOWS_ONLY AND NOT QP_WINDOWS)
    return()
  endif()
  if(T_HOST_ONLY AND QP_WINDOWS)
    return()
  endif()
  add_executable(${name} ${T_SOURCES})
  target_link_libraries(${name} PRIVATE ${T_LIBS} qp_testsupport qp_testmain)
  add_test(NAME ${name} COMMAND ${name})
  if(NOT T_TIMEOUT)
    set(T_TIMEOUT 300)
  endif()
  # A program that skipped every test it ran (a tool missing, a platform that lacks what it
  # needs) shows as skipped, not passed; the test main prints this line only then. One that
  # skipped some passes, with the skipped ones listed in its output.
  set_tests_properties(${name} PROPERTIES TIMEOUT ${T_TIMEOUT}
    SKIP_REGULAR_EXPRESSION "\\[qptest\\] every test of this program was skipped")
  if(T_DISPLAY)
    set_tests_properties(${name} PROPERTIES RESOURCE_LOCK display)
  endif()
endfunction()

# qp_gui_test(NAME SOURCES ... [LIBS ...] [PROGRAMS target...] [WORK folder] [SHOTS folder] [TIMEOUT s])
# A test program that drives real windows under Wine and Xvfb (Windows build only; never beside
# another such test). Each program of PROGRAMS (qpb, qpbc, setup, ...) is built first and its
# path under Wine is the macro QP_<TARGET>_EXE (QP_QPB_EXE, QP_SETUP_EXE). Also defined:
# QP_EXAMPLE_DIR (the example project), QP_EXAMPLE_QPK (its project file), QP_WORK_DIR (the
# folder WORK of the build tree, default NAME-work) and QP_SHOTS_DIR (the screenshot folder
# SHOTS of the build tree, default e2e-shots).
function(qp_gui_test name)
  cmake_parse_arguments(G "" "WORK;SHOTS;TIMEOUT" "SOURCES;LIBS;PROGRAMS" ${ARGN})
  if(NOT QP_WINDOWS)
    return()
  endif()
  if(NOT G_TIMEOUT)
    set(G_TIMEOUT 600)
  endif()
  if(NOT G_WORK)
    set(G_WORK ${name}-work)
  endif()
  if(NOT G_SHOTS)
    set(G_SHOTS e2e-shots)
  endif()
  qp_test(${name} WINDOWS_ONLY DISPLAY TIMEOUT ${G_TIMEOUT} SOURCES ${G_SOURCES}
    LIBS ${G_LIBS} comctl32 shell32 shlwapi ole32 uuid gdi32 user32 advapi32)
  set(example ${CMAKE_SOURCE_DIR}/examples/notepadish)
  target_compile_definitions(${name} PRIVATE
    QP_EXAMPLE_DIR="Z:${example}"
    QP_EXAMPLE_QPK="Z:${example}/notepadish.qpk"
    QP_WORK_DIR="Z:${CMAKE_BINARY_DIR}/${G_WORK}"
    QP_SHOTS_DIR="Z:${CMAKE_BINARY_DIR}/${G_SHOTS}")
  foreach(program ${G_PROGRAMS})
    string(TOUPPER ${program} macro)
    add_dependencies(${name} ${program})
    target_compile_definitions(${name} PRIVATE QP_${macro}_EXE="Z:$<TARGET_FILE:${program}>")
  endforeach()
endfunction()

# qp_size_optimised(TARGET): code that setup.exe carries into every kit, sized for it in the
# Windows build: -Os takes about a third off, and one section per function and object lets the
# program's --gc-sections drop what is not called. Nothing changes in the host build.
function(qp_size_optimised target)
  if(QP_WINDOWS)
    target_compile_options(${target} PRIVATE -Os -ffunction-sections -fdata-sections)
  endif()
endfunction()

# qp_program_path(VAR TARGET): the path of the program TARGET as a test running in this build
# opens it (the Windows build's tests run under Wine, which sees the build tree on drive Z:).
function(qp_program_path var target)
  if(QP_WINDOWS)
    set(${var} "Z:$<TARGET_FILE:${target}>" PARENT_SCOPE)
  else()
    set(${var} "$<TARGET_FILE:${target}>" PARENT_SCOPE)
  endif()
endfunction()

# qp_platform_sources(TARGET NAME...): adds the platform's side of each seam NAME to TARGET:
# win/NAME_win.cpp in the Windows build, host/NAME_host.cpp in the host build.
function(qp_platform_sources target)
  foreach(name ${ARGN})
    if(QP_WINDOWS)
      target_sources(${target} PRIVATE win/${name}_win.cpp)
    else()
      target_sources(${target} PRIVATE host/${name}_host.cpp)
    endif()
  endforeach()
endfunction()

# qp_deliver(TARGET [DESTINATION dir] [RENAME name] [COMPONENT name]): part of the builder's
# installed layout (component "builder" unless named).
function(qp_deliver target)
  cmake_parse_arguments(D "" "DESTINATION;RENAME;COMPONENT" "" ${ARGN})
  if(NOT D_DESTINATION)
    set(D_DESTINATION .)
  endif()
  if(NOT D_COMPONENT)
    set(D_COMPONENT builder)
  endif()
  if(D_RENAME)
    install(FILES $<TARGET_FILE:${target}> DESTINATION ${D_DESTINATION} RENAME ${D_RENAME} COMPONENT ${D_COMPONENT})
  else()
    install(TARGETS ${target} RUNTIME DESTINATION ${D_DESTINATION} LIBRARY DESTINATION ${D_DESTINATION}
            COMPONENT ${D_COMPONENT})
  endif()
endfunction()

# qp_fuzz(NAME SOURCES ... LIBS ...): a libFuzzer target (host build with -DQP_FUZZ=ON, clang).
# In an ordinary host build the same entry point is linked with a small driver instead and
# ctest replays every seed file of tests/fuzz/seeds/NAME through it (test NAME_seeds; skipped
# when the target has no seeds).
function(qp_fuzz name)
  cmake_parse_arguments(F "" "" "SOURCES;LIBS" ${ARGN})
  if(QP_FUZZ)
    add_executable(${name} ${F_SOURCES})
    target_compile_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${name} PRIVATE ${F_LIBS})
    target_include_directories(${name} PRIVATE ${CMAKE_SOURCE_DIR})
  else()
    add_executable(${name}_replay ${F_SOURCES} ${CMAKE_SOURCE_DIR}/tests/fuzz/replay_main.cpp)
    target_link_libraries(${name}_replay PRIVATE ${F_LIBS})
    target_include_directories(${name}_replay PRIVATE ${CMAKE_SOURCE_DIR})
    add_test(NAME ${name}_seeds COMMAND ${name}_replay ${CMAKE_SOURCE_DIR}/tests/fuzz/seeds/${name})
    set_tests_properties(${name}_seeds PROPERTIES TIMEOUT 300 SKIP_RETURN_CODE 77)
  endif()
endfunction()
