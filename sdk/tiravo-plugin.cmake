# tiravo_add_plugin(NAME SOURCES...) makes NAME.so (no "lib" prefix), a
# plug-in library the player loads: a module with the object model linked in
# that exports the four functions of pluginexports.h and nothing else, with
# any linker (the version script beside this file).
function(tiravo_add_plugin name)
  add_library(${name} MODULE ${ARGN})
  set_target_properties(${name} PROPERTIES PREFIX "" POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden
                                           VISIBILITY_INLINES_HIDDEN ON)
  target_link_libraries(${name} PRIVATE tiravo::sdk)
  set(exports ${CMAKE_CURRENT_FUNCTION_LIST_DIR}/tiravo-plugin-exports.map)
  target_link_options(${name} PRIVATE "LINKER:--version-script=${exports}")
  set_property(TARGET ${name} APPEND PROPERTY LINK_DEPENDS ${exports})
  # Undefined symbols fail the link here rather than the player's load;
  # under a sanitizer the program brings the runtime that the module calls.
  get_directory_property(options COMPILE_OPTIONS)
  if(NOT "${options} ${CMAKE_CXX_FLAGS}" MATCHES "-fsanitize")
    target_link_options(${name} PRIVATE LINKER:--no-undefined)
  endif()
endfunction()
