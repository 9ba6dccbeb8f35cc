# `cmake --install` installs the program one of two ways; both put the desktop entry, the
# icon and the AppStream metainfo under PREFIX/share.
#
# For one user (the default; scripts/run.sh): the program's folder PREFIX/lib/nerina with
# the executable and, only when none is there yet, the empty diary beside it (the diary
# lives beside the program); a `nerina` command in PREFIX/bin. An existing diary, and the
# backups beside it, are never replaced or touched. The prefix is the one given at install
# time (`cmake --install build --prefix DIR`), ~/.local unless told.
#
# As the Debian package (NERINA_PACKAGE=ON; scripts/package.sh): /usr/lib/nerina is no
# user's to write, so it holds no diary. It holds the program and nerina_mkdb, and the
# launcher /usr/bin/nerina gives each user her own diary in her data folder, made from the
# schema in /usr/share/nerina when she has none. With the manual page, the copyright and the
# changelog.
option(NERINA_PACKAGE "Install the layout of the Debian package (made by scripts/package.sh)" OFF)

set(NERINA_APP_ID org.nerina.Diary)
set(NERINA_PROGRAM_DIR lib/nerina)

install(FILES data/icons/${NERINA_APP_ID}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
install(FILES data/${NERINA_APP_ID}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)

# What the install step needs to know from the configure step.
install(CODE "
  set(nerina_source \"${CMAKE_SOURCE_DIR}\")
  set(nerina_binary \"${CMAKE_BINARY_DIR}\")
  set(nerina_bindir \"${CMAKE_INSTALL_BINDIR}\")
  set(nerina_datadir \"${CMAKE_INSTALL_DATADIR}\")
  set(nerina_programdir \"${NERINA_PROGRAM_DIR}\")
  set(nerina_id \"${NERINA_APP_ID}\")
")

# The desktop entry starts the `nerina` command by its full path, known only once the
# prefix is, quoted the way desktop entries quote a program (a prefix may hold a space).
# DESTDIR, when given, stages the whole install; file(INSTALL) adds it by itself.
install(CODE [[
  set(exec "${CMAKE_INSTALL_PREFIX}/${nerina_bindir}/nerina")
  string(REGEX REPLACE "([\"`$\\])" "\\\\\\1" exec "${exec}")
  string(REPLACE "\\" "\\\\" exec "${exec}")
  string(REPLACE "%" "%%" exec "${exec}")
  file(READ "${nerina_source}/data/${nerina_id}.desktop.in" entry)
  string(REPLACE "@NERINA_INSTALL_BIN@" "\"${exec}\"" entry "${entry}")
  file(WRITE "${nerina_binary}/${nerina_id}.desktop" "${entry}")
  file(INSTALL "${nerina_binary}/${nerina_id}.desktop"
       DESTINATION "${CMAKE_INSTALL_PREFIX}/${nerina_datadir}/applications")
]])

if(NOT NERINA_PACKAGE)
  install(TARGETS nerina RUNTIME DESTINATION ${NERINA_PROGRAM_DIR})
  install(CODE [[
    set(root "$ENV{DESTDIR}${CMAKE_INSTALL_PREFIX}")

    # The command on the PATH: a link to the program, which finds its diary beside itself.
    file(RELATIVE_PATH target "/${nerina_bindir}" "/${nerina_programdir}/nerina")
    file(MAKE_DIRECTORY "${root}/${nerina_bindir}")
    file(CREATE_LINK "${target}" "${root}/${nerina_bindir}/nerina" SYMBOLIC)
    message(STATUS "Installing: ${root}/${nerina_bindir}/nerina -> ${target}")

    # The diary: made from the schema, private, and only where there is none (nerina_mkdb
    # leaves an existing file alone). It is left out of the install manifest, so that
    # nothing that reads the manifest removes it.
    set(diary "${root}/${nerina_programdir}/nerina.mdb")
    execute_process(COMMAND "$<TARGET_FILE:nerina_mkdb>" "${nerina_source}/data/schema.sql" "${diary}"
                    RESULT_VARIABLE made)
    if(NOT made EQUAL 0)
      message(FATAL_ERROR "Could not make the empty diary ${diary}")
    endif()
    message(STATUS "Diary: ${diary} (an empty one unless it was already there)")
  ]])
  return()
endif()

if(NOT CMAKE_INSTALL_PREFIX STREQUAL "/usr")
  message(FATAL_ERROR "The package installs into /usr: configure it with -DCMAKE_INSTALL_PREFIX=/usr")
endif()
set(NERINA_PROGRAM_PATH /usr/${NERINA_PROGRAM_DIR})
set(NERINA_SCHEMA_PATH /usr/share/nerina/schema.sql)
configure_file(data/package/nerina.in ${CMAKE_BINARY_DIR}/package/nerina @ONLY)

# Debian wants the manual page and the changelog compressed, without a time stamp.
set(NERINA_PACKAGE_DOCS ${CMAKE_BINARY_DIR}/package/nerina.1.gz ${CMAKE_BINARY_DIR}/package/changelog.gz)
add_custom_command(
  OUTPUT ${NERINA_PACKAGE_DOCS}
  COMMAND ${CMAKE_COMMAND} -E copy ${CMAKE_SOURCE_DIR}/data/nerina.1 ${CMAKE_SOURCE_DIR}/data/package/changelog
          ${CMAKE_BINARY_DIR}/package/
  COMMAND gzip -9nf ${CMAKE_BINARY_DIR}/package/nerina.1 ${CMAKE_BINARY_DIR}/package/changelog
  DEPENDS data/nerina.1 data/package/changelog
  VERBATIM)
add_custom_target(nerina_package_docs ALL DEPENDS ${NERINA_PACKAGE_DOCS})

install(TARGETS nerina nerina_mkdb RUNTIME DESTINATION ${NERINA_PROGRAM_DIR})
install(FILES data/schema.sql DESTINATION share/nerina)
install(PROGRAMS ${CMAKE_BINARY_DIR}/package/nerina DESTINATION ${CMAKE_INSTALL_BINDIR})
install(FILES ${CMAKE_BINARY_DIR}/package/nerina.1.gz DESTINATION share/man/man1)
install(FILES data/package/copyright ${CMAKE_BINARY_DIR}/package/changelog.gz DESTINATION share/doc/nerina)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME nerina)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
# The install code sees the final prefix, /usr, and stages under DESTDIR, so that nothing
# in the package names the build folder.
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
# The same as in the changelog (data/package/changelog).
set(CPACK_PACKAGE_CONTACT "Nerina's Diary maintainers <maintainers@nerina-diary.invalid>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "diary of the menstrual cycle by basal body temperature")
set(CPACK_PACKAGE_DESCRIPTION
    "A Japanese-language desktop diary for tracking the menstrual cycle by
basal body temperature: one entry a day (morning temperature, condition,
a one-line diary, period and intercourse marks), a 180-day list with the
fertile days marked, a printable temperature graph, a forecast of the
next period, a record of every cycle, and deletion of old entries.
Each user's diary lives in her own data folder; nothing is ever sent
over a network.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION misc)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The libraries it links, found by dpkg-shlibdeps, and what it loads only at run time: the
# SQLite driver, the toolkit's Japanese texts and a Japanese font.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, qt6-translations-l10n, fonts-ipafont-gothic | fonts-noto-cjk")
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                                                WORLD_READ WORLD_EXECUTE)
include(CPack)
