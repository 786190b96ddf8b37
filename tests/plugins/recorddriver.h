#ifndef TESTS_PLUGINS_RECORDDRIVER_H
#define TESTS_PLUGINS_RECORDDRIVER_H

#include "corelib/classidentc.h"

// What recorddriver.so offers and prints.
static const ClassIdentC RECORD_DRIVER_CLASS(0x7E57D21F, 0x00000031);
constexpr const char* RECORD_DRIVER_CLASS_NAME = "Record Driver";
// printf format of the line init_device writes: mode, bits per pixel.
#define RECORD_DRIVER_LINE "Record Driver: mode %d, %d bits per pixel\n"

#endif
