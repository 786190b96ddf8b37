#include "platform/optionsdialogwindow.h"

#include <algorithm>
#include <vector>

#include "platform/bitmapfont.h"
#include "platform/optionsdialog.h"
#include "platform/splash.h"

namespace {

constexpr int32_t NO_CONTROL = -1;
constexpr int32_t CHECK_BOX_SIZE = 13;
constexpr int32_t CHECK_BOX_TEXT_GAP = 4;

struct ColourS {
  uint8_t m_ui8Red;
  uint8_t m_ui8Green;
  uint8_t m_ui8Blue;
};

const ColourS FACE = {240, 240, 240};
const ColourS FRAME = {100, 100, 100};
const ColourS TEXT = {0, 0, 0};
const ColourS BUTTON_FACE = {225, 225, 225};
const ColourS BUTTON_EDGE = {173, 173, 173};
const ColourS HOT_FACE = {229, 241, 251};
const ColourS HOT_EDGE = {0, 120, 215};
const ColourS PRESSED_FACE = {204, 228, 247};
const ColourS PRESSED_EDGE = {0, 84, 153};
const ColourS BOX_FACE = {255, 255, 255};
const ColourS BOX_MARK = {51, 51, 51};

void set_colour(SDL_Renderer* pRenderer, const ColourS& rColour) {
  SDL_SetRenderDrawColor(pRenderer, rColour.m_ui8Red, rColour.m_ui8Green, rColour.m_ui8Blue, 255);
}

void fill(SDL_Renderer* pRenderer, const SDL_Rect& rRect, const ColourS& rColour) {
  set_colour(pRenderer, rColour);
  SDL_RenderFillRect(pRenderer, &rRect);
}

// An outline i32Thickness pixels wide inside the rectangle.
void outline(SDL_Renderer* pRenderer, const SDL_Rect& rRect, const ColourS& rColour, int32_t i32Thickness) {
  set_colour(pRenderer, rColour);
  for (int32_t i32Inset = 0; i32Inset < i32Thickness; ++i32Inset) {
    SDL_Rect rRing = {rRect.x + i32Inset, rRect.y + i32Inset, rRect.w - 2 * i32Inset, rRect.h - 2 * i32Inset};
    SDL_RenderDrawRect(pRenderer, &rRing);
  }
}

// Maps like the system does: the nearest pixel, halves rounded up.
int32_t scale_rounded(int32_t i32Units, int32_t i32Numerator, int32_t i32Denominator) {
  int32_t i32Scaled = i32Units * i32Numerator * 2;
  int32_t i32Twice = i32Denominator * 2;
  return i32Scaled >= 0 ? (i32Scaled + i32Denominator) / i32Twice : -((-i32Scaled + i32Denominator) / i32Twice);
}

bool takes_focus(const DialogControlS& rControl) { return rControl.m_eKind != DIALOG_KIND_PICTURE; }

bool is_button(const DialogControlS& rControl) {
  return rControl.m_eKind == DIALOG_KIND_BUTTON || rControl.m_eKind == DIALOG_KIND_DEFAULT_BUTTON;
}

}  // namespace

const DialogControlS OPTIONS_DIALOG_CONTROLS[OPTIONS_DIALOG_CONTROL_COUNT] = {
    {-1, DIALOG_KIND_PICTURE, {7, 7, 267, 149}, ""},
    {DIALOG_CONTROL_FULLSCREEN, DIALOG_KIND_CHECK_BOX, {5, 157, 50, 10}, "Fullscreen"},
    {DIALOG_CONTROL_HAPPY, DIALOG_KIND_DEFAULT_BUTTON, {165, 155, 45, 15}, "Happy"},
    {DIALOG_CONTROL_SAD, DIALOG_KIND_BUTTON, {215, 155, 45, 15}, "Sad"},
};

int32_t dialog_units_to_pixels_x(int32_t i32Units) { return scale_rounded(i32Units, DIALOG_CHARACTER_WIDTH, 4); }

int32_t dialog_units_to_pixels_y(int32_t i32Units) { return scale_rounded(i32Units, DIALOG_CHARACTER_HEIGHT, 8); }

SDL_Rect dialog_units_to_pixels(const SDL_Rect& rUnits) {
  return {dialog_units_to_pixels_x(rUnits.x), dialog_units_to_pixels_y(rUnits.y), dialog_units_to_pixels_x(rUnits.w),
          dialog_units_to_pixels_y(rUnits.h)};
}

