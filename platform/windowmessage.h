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
// Takes one message off the queue, if there is one.
bool peek_message(WindowMessageS* pMessage);
// Hands the message to the handler of its window, if it has one.
void dispatch_message(const WindowMessageS& rMessage);
// WINDOW_MESSAGE_QUIT for the quit message; 0 for every other message.
uint32_t get_message_id(const WindowMessageS& rMessage);
// Queues a message with the given id for the window.
void post_window_message(SDL_Window* pWindow, uint32_t ui32Id);

#endif
