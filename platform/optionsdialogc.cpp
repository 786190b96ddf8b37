#include "platform/optionsdialogc.h"

#include "platform/optionsdialog.h"

bool OptionsDialogC::handle_message(uint32_t ui32Message, uint32_t ui32Param) {
  if (ui32Message == DIALOG_MESSAGE_INIT) {
    set_check(DIALOG_CONTROL_FULLSCREEN, DIALOG_CHECK_CHECKED);
    return true;
  }
  if (ui32Message == DIALOG_MESSAGE_COMMAND && (ui32Param >> 16) == DIALOG_NOTIFY_CLICKED) {
    int32_t i32Control = static_cast<int32_t>(ui32Param & 0xFFFFu);
    if (i32Control == DIALOG_CONTROL_HAPPY) {
      m_bFullscreen = get_check(DIALOG_CONTROL_FULLSCREEN) == DIALOG_CHECK_CHECKED;
      end(DIALOG_RESULT_HAPPY);
      return true;
    }
    if (i32Control == DIALOG_CONTROL_SAD) {
      end(DIALOG_RESULT_SAD);
      return true;
    }
  }
  return false;
}

uint32_t OptionsDialogC::get_check(int32_t i32Control) const {
  return i32Control == DIALOG_CONTROL_FULLSCREEN ? m_ui32FullscreenCheck : DIALOG_CHECK_UNCHECKED;
}

void OptionsDialogC::set_check(int32_t i32Control, uint32_t ui32State) {
  if (i32Control == DIALOG_CONTROL_FULLSCREEN) {
    m_ui32FullscreenCheck = ui32State;
  }
}

void OptionsDialogC::end(int32_t i32Result) {
  m_bEnded = true;
  m_i32Result = i32Result;
}
