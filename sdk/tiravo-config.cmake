# find_package(tiravo): the SDK target tiravo::sdk and tiravo_add_plugin().
include(CMakeFindDependencyMacro)
# GLVND's libOpenGL, as the player's own plug-ins link it.
set(OpenGL_GL_PREFERENCE GLVND)
find_dependency(OpenGL COMPONENTS OpenGL)
include("${CMAKE_CURRENT_LIST_DIR}/tiravo-targets.cmake")
include("${CMAKE_CURRENT_LIST_DIR}/tiravo-plugin.cmake")
