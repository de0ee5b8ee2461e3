# The installation: one program folder, the prefix itself, laid out as the build's
# bin/ is - the programs, and beside them every file they open. WendraWinCreator,
# run from there, completes it (the main program under its working name, the
# shortcuts, the component registration) and starts WendraWin.
#
#   cmake --install build --prefix ~/.local/lib/WendraWin     (or: make install)
#
# A prefix left at CMake's own default becomes the per-user folder above.
if(CMAKE_INSTALL_PREFIX_INITIALIZED_TO_DEFAULT)
  set(CMAKE_INSTALL_PREFIX "$ENV{HOME}/.local/lib/WendraWin" CACHE PATH "The program folder to install to" FORCE)
endif()

# The programs.
install(TARGETS WendraWin wendra-gadget-install WendraWinCreator wendra-loadcheck wendra-calendar RUNTIME DESTINATION .)
# The main program once more, as the copy the setup puts in place under its
# working name ("WendraWin", or "WendraWinVista" beside the gadget package).
install(PROGRAMS $<TARGET_FILE:WendraWin> DESTINATION . RENAME Wendrawin.BAK)

# What the programs open from their folder: the toolbar pictures and the program's
# icon (icons/WendraWin.png, for the shortcuts), the alarm sound, the pages.
install(DIRECTORY ${WENDRA_PROGRAM_DIR}/icons DESTINATION .)
install(FILES ${WENDRA_PROGRAM_DIR}/QVRAlarm.wav ${WENDRA_PROGRAM_DIR}/QVRGadgetInstall.htm DESTINATION .)

# The database: made empty when the folder has none; one that is there holds the
# user's events and is never replaced.
install(CODE "
  set(wendra_database \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/WendraWin.dt\")
  execute_process(COMMAND \"$<TARGET_FILE:wendra_make_database>\" \"\${wendra_database}\"
                  RESULT_VARIABLE wendra_database_made)
  if(NOT wendra_database_made EQUAL 0)
    message(FATAL_ERROR \"WendraWin.dt could not be made in \${CMAKE_INSTALL_PREFIX}\")
  endif()
")

# The gadget: its library (libWendraGadget.so, which the setup registers), its host
# WendraGadgetHost with its page and icons in gadget/, and the package marker
# WendraVista.gadget, which tells WendraWin's first run and the setup that a gadget
# is installed - only where there are a library and a host for it.
if(TARGET WendraGadget)
  install(TARGETS WendraGadget LIBRARY DESTINATION .)
endif()
if(TARGET WendraGadgetHost)
  install(TARGETS WendraGadgetHost RUNTIME DESTINATION .)
  install(DIRECTORY ${WENDRA_PROGRAM_DIR}/gadget DESTINATION .)
  if(TARGET WendraGadget)
    install(FILES ${CMAKE_SOURCE_DIR}/data/gadget/WendraVista.gadget DESTINATION .)
  endif()
endif()
