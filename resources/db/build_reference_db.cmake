# Runs the SQL files in order into a temporary database and renames it over
# the output only when every file went through, so that a failing file never
# leaves a half-built reference database behind.
set(temp ${OUTPUT}.tmp)
file(REMOVE ${temp} ${temp}-journal)
get_filename_component(out_dir ${OUTPUT} DIRECTORY)
file(MAKE_DIRECTORY ${out_dir})
foreach(sql IN LISTS SOURCES)
  execute_process(COMMAND ${SQLITE3} -bail ${temp}
    INPUT_FILE ${sql} RESULT_VARIABLE rc ERROR_VARIABLE err)
  if(NOT rc EQUAL 0 OR NOT err STREQUAL "")
    file(REMOVE ${temp})
    message(FATAL_ERROR "${sql}: ${err}")
  endif()
endforeach()
file(RENAME ${temp} ${OUTPUT})