OptionsDialogWindowC::OptionsDialogWindowC(SDL_Renderer* pRenderer, OptionsDialogC& rDialog)
    : m_pRenderer(pRenderer), m_rDialog(rDialog), m_i32Focus(NO_CONTROL) {
  move_focus(1);
  SDL_Rect rPicture = dialog_units_to_pixels(OPTIONS_DIALOG_CONTROLS[0].m_rUnits);
  // The picture reaches past the dialog's right edge; centre it on the part that shows.
  int32_t i32VisibleRight = std::min(rPicture.x + rPicture.w, dialog_units_to_pixels_x(OPTIONS_DIALOG_WIDTH_UNITS) - 1);
  SDL_Surface* pSurface = create_splash_surface(rPicture.w, rPicture.h, (i32VisibleRight - rPicture.x) / 2);
  if (pSurface != nullptr) {
    m_pSplash = SDL_CreateTextureFromSurface(m_pRenderer, pSurface);
    SDL_FreeSurface(pSurface);
  }
}

OptionsDialogWindowC::~OptionsDialogWindowC() {
  if (m_pSplash != nullptr) {
    SDL_DestroyTexture(m_pSplash);
  }
}

void OptionsDialogWindowC::draw() {
  SDL_Rect rDialog = {0, 0, dialog_units_to_pixels_x(OPTIONS_DIALOG_WIDTH_UNITS),
                      dialog_units_to_pixels_y(OPTIONS_DIALOG_HEIGHT_UNITS)};
  SDL_Rect rInside = {1, 1, rDialog.w - 2, rDialog.h - 2};
  SDL_RenderSetClipRect(m_pRenderer, nullptr);
  fill(m_pRenderer, rDialog, FACE);
  SDL_RenderSetClipRect(m_pRenderer, &rInside);
  for (const DialogControlS& rControl : OPTIONS_DIALOG_CONTROLS) {
    if (rControl.m_eKind == DIALOG_KIND_PICTURE) {
      if (m_pSplash != nullptr) {
        SDL_Rect rPicture = dialog_units_to_pixels(rControl.m_rUnits);
        SDL_RenderCopy(m_pRenderer, m_pSplash, nullptr, &rPicture);
      }
    } else if (rControl.m_eKind == DIALOG_KIND_CHECK_BOX) {
      draw_check_box(rControl);
    } else {
      draw_button(rControl);
    }
  }
  SDL_RenderSetClipRect(m_pRenderer, nullptr);
  // The thin border of a dialog without a caption.
  outline(m_pRenderer, rDialog, FRAME, 1);
}

void OptionsDialogWindowC::draw_button(const DialogControlS& rControl) {
  SDL_Rect rRect = dialog_units_to_pixels(rControl.m_rUnits);
  int32_t i32Index = static_cast<int32_t>(&rControl - OPTIONS_DIALOG_CONTROLS);
  bool bPressed = m_i32Pressed == i32Index && m_i32Hover == i32Index;
  bool bHot = m_i32Hover == i32Index && (m_i32Pressed == NO_CONTROL || bPressed);
  // The default button wears the heavy edge unless another button has the focus,
  // because Enter then goes to that one.
  bool bFocusOnButton = is_button(OPTIONS_DIALOG_CONTROLS[m_i32Focus]);
  bool bHeavy = m_i32Focus == i32Index || (rControl.m_eKind == DIALOG_KIND_DEFAULT_BUTTON && !bFocusOnButton);

  fill(m_pRenderer, rRect, bPressed ? PRESSED_FACE : bHot ? HOT_FACE : BUTTON_FACE);
  const ColourS& rEdge = bPressed ? PRESSED_EDGE : (bHot || bHeavy) ? HOT_EDGE : BUTTON_EDGE;
  outline(m_pRenderer, rRect, rEdge, bHeavy ? 2 : 1);

  int32_t i32TextWidth = bitmap_font_text_width(rControl.m_szText, 1);
  int32_t i32TextX = rRect.x + (rRect.w - i32TextWidth) / 2;
  int32_t i32TextY = rRect.y + (rRect.h - (BITMAP_FONT_GLYPH_HEIGHT - 1)) / 2;
  set_colour(m_pRenderer, TEXT);
  bitmap_font_draw(m_pRenderer, i32TextX, i32TextY, rControl.m_szText, 1);
  if (m_i32Focus == i32Index) {
    draw_focus({rRect.x + 3, rRect.y + 3, rRect.w - 6, rRect.h - 6});
  }
}

