#ifndef PLATFORM_WINDOWMESSAGE_H
#define PLATFORM_WINDOWMESSAGE_H

#include <SDL2/SDL.h>

#include <cstdint>

// Window messages of the output window. The player pumps them one at a time;
// the window's owner (the graphics device driver) handles them and posts the
// quit message when the presentation should end.

// The message that ends the presentation.
constexpr uint32_t WINDOW_MESSAGE_QUIT = 0x806E;

struct WindowMessageS {
  SDL_Event m_rEvent;
};

// The owner of a window, handed the window's messages by dispatch_message.
class WindowHandlerC {
 public:
  virtual ~WindowHandlerC() = default;
  virtual void handle_message(const SDL_Event& rEvent) = 0;
};

// From now on the window's messages go to pHandler; null detaches it. Works
// across the program and its plug-in libraries, which share SDL.
void attach_window_handler(SDL_Window* pWindow, WindowHandlerC* pHandler);
// Takes the next message of pWindow off the queue, if there is one. The
// messages of other windows, and those of no window, met on the way are
// dispatched as they come, so nothing piles up, but never returned: a quit
// message posted for another window is not pWindow's.
bool peek_message(SDL_Window* pWindow, WindowMessageS* pMessage);
// Hands the message to the handler of its window, if it has one.
void dispatch_message(const WindowMessageS& rMessage);
// WINDOW_MESSAGE_QUIT for the quit message; 0 for every other message.
uint32_t get_message_id(const WindowMessageS& rMessage);
// The keys that move a presentation's time.
enum WindowKeyE { WINDOW_KEY_NONE, WINDOW_KEY_SPACE, WINDOW_KEY_LEFT, WINDOW_KEY_RIGHT, WINDOW_KEY_PAGE_UP,
                  WINDOW_KEY_PAGE_DOWN, WINDOW_KEY_HOME };
// Which of them a key press is, and whether Shift was held; WINDOW_KEY_NONE
// for any other message. Held keys repeat, except Space.
WindowKeyE get_window_key(const WindowMessageS& rMessage, bool* pShift);
// The window's title; pWindow is what the device driver's get_window gives.
void set_window_title(void* pWindow, const char* szTitle);
// Queues a message with the given id for the window.
void post_window_message(SDL_Window* pWindow, uint32_t ui32Id);

#endif
