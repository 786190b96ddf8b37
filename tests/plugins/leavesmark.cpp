#include <cstdio>
#include <cstdlib>

// A library whose constructor leaves a file where TIRAVO_TEST_MARK names:
// proof that it was loaded, which runs its code before any export is looked
// at. It has no plug-in exports.
__attribute__((constructor)) static void leave_mark() {
  const char* szPath = std::getenv("TIRAVO_TEST_MARK");
  if (szPath == nullptr) {
    return;
  }
  if (std::FILE* pFile = std::fopen(szPath, "w")) {
    std::fputs("loaded\n", pFile);
    std::fclose(pFile);
  }
}
