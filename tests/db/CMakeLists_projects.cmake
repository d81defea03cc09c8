# Identifier sequences, the version check, project files and shared projects.
set(project_tests test_id_sequence test_version_check test_project_database test_shared_project_files
    test_project_file_copies test_output_file)
foreach(t IN LISTS project_tests)
  zw_add_test(${t} SOURCES ${t}.cpp db_test_support.h)
  add_dependencies(${t} reference_database)
endforeach()
zw_add_test(test_shared_project SOURCES test_shared_project.cpp pg_server.cpp pg_server.h db_test_support.h)
add_dependencies(test_shared_project reference_database)
zw_add_test(test_project_dialogs SOURCES test_project_dialogs.cpp db_test_support.h GUI)
add_dependencies(test_project_dialogs reference_database)
zw_add_test(test_project_database_tool SOURCES test_project_database_tool.cpp)
add_dependencies(test_project_database_tool zelnor-project)
