#ifndef PLATFORM_OPTIONSDIALOG_H
#define PLATFORM_OPTIONSDIALOG_H

#include <cstdint>

// Results of the options dialog.
constexpr int32_t DIALOG_RESULT_HAPPY = 1;
constexpr int32_t DIALOG_RESULT_SAD = 2;

// Control ids; a command message carries the id of its control.
constexpr int32_t DIALOG_CONTROL_HAPPY = 1;
constexpr int32_t DIALOG_CONTROL_SAD = 2;
constexpr int32_t DIALOG_CONTROL_FULLSCREEN = 1000;

// Shows the options dialog modally and returns its result: DIALOG_RESULT_HAPPY
// (Enter, or the "Happy" button), then *pFullscreen holds the check box, or
// DIALOG_RESULT_SAD (Escape, "Sad", or closing the window). Needs a display.
int32_t run_options_dialog(bool* pFullscreen);

#endif
