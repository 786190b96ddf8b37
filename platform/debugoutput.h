#ifndef PLATFORM_DEBUGOUTPUT_H
#define PLATFORM_DEBUGOUTPUT_H

// Diagnostics for developers, on standard error.
void debug_output(const char* szText);
// printf-style, formatted into a line of at most 255 characters.
void debug_printf(const char* szFormat, ...) __attribute__((format(printf, 1, 2)));

#endif
