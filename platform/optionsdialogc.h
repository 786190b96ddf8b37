#ifndef PLATFORM_OPTIONSDIALOGC_H
#define PLATFORM_OPTIONSDIALOGC_H

#include <cstdint>

// Messages the options dialog's window hands to its procedure.
constexpr uint32_t DIALOG_MESSAGE_INIT = 1;
// The parameter carries the control id in the low word and the control's
// notification code in the high word (see make_command_param).
constexpr uint32_t DIALOG_MESSAGE_COMMAND = 2;

// Notification code of a control that was clicked (or activated from the keyboard).
constexpr uint32_t DIALOG_NOTIFY_CLICKED = 0;

// States of a check box; only the exact checked state counts as checked.
constexpr uint32_t DIALOG_CHECK_UNCHECKED = 0;
constexpr uint32_t DIALOG_CHECK_CHECKED = 1;
constexpr uint32_t DIALOG_CHECK_INDETERMINATE = 2;

constexpr uint32_t make_command_param(int32_t i32Control, uint32_t ui32Code) {
  return (ui32Code << 16) | (static_cast<uint32_t>(i32Control) & 0xFFFFu);
}

// The options dialog without its window: the state of its check box, the dialog
// procedure and the way the dialog ended. The window code turns the user's input
// into messages for handle_message and ends its loop once is_ended() holds.
class OptionsDialogC {
 public:
  // The dialog procedure: true when it handled the message.
  bool handle_message(uint32_t ui32Message, uint32_t ui32Param);

  uint32_t get_check(int32_t i32Control) const;
  void set_check(int32_t i32Control, uint32_t ui32State);

  bool is_ended() const { return m_bEnded; }
  // The value the dialog ended with; 0 while it runs.
  int32_t get_result() const { return m_i32Result; }
  // The fullscreen choice stored when "Happy" was pressed; false before.
  bool get_fullscreen() const { return m_bFullscreen; }

 private:
  void end(int32_t i32Result);

  uint32_t m_ui32FullscreenCheck = DIALOG_CHECK_UNCHECKED;
  bool m_bFullscreen = false;
  bool m_bEnded = false;
  int32_t m_i32Result = 0;
};

#endif
