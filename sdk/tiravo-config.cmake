# find_package(tiravo): the SDK target tiravo::sdk and tiravo_add_plugin().
include(CMakeFindDependencyMacro)
find_dependency(OpenGL)
include("${CMAKE_CURRENT_LIST_DIR}/tiravo-targets.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/tiravo-plugin.cmake")
