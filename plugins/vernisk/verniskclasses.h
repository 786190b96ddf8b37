#ifndef PLUGINS_VERNISK_VERNISKCLASSES_H
#define PLUGINS_VERNISK_VERNISKCLASSES_H

#include "corelib/classidentc.h"

// The library's own classes. Like the system's identifiers, each translation
// unit holds its own copy. Documents store these: they never change.
static const ClassIdentC CLASS_IMAGE_IMPORT(0x408B22FD, 0xF07D86BE);
static const ClassIdentC CLASS_SHADER_IMPORT(0x73F7CB14, 0x45D374EB);
static const ClassIdentC CLASS_FONT_IMPORT(0xB75B81AE, 0xBFE598E0);
static const ClassIdentC CLASS_TEXT_IMPORT(0x34C58BAD, 0xB70B4F65);
static const ClassIdentC CLASS_SHADER_EFFECT(0xA9C9B681, 0x4032878A);
static const ClassIdentC CLASS_TEXT_EFFECT(0xA4E63084, 0x0C4F6F41);

// fliksel's effect, which shows images as it shows videos.
static const ClassIdentC CLASS_FLIKSEL_VIDEO_PLAYER(0x311832A9, 0x166D4653);

// The family of vernisk's importables that are no pictures: shaders, fonts
// and texts. Effects filter on it with the exact class.
static const SuperClassIdentC SUPERCLASS_IMPORTABLE = SUPERCLASS_0x02000000;

constexpr const char* IMAGE_IMPORT_CLASS_NAME = "Image";
constexpr const char* SHADER_IMPORT_CLASS_NAME = "Fragment Shader";
constexpr const char* FONT_IMPORT_CLASS_NAME = "Font";
constexpr const char* TEXT_IMPORT_CLASS_NAME = "Text File";
constexpr const char* SHADER_EFFECT_CLASS_NAME = "Shader";
constexpr const char* TEXT_EFFECT_CLASS_NAME = "Text";

// What every descriptor tells a user about its maker.
constexpr const char* VERNISK_AUTHOR = "The tiravo developers";
constexpr const char* VERNISK_COPYRIGHT = "Copyright (C) 2026 The tiravo developers";
constexpr const char* VERNISK_WEB_ADDRESS = "http://tiravo.example/vernisk/";

#endif
