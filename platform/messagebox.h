#ifndef PLATFORM_MESSAGEBOX_H
#define PLATFORM_MESSAGEBOX_H

enum MessageIconE { MESSAGE_ICON_NONE, MESSAGE_ICON_ERROR };

// Writes the title and text to standard error, so headless runs and tests see
// them, and shows a box with an OK button when a display is available. Never
// blocks without a display.
void show_message_box(const char* szTitle, const char* szText, MessageIconE eIcon);

#endif
