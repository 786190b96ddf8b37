#ifndef PLATFORM_OPTIONSDIALOGWINDOW_H
#define PLATFORM_OPTIONSDIALOGWINDOW_H

#include <SDL2/SDL.h>

#include <cstdint>

#include "platform/optionsdialogc.h"

// Dialog units are measured in the dialog's font: across, a quarter of its average
// character width; down, an eighth of its character height. Our bitmap font stands in
// for an 8-point font at 96 dpi: 6 pixels per character, 13 per line, so a dialog
// unit is 1.5 pixels across and 1.625 pixels down. Like the system's own mapping,
// every coordinate and size is converted on its own and rounded to the nearest pixel.
constexpr int32_t DIALOG_CHARACTER_WIDTH = 6;
constexpr int32_t DIALOG_CHARACTER_HEIGHT = 13;

int32_t dialog_units_to_pixels_x(int32_t i32Units);
int32_t dialog_units_to_pixels_y(int32_t i32Units);
// Converts a rectangle given in dialog units.
SDL_Rect dialog_units_to_pixels(const SDL_Rect& rUnits);

// The dialog's size in dialog units, and its controls.
constexpr int32_t OPTIONS_DIALOG_WIDTH_UNITS = 268;
constexpr int32_t OPTIONS_DIALOG_HEIGHT_UNITS = 176;

enum DialogControlKindE { DIALOG_KIND_PICTURE, DIALOG_KIND_CHECK_BOX, DIALOG_KIND_BUTTON, DIALOG_KIND_DEFAULT_BUTTON };

struct DialogControlS {
  int32_t m_i32Id;
  DialogControlKindE m_eKind;
  SDL_Rect m_rUnits;
  const char* m_szText;
};

constexpr int32_t OPTIONS_DIALOG_CONTROL_COUNT = 4;
extern const DialogControlS OPTIONS_DIALOG_CONTROLS[OPTIONS_DIALOG_CONTROL_COUNT];

// The options dialog's window: draws the dialog with an SDL renderer and turns SDL
// events into the messages of its OptionsDialogC. The renderer and the dialog are
// lent and must outlive this object.
class OptionsDialogWindowC {
 public:
  OptionsDialogWindowC(SDL_Renderer* pRenderer, OptionsDialogC& rDialog);
  ~OptionsDialogWindowC();
  OptionsDialogWindowC(const OptionsDialogWindowC&) = delete;
  OptionsDialogWindowC& operator=(const OptionsDialogWindowC&) = delete;

  // Draws the whole dialog; the caller presents it.
  void draw();
  void handle_event(const SDL_Event& rEvent);
  // Draws, waits for events and handles them until the dialog ends; returns its
  // result. A failure to wait for events ends the dialog as "Sad".
  int32_t run();

 private:
  int32_t control_at(int32_t i32X, int32_t i32Y) const;
  void move_focus(int32_t i32Step);
  // What a click on the control does: an auto check box toggles itself, and every
  // control then tells the procedure.
  void click(int32_t i32Control);
  void send_command(int32_t i32Control);

  void draw_button(const DialogControlS& rControl);
  void draw_check_box(const DialogControlS& rControl);
  void draw_focus(const SDL_Rect& rArea);

  SDL_Renderer* m_pRenderer;
  OptionsDialogC& m_rDialog;
  SDL_Texture* m_pSplash = nullptr;
  // Index into OPTIONS_DIALOG_CONTROLS of the control with the keyboard focus, of
  // the control the left mouse button went down on (-1: none), and of the control
  // under the mouse (-1: none).
  int32_t m_i32Focus;
  int32_t m_i32Pressed = -1;
  int32_t m_i32Hover = -1;
};

// The event loop of the dialog in a window that the caller made: sends the
// initialisation message, shows and runs the dialog. Returns its result.
int32_t run_options_dialog_in(SDL_Window* pWindow, SDL_Renderer* pRenderer, OptionsDialogC& rDialog);

#endif
