# What an installation offers beyond the programs: man pages, pkg-config files and CMake
# packages for Brio and Tessel, and the Debian packages of `make package` (CPack).

# Man pages: help2man turns each program's --help into the page and adds the hand-written
# sections of docs/man/<program>.h2m. Pages are kept compressed, as Debian installs them.
find_program(WENDO_HELP2MAN help2man)
if(WENDO_HELP2MAN)
  set(man_pages "")
  foreach(program IN ITEMS wendo-run wendo)
    if(NOT TARGET ${program})
      continue()
    endif()
    set(page ${CMAKE_BINARY_DIR}/man/${program}.1)
    set(include ${CMAKE_SOURCE_DIR}/docs/man/${program}.h2m)
    add_custom_command(OUTPUT ${page}.gz
      COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
      COMMAND ${CMAKE_COMMAND} -E env QT_QPA_PLATFORM=offscreen
              ${WENDO_HELP2MAN} --no-info --section=1 --include=${include} --output=${page}
              $<TARGET_FILE:${program}>
      COMMAND gzip -9nkf ${page}
      DEPENDS ${program} ${include}
      COMMENT "Man page ${program}(1)"
      VERBATIM)
    list(APPEND man_pages ${page}.gz)
  endforeach()
  add_custom_target(man ALL DEPENDS ${man_pages})
  install(FILES ${man_pages} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
else()
  message(STATUS "help2man not found: no man pages (scripts/install-deps.sh installs it)")
endif()

# pkg-config files that find their installation from where they lie, so that an installed
# tree can be moved (cmake --install --prefix anywhere).
file(RELATIVE_PATH WENDO_PC_TO_PREFIX /p/${CMAKE_INSTALL_LIBDIR}/pkgconfig /p)
foreach(lib IN ITEMS brio tessel)
  configure_file(${CMAKE_SOURCE_DIR}/cmake/${lib}.pc.in ${CMAKE_BINARY_DIR}/pkgconfig/${lib}.pc
    @ONLY)
  install(FILES ${CMAKE_BINARY_DIR}/pkgconfig/${lib}.pc
    DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)
endforeach()

# CMake packages: find_package(Brio) and find_package(Tessel).
include(CMakePackageConfigHelpers)
foreach(package IN ITEMS Brio Tessel)
  set(dir ${CMAKE_INSTALL_LIBDIR}/cmake/${package})
  install(EXPORT ${package}Targets NAMESPACE ${package}:: DESTINATION ${dir} COMPONENT dev)
  write_basic_package_version_file(${CMAKE_BINARY_DIR}/cmake/${package}ConfigVersion.cmake
    VERSION ${PROJECT_VERSION} COMPATIBILITY SameMajorVersion)
  install(FILES ${CMAKE_SOURCE_DIR}/cmake/${package}Config.cmake
    ${CMAKE_BINARY_DIR}/cmake/${package}ConfigVersion.cmake DESTINATION ${dir} COMPONENT dev)
endforeach()

# Installs Brio and Tessel into a scratch prefix and builds small C and C++ programs against
# it, with pkg-config and with find_package. Sanitizer builds leave this and the package test
# out: programs built without the sanitizer cannot load their libraries.
string(FIND "${CMAKE_CXX_FLAGS}" "-fsanitize" sanitized)
if(sanitized EQUAL -1)
  add_test(NAME install.libraries
    COMMAND ${CMAKE_SOURCE_DIR}/tests/install/libraries_test.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_SOURCE_DIR}/tests/install)
  set_tests_properties(install.libraries PROPERTIES LABELS "install" TIMEOUT 300)
endif()

# `make package`: wendo_<version>_amd64.deb with the programs, libraries, desktop entry, file
# type, icon and man pages, and wendo-dev_<version>_amd64.deb with the headers, pkg-config
# files and CMake packages.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME wendo)
set(CPACK_PACKAGE_VENDOR "Wendo developers")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "edit many HTML and text files in one batch")
set(CPACK_PACKAGE_CONTACT "Wendo developers <wendo@example.org>")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL runtime dev)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_NAME wendo)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SECTION editors)
set(CPACK_DEBIAN_RUNTIME_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_DEV_PACKAGE_NAME wendo-dev)
set(CPACK_DEBIAN_DEV_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_DEV_PACKAGE_DEPENDS "wendo (= ${PROJECT_VERSION})")
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "Wendo runs command files (find, replace, insert, delete, tag commands) on every file of a\n\
set of folders. The desktop program edits and runs them and shows each file's result;\n\
wendo-run does the same from a terminal.")
set(CPACK_COMPONENT_DEV_DESCRIPTION
  "Brio and Tessel for other programs\n\
Headers, pkg-config files and CMake packages of the libraries Brio (C) and Tessel (C++).")
include(CPack)

# Builds the packages and runs the runner from an unpacked copy.
if(sanitized EQUAL -1)
  add_test(NAME install.package
    COMMAND ${CMAKE_SOURCE_DIR}/tests/install/package_test.sh ${CMAKE_BINARY_DIR}
            ${CMAKE_SOURCE_DIR})
  set_tests_properties(install.package PROPERTIES LABELS "install" TIMEOUT 600)
endif()
