# Project-wide helpers: warnings, exported-symbol lists and test executables.

function(wendo_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow -Wformat=2
    $<$<COMPILE_LANGUAGE:CXX>:-Wnon-virtual-dtor -Wold-style-cast -Woverloaded-virtual>)
  # GCC 12 reports -Wrestrict inside libstdc++'s std::string assignment at -O2 where no
  # overlap can happen (a known false positive); it would break release builds only.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${target} PRIVATE $<$<COMPILE_LANGUAGE:CXX>:-Wno-restrict>)
  endif()
  if(WENDO_WARNINGS_AS_ERRORS)
    target_compile_options(${target} PRIVATE -Werror)
  endif()
endfunction()

# Restricts a shared library's dynamic symbol table to the names listed, one per line, in the
# *.exports files of its source folder. Anything else (including template instances of the
# standard library) stays local.
function(wendo_export_list target srcdir)
  file(GLOB lists CONFIGURE_DEPENDS ${srcdir}/*.exports)
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${lists})
  set(names "")
  foreach(l IN LISTS lists)
    file(STRINGS ${l} lines REGEX "^[A-Za-z_][A-Za-z0-9_]*$")
    list(APPEND names ${lines})
  endforeach()
  list(SORT names)
  set(map "{\n")
  if(names)
    string(APPEND map "  global:\n")
  endif()
  foreach(n IN LISTS names)
    string(APPEND map "    ${n};\n")
  endforeach()
  string(APPEND map "  local: *;\n};\n")
  set(mapfile ${CMAKE_CURRENT_BINARY_DIR}/${target}.map)
  file(WRITE ${mapfile}.in "${map}")
  configure_file(${mapfile}.in ${mapfile} COPYONLY)
  string(REPLACE ";" "\n" plain "${names}")
  file(WRITE ${CMAKE_CURRENT_BINARY_DIR}/${target}.names.in "${plain}\n")
  configure_file(${CMAKE_CURRENT_BINARY_DIR}/${target}.names.in
    ${CMAKE_CURRENT_BINARY_DIR}/${target}.names COPYONLY)
  target_link_options(${target} PRIVATE "LINKER:--version-script=${mapfile}")
  set_property(TARGET ${target} APPEND PROPERTY LINK_DEPENDS ${mapfile})
  add_test(NAME ${target}.exports
    COMMAND ${CMAKE_SOURCE_DIR}/scripts/check-exports.sh $<TARGET_FILE:${target}>
            ${CMAKE_CURRENT_BINARY_DIR}/${target}.names)
endfunction()

# One GoogleTest executable per layer, made of every .cpp in the layer's tests folder.
function(wendo_gtest name)
  cmake_parse_arguments(T "" "DIR" "LIBS;LABELS" ${ARGN})
  file(GLOB srcs CONFIGURE_DEPENDS ${T_DIR}/*.cpp)
  if(NOT srcs)
    return()
  endif()
  add_executable(${name} ${srcs})
  wendo_warnings(${name})
  target_link_libraries(${name} PRIVATE ${T_LIBS} GTest::gtest GTest::gmock GTest::gtest_main)
  target_compile_definitions(${name} PRIVATE
    WENDO_TEST_DATA="${T_DIR}/data" WENDO_BIN_DIR="${CMAKE_RUNTIME_OUTPUT_DIRECTORY}")
  gtest_discover_tests(${name} DISCOVERY_MODE PRE_TEST
    PROPERTIES LABELS "${T_LABELS}"
    # Runs with backups keep undo journals in the state folder: never the user's own.
    ENVIRONMENT "QT_QPA_PLATFORM=offscreen;XDG_STATE_HOME=${CMAKE_BINARY_DIR}/test-state")
endfunction()
