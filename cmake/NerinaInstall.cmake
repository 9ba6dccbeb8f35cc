# `cmake --install` installs the program for one user: the program's folder
# PREFIX/lib/nerina with the executable and, only when none is there yet, the empty diary
# beside it (the diary lives beside the program); a `nerina` command in PREFIX/bin; the
# desktop entry, the icon and the AppStream metainfo. An existing diary, and the backups
# beside it, are never replaced or touched. The prefix is the one given at install time
# (`cmake --install build --prefix DIR`), ~/.local unless told.
set(NERINA_APP_ID org.nerina.Diary)
set(NERINA_PROGRAM_DIR ${CMAKE_INSTALL_LIBDIR}/nerina)

install(TARGETS nerina RUNTIME DESTINATION ${NERINA_PROGRAM_DIR})
install(FILES data/icons/${NERINA_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/${NERINA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

file(RELATIVE_PATH NERINA_LINK_TARGET /${CMAKE_INSTALL_BINDIR} /${NERINA_PROGRAM_DIR}/nerina)
install(CODE "
  set(root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")

  # The command on the PATH: a link to the program, which finds its diary beside itself.
  file(MAKE_DIRECTORY \"\${root}/${CMAKE_INSTALL_BINDIR}\")
  file(CREATE_LINK \"${NERINA_LINK_TARGET}\" \"\${root}/${CMAKE_INSTALL_BINDIR}/nerina\" SYMBOLIC)
  message(STATUS \"Installing: \${root}/${CMAKE_INSTALL_BINDIR}/nerina -> ${NERINA_LINK_TARGET}\")

  # The desktop entry starts the program by its full path.
  file(READ \"${CMAKE_SOURCE_DIR}/data/${NERINA_APP_ID}.desktop.in\" entry)
  string(REPLACE \"@NERINA_INSTALL_BIN@\" \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/nerina\" entry \"\${entry}\")
  file(WRITE \"${CMAKE_BINARY_DIR}/${NERINA_APP_ID}.desktop\" \"\${entry}\")
  file(INSTALL \"${CMAKE_BINARY_DIR}/${NERINA_APP_ID}.desktop\" DESTINATION \"\${root}/${CMAKE_INSTALL_DATADIR}/applications\")

  # The diary: made from the schema, private, and only where there is none (nerina_mkdb
  # leaves an existing file alone). It is left out of the install manifest, so that
  # nothing that reads the manifest removes it.
  set(diary \"\${root}/${NERINA_PROGRAM_DIR}/nerina.mdb\")
  execute_process(COMMAND \"$<TARGET_FILE:nerina_mkdb>\" \"${NERINA_SCHEMA}\" \"\${diary}\" RESULT_VARIABLE made)
  if(NOT made EQUAL 0)
    message(FATAL_ERROR \"Could not make the empty diary \${diary}\")
  endif()
  message(STATUS \"Diary: \${diary} (an empty one unless it was already there)\")
")
