#ifndef PLATFORM_SPLASH_H
#define PLATFORM_SPLASH_H

#include <SDL2/SDL.h>

#include <cstdint>

// The picture of the options dialog, drawn in code so the program carries no image
// files: a sunset over a grid with the program's name. i32CentreX is the column the
// composition is centred on, so a picture that its window clips on one side still
// looks balanced. The caller frees the surface; null when SDL cannot make one.
SDL_Surface* create_splash_surface(int32_t i32Width, int32_t i32Height, int32_t i32CentreX);

#endif
