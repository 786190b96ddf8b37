#ifndef CORELIB_ASSERTION_H
#define CORELIB_ASSERTION_H

#include <cstdio>
#include <cstdlib>

// Index requirements of the object model are programming errors. Their texts
// are fixed, so the condition is checked as written in code and the fixed text
// is what gets reported.
[[noreturn]] inline void assertion_failed(const char* szText, const char* szFile, int iLine) {
  std::fprintf(stderr, "%s:%d: Assertion failed: %s\n", szFile, iLine, szText);
  std::abort();
}

#define REQUIRE_INDEX(condition, text) \
  ((condition) ? static_cast<void>(0) : assertion_failed(text, __FILE__, __LINE__))

// Texts of the index requirements.
constexpr const char* LAYER_INDEX_TEXT = "ui32Index >= 0 && ui32Index < m_rLayers.size()";
constexpr const char* TRIM_KEY_INDEX_TEXT = "i32Index >= 0 && i32Index < m_rTrimKeys.size()";
constexpr const char* VECTOR_INDEX_TEXT = "i >= 0 && i < 2";

#endif
