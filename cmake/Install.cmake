# Installed, the programs sit in bin and what sat beside the program in the
# build folder (language packs, reference database, report logos, guides)
# in share/zelnor-wizard, where AppPaths::shareDirectory() finds it from bin.
# Installing builds nothing: the install and package commands take the build
# folder as it is, so packaging a test build does not build its tests first.
set(CMAKE_SKIP_INSTALL_ALL_DEPENDENCY TRUE)
set(installed_programs zelnor-wizard zelnorctl zelnor-project zelnor-simulator zelnor-linkwatch)
install(TARGETS ${installed_programs} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
# Stripped (the package's install), the programs also lose the compiler's
# .comment and .note sections, as Debian's own packages do.
install(CODE "
  if(CMAKE_INSTALL_DO_STRIP)
    foreach(program ${installed_programs})
      execute_process(COMMAND \"${CMAKE_OBJCOPY}\" --remove-section=.comment --remove-section=.note
                      \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/\${program}\"
                      COMMAND_ERROR_IS_FATAL ANY)
    endforeach()
  endif()")
if(ZW_SHARED_LIBS)
  install(TARGETS zelnor_core zelnor_gui LIBRARY DESTINATION ${ZW_LIBRARY_DIR})
endif()

set(ZW_SHARE_DIR ${CMAKE_INSTALL_DATADIR}/zelnor-wizard)
set(shared_files ${ZW_BIN_DIR}/zelnor-wizard.vor ${ZW_BIN_DIR}/brakwell_logo.bmp ${ZW_BIN_DIR}/zelnor_logo.bmp)
foreach(code EN GE FR RU SP)
  list(APPEND shared_files ${ZW_BIN_DIR}/Lang${code}.pak)
endforeach()
foreach(code EN GE FR RU ES)
  list(APPEND shared_files "${ZW_BIN_DIR}/Readme!_${code}.pdf")
endforeach()
install(FILES ${shared_files} DESTINATION ${ZW_SHARE_DIR})

add_subdirectory(packaging)

# The Debian package (scripts/package.sh): its dependencies are the shared
# libraries the programs link, as dpkg-shlibdeps finds them (libxlsxwriter4
# and libzip4, for instrument lists as workbooks, among them), plus the Qt
# plugins they load by name.
set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME zelnor-wizard)
set(CPACK_PACKAGE_VERSION ${ZW_PRODUCT_VERSION})
set(CPACK_PACKAGE_VENDOR Zelnor)
set(CPACK_PACKAGE_CONTACT "Zelnor Wizard maintainers <maintainers@zelnor.example.com>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "configuration tool for isolator and transmitter modules")
set(CPACK_PACKAGE_DESCRIPTION
    "Zelnor Wizard configures intrinsically-safe isolator and transmitter modules
of the families 7230, 7210 and 7220 over a serial port: a project database of
plants, cabinets, carriers and modules, upload, download and comparison of a
module's parameters, live values, printed documentation and five languages.
.
The package holds the program, the command-line tool zelnorctl, the module
simulator and zelnor-project, which puts a project onto a PostgreSQL server.")
set(CPACK_STRIP_FILES ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION electronics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, fonts-liberation2")
# Qt's own translations give the standard buttons (Yes, No, Cancel) the chosen language.
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "libqt6sql6-psql, qt6-wayland, qt6-translations-l10n")
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS OFF)
include(CPack)
