# A language pack is a binary Qt resource file (LangEN.pak ...) built from
# resources/lang/<CODE>: every *.txt there is part of the string table, plus
# splash.png and the help pages under help/.
find_program(ZW_RCC rcc HINTS ${QT6_INSTALL_PREFIX}/${QT6_INSTALL_LIBEXECS} /usr/lib/qt6/libexec /usr/lib/qt6/bin REQUIRED)

function(zw_language_pack code)
  set(src_dir ${CMAKE_SOURCE_DIR}/resources/lang/${code})
  file(GLOB_RECURSE pack_files CONFIGURE_DEPENDS RELATIVE ${src_dir} ${src_dir}/*)
  list(FILTER pack_files EXCLUDE REGEX "(^|/)\\.")
  set(qrc ${CMAKE_CURRENT_BINARY_DIR}/Lang${code}.qrc)
  set(content "<RCC>\n  <qresource prefix=\"/\">\n")
  foreach(f IN LISTS pack_files)
    string(APPEND content "    <file alias=\"${f}\">${src_dir}/${f}</file>\n")
  endforeach()
  string(APPEND content "  </qresource>\n</RCC>\n")
  file(CONFIGURE OUTPUT ${qrc} CONTENT "${content}")
  list(TRANSFORM pack_files PREPEND ${src_dir}/ OUTPUT_VARIABLE deps)
  set(out ${ZW_BIN_DIR}/Lang${code}.pak)
  add_custom_command(OUTPUT ${out}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${ZW_BIN_DIR}
    COMMAND ${ZW_RCC} --binary -o ${out} ${qrc}
    DEPENDS ${deps} ${qrc}
    COMMENT "Building language pack Lang${code}.pak")
  add_custom_target(lang_${code} ALL DEPENDS ${out})
endfunction()
