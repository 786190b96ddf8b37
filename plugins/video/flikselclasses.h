#ifndef PLUGINS_VIDEO_FLIKSELCLASSES_H
#define PLUGINS_VIDEO_FLIKSELCLASSES_H

#include "corelib/classidentc.h"

// The library's own classes. Like the system's identifiers, each translation
// unit holds its own copy.
static const ClassIdentC CLASS_AVI_IMPORT(0x221CA738, 0x431A45BA);
static const ClassIdentC CLASS_VIDEO_PLAYER(0x311832A9, 0x166D4653);
static const ClassIdentC CLASS_MOVIE_IMPORT(0x5C3E91D4, 0x27B8A06F);

constexpr const char* AVI_IMPORT_CLASS_NAME = "AVI Animation";
constexpr const char* VIDEO_PLAYER_CLASS_NAME = "Video Player";
constexpr const char* MOVIE_IMPORT_CLASS_NAME = "Movie";

// What both descriptors tell a user about their maker.
constexpr const char* FLIKSEL_AUTHOR = "The tiravo developers";
constexpr const char* FLIKSEL_COPYRIGHT = "Copyright (C) 2000 The tiravo developers";
constexpr const char* FLIKSEL_WEB_ADDRESS = "http://tiravo.example/fliksel/";

#endif
