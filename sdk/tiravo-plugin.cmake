# tiravo_add_plugin(NAME SOURCES... [INSTALL]) makes NAME.so (no "lib"
# prefix), a plug-in library the player loads: a module with the object model
# linked in that exports the four functions of pluginexports.h and nothing
# else, with any linker (the version script beside this file). With INSTALL,
# installing the project puts it into TIRAVO_PLUGIN_DIR, the folder the
# installed player searches (a -DTIRAVO_PLUGIN_DIR=... of one's own, such as
# ~/.local/share/tiravo/plugins, goes first).
function(tiravo_add_plugin name)
  cmake_parse_arguments(PARSE_ARGV 1 plugin "INSTALL" "" "")
  add_library(${name} MODULE ${plugin_UNPARSED_ARGUMENTS})
  set_target_properties(${name} PROPERTIES PREFIX "" POSITION_INDEPENDENT_CODE ON CXX_VISIBILITY_PRESET hidden
                                           VISIBILITY_INLINES_HIDDEN ON)
  # OpenGL comes with the SDK; a plug-in that makes no OpenGL call does not
  # keep the library as a dependency.
  target_link_options(${name} PRIVATE LINKER:--as-needed)
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
  if(plugin_INSTALL)
    install(TARGETS ${name} LIBRARY DESTINATION ${TIRAVO_PLUGIN_DIR})
  endif()
endfunction()