void OptionsDialogWindowC::draw_check_box(const DialogControlS& rControl) {
  SDL_Rect rRect = dialog_units_to_pixels(rControl.m_rUnits);
  int32_t i32Index = static_cast<int32_t>(&rControl - OPTIONS_DIALOG_CONTROLS);
  bool bPressed = m_i32Pressed == i32Index && m_i32Hover == i32Index;
  bool bHot = m_i32Hover == i32Index && (m_i32Pressed == NO_CONTROL || bPressed);

  SDL_Rect rBox = {rRect.x, rRect.y + (rRect.h - CHECK_BOX_SIZE) / 2, CHECK_BOX_SIZE, CHECK_BOX_SIZE};
  fill(m_pRenderer, rBox, bPressed ? PRESSED_FACE : BOX_FACE);
  outline(m_pRenderer, rBox, bHot ? HOT_EDGE : BOX_MARK, 1);

  uint32_t ui32State = m_rDialog.get_check(rControl.m_i32Id);
  set_colour(m_pRenderer, BOX_MARK);
  if (ui32State == DIALOG_CHECK_CHECKED) {
    // A tick two pixels thick.
    for (int32_t i32Offset = 0; i32Offset < 2; ++i32Offset) {
      SDL_Point rTick[3] = {{rBox.x + 3, rBox.y + 5 + i32Offset},
                            {rBox.x + 5, rBox.y + 7 + i32Offset},
                            {rBox.x + 9, rBox.y + 3 + i32Offset}};
      SDL_RenderDrawLines(m_pRenderer, rTick, 3);
    }
  } else if (ui32State == DIALOG_CHECK_INDETERMINATE) {
    SDL_Rect rMark = {rBox.x + 3, rBox.y + 3, CHECK_BOX_SIZE - 6, CHECK_BOX_SIZE - 6};
    SDL_RenderFillRect(m_pRenderer, &rMark);
  }

  int32_t i32TextX = rBox.x + CHECK_BOX_SIZE + CHECK_BOX_TEXT_GAP;
  int32_t i32TextY = rRect.y + (rRect.h - (BITMAP_FONT_GLYPH_HEIGHT - 1)) / 2;
  set_colour(m_pRenderer, TEXT);
  bitmap_font_draw(m_pRenderer, i32TextX, i32TextY, rControl.m_szText, 1);
  if (m_i32Focus == i32Index) {
    draw_focus(
        {i32TextX - 2, i32TextY - 2, bitmap_font_text_width(rControl.m_szText, 1) + 4, BITMAP_FONT_GLYPH_HEIGHT + 3});
  }
}

void OptionsDialogWindowC::draw_focus(const SDL_Rect& rArea) {
  // Every other pixel of the rectangle's edge, the usual dotted focus frame.
  std::vector<SDL_Point> rDots;
  for (int32_t i32X = rArea.x; i32X < rArea.x + rArea.w; i32X += 2) {
    rDots.push_back({i32X, rArea.y});
    rDots.push_back({i32X, rArea.y + rArea.h - 1});
  }
  for (int32_t i32Y = rArea.y; i32Y < rArea.y + rArea.h; i32Y += 2) {
    rDots.push_back({rArea.x, i32Y});
    rDots.push_back({rArea.x + rArea.w - 1, i32Y});
  }
  set_colour(m_pRenderer, TEXT);
  SDL_RenderDrawPoints(m_pRenderer, rDots.data(), static_cast<int>(rDots.size()));
}

int32_t OptionsDialogWindowC::control_at(int32_t i32X, int32_t i32Y) const {
  SDL_Point rPoint = {i32X, i32Y};
  for (int32_t i32Index = 0; i32Index < OPTIONS_DIALOG_CONTROL_COUNT; ++i32Index) {
    const DialogControlS& rControl = OPTIONS_DIALOG_CONTROLS[i32Index];
    SDL_Rect rRect = dialog_units_to_pixels(rControl.m_rUnits);
    if (takes_focus(rControl) && SDL_PointInRect(&rPoint, &rRect)) {
      return i32Index;
    }
  }
  return NO_CONTROL;
}

