#ifndef TESTS_SUPPORT_OPENGLPIN_H
#define TESTS_SUPPORT_OPENGLPIN_H

#include <dlfcn.h>
#include <link.h>

#include <string>

// Mesa keeps caches in its own globals for the life of the process and
// unloads its driver when SDL's video shuts down; LeakSanitizer then counts
// those caches as leaked, from code it can no longer name, so no suppression
// can match them. Keeping the OpenGL libraries loaded keeps the caches what
// they are: reachable. Call once an OpenGL context exists.
inline int pin_opengl_library(dl_phdr_info* pInfo, size_t, void*) {
  const std::string sName = pInfo->dlpi_name;
  for (const char* szPart : {"/dri/", "libEGL", "libGL", "libglapi", "libLLVM", "libgallium"}) {
    if (sName.find(szPart) != std::string::npos) {
      dlopen(sName.c_str(), RTLD_NOW | RTLD_NOLOAD | RTLD_NODELETE);
      break;
    }
  }
  return 0;
}

inline void pin_opengl_libraries() {
  dl_iterate_phdr(pin_opengl_library, nullptr);
}

#endif
