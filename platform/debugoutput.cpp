#include "platform/debugoutput.h"

#include <cstdarg>
#include <cstdio>

namespace {

constexpr size_t DEBUG_LINE_SIZE = 256;  // 255 characters and the terminator

}  // namespace

void debug_output(const char* szText) {
  std::fputs(szText, stderr);
  std::fflush(stderr);
}

void debug_printf(const char* szFormat, ...) {
  char szLine[DEBUG_LINE_SIZE];
  va_list rArguments;
  va_start(rArguments, szFormat);
  std::vsnprintf(szLine, sizeof(szLine), szFormat, rArguments);
  va_end(rArguments);
  debug_output(szLine);
}
