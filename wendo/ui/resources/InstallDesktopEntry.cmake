# Install-time step: the desktop entry with Exec naming the installed program by its full
# path. Set before it runs: WENDO_DESKTOP_IN (the entry as kept in the sources), WENDO_DESKTOP_OUT
# (a file in the build tree), WENDO_BINDIR and WENDO_DATADIR (as GNUInstallDirs gives them).
# DESTDIR is a staging root only: the entry names the program where it will finally be.
if(IS_ABSOLUTE "${WENDO_BINDIR}")
  set(program "${WENDO_BINDIR}/wendo")
else()
  set(program "${CMAKE_INSTALL_PREFIX}/${WENDO_BINDIR}/wendo")
endif()
file(READ "${WENDO_DESKTOP_IN}" entry)
# Inside a quoted Exec argument these would need escaping at two levels; such a folder keeps
# the bare program name, found on PATH.
string(REGEX MATCH "[\"`$%\\\\\n\r]" awkward "${program}")
if(awkward STREQUAL "")
  string(REPLACE "\nExec=wendo " "\nExec=\"${program}\" " entry "${entry}")
else()
  message(STATUS "Desktop entry: Exec keeps the bare name for ${program}")
endif()
file(WRITE "${WENDO_DESKTOP_OUT}" "${entry}")
if(IS_ABSOLUTE "${WENDO_DATADIR}")
  set(applications "${WENDO_DATADIR}/applications")
else()
  set(applications "${CMAKE_INSTALL_PREFIX}/${WENDO_DATADIR}/applications")
endif()
file(INSTALL DESTINATION "${applications}" TYPE FILE FILES "${WENDO_DESKTOP_OUT}")