void OptionsDialogWindowC::move_focus(int32_t i32Step) {
  int32_t i32Index = m_i32Focus == NO_CONTROL ? (i32Step > 0 ? -1 : 0) : m_i32Focus;
  do {
    i32Index = (i32Index + i32Step + OPTIONS_DIALOG_CONTROL_COUNT) % OPTIONS_DIALOG_CONTROL_COUNT;
  } while (!takes_focus(OPTIONS_DIALOG_CONTROLS[i32Index]));
  m_i32Focus = i32Index;
}

void OptionsDialogWindowC::click(int32_t i32Control) {
  if (i32Control == DIALOG_CONTROL_FULLSCREEN) {
    bool bChecked = m_rDialog.get_check(i32Control) == DIALOG_CHECK_CHECKED;
    m_rDialog.set_check(i32Control, bChecked ? DIALOG_CHECK_UNCHECKED : DIALOG_CHECK_CHECKED);
  }
  send_command(i32Control);
}

void OptionsDialogWindowC::send_command(int32_t i32Control) {
  m_rDialog.handle_message(DIALOG_MESSAGE_COMMAND, make_command_param(i32Control, DIALOG_NOTIFY_CLICKED));
}

void OptionsDialogWindowC::handle_event(const SDL_Event& rEvent) {
  switch (rEvent.type) {
    case SDL_QUIT:
      send_command(DIALOG_CONTROL_SAD);
      break;
    case SDL_WINDOWEVENT:
      if (rEvent.window.event == SDL_WINDOWEVENT_CLOSE) {
        send_command(DIALOG_CONTROL_SAD);
      } else if (rEvent.window.event == SDL_WINDOWEVENT_LEAVE) {
        m_i32Hover = NO_CONTROL;
      }
      break;
    case SDL_KEYDOWN:
      switch (rEvent.key.keysym.sym) {
        case SDLK_RETURN:
        case SDLK_KP_ENTER: {
          // A focused button takes Enter; otherwise the default button does.
          const DialogControlS& rFocus = OPTIONS_DIALOG_CONTROLS[m_i32Focus];
          send_command(is_button(rFocus) ? rFocus.m_i32Id : DIALOG_CONTROL_HAPPY);
          break;
        }
        case SDLK_ESCAPE:
          send_command(DIALOG_CONTROL_SAD);
          break;
        case SDLK_SPACE:
          if (rEvent.key.repeat == 0) {
            click(OPTIONS_DIALOG_CONTROLS[m_i32Focus].m_i32Id);
          }
          break;
        case SDLK_TAB:
          move_focus((rEvent.key.keysym.mod & KMOD_SHIFT) != 0 ? -1 : 1);
          break;
        default:
          break;
      }
      break;
    case SDL_MOUSEMOTION:
      m_i32Hover = control_at(rEvent.motion.x, rEvent.motion.y);
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (rEvent.button.button == SDL_BUTTON_LEFT) {
        m_i32Hover = control_at(rEvent.button.x, rEvent.button.y);
        m_i32Pressed = m_i32Hover;
        if (m_i32Pressed != NO_CONTROL) {
          m_i32Focus = m_i32Pressed;
        }
      }
      break;
    case SDL_MOUSEBUTTONUP:
      if (rEvent.button.button == SDL_BUTTON_LEFT && m_i32Pressed != NO_CONTROL) {
        int32_t i32Pressed = m_i32Pressed;
        m_i32Pressed = NO_CONTROL;
        // Like a real button: letting go outside the control cancels the click.
        if (control_at(rEvent.button.x, rEvent.button.y) == i32Pressed) {
          click(OPTIONS_DIALOG_CONTROLS[i32Pressed].m_i32Id);
        }
      }
      break;
    default:
      break;
  }
}

int32_t OptionsDialogWindowC::run() {
  while (!m_rDialog.is_ended()) {
    draw();
    SDL_RenderPresent(m_pRenderer);
    SDL_Event rEvent;
    if (SDL_WaitEvent(&rEvent) == 0) {
      send_command(DIALOG_CONTROL_SAD);
      break;
    }
    handle_event(rEvent);
  }
  return m_rDialog.get_result();
}

int32_t run_options_dialog_in(SDL_Window* pWindow, SDL_Renderer* pRenderer, OptionsDialogC& rDialog) {
  rDialog.handle_message(DIALOG_MESSAGE_INIT, 0);
  OptionsDialogWindowC rWindow(pRenderer, rDialog);
  SDL_ShowWindow(pWindow);
  SDL_RaiseWindow(pWindow);
  return rWindow.run();
}
