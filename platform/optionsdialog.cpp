#include "platform/optionsdialog.h"

#include <SDL2/SDL.h>

#include <cstdio>

#include "platform/display.h"
#include "platform/optionsdialogc.h"
#include "platform/optionsdialogwindow.h"

int32_t run_options_dialog(bool* pFullscreen) {
  // Without a display nobody could ever answer the dialog; leaving as "Sad" ends the
  // program instead of waiting for ever.
  if (!display_available()) {
    std::fprintf(stderr, "Options dialog: no display available.\n");
    return DIALOG_RESULT_SAD;
  }
  if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
    std::fprintf(stderr, "Options dialog: %s\n", SDL_GetError());
    return DIALOG_RESULT_SAD;
  }
  int32_t i32Result = DIALOG_RESULT_SAD;
  SDL_Window* pWindow = SDL_CreateWindow(
      "tiravo", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, dialog_units_to_pixels_x(OPTIONS_DIALOG_WIDTH_UNITS),
      dialog_units_to_pixels_y(OPTIONS_DIALOG_HEIGHT_UNITS), SDL_WINDOW_BORDERLESS | SDL_WINDOW_HIDDEN);
  SDL_Renderer* pRenderer = nullptr;
  if (pWindow != nullptr) {
    pRenderer = SDL_CreateRenderer(pWindow, -1, 0);
    if (pRenderer == nullptr) {
      pRenderer = SDL_CreateRenderer(pWindow, -1, SDL_RENDERER_SOFTWARE);
    }
  }
  if (pRenderer == nullptr) {
    std::fprintf(stderr, "Options dialog: %s\n", SDL_GetError());
  } else {
    OptionsDialogC rDialog;
    i32Result = run_options_dialog_in(pWindow, pRenderer, rDialog);
    if (i32Result == DIALOG_RESULT_HAPPY && pFullscreen != nullptr) {
      *pFullscreen = rDialog.get_fullscreen();
    }
    SDL_DestroyRenderer(pRenderer);
  }
  if (pWindow != nullptr) {
    SDL_DestroyWindow(pWindow);
  }
  SDL_QuitSubSystem(SDL_INIT_VIDEO);
  return i32Result;
}
