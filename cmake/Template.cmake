# Default.ENU, the template every new data file is copied from, made from the schema script.
add_executable(make_template ${PROJECT_SOURCE_DIR}/tools/MakeTemplate.cpp)
target_link_libraries(make_template PRIVATE carvelle_options SQLite::SQLite3)
set_target_properties(make_template PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/tools)

set(CARVELLE_TEMPLATE_FILE ${CMAKE_RUNTIME_OUTPUT_DIRECTORY}/Default.ENU)
add_custom_command(
  OUTPUT ${CARVELLE_TEMPLATE_FILE}
  COMMAND make_template ${PROJECT_SOURCE_DIR}/carvelle/resources/Default.sql ${CARVELLE_TEMPLATE_FILE}
  DEPENDS make_template ${PROJECT_SOURCE_DIR}/carvelle/resources/Default.sql
  COMMENT "Making the template data file Default.ENU"
  VERBATIM)
add_custom_target(carvelle_template ALL DEPENDS ${CARVELLE_TEMPLATE_FILE})
