#ifndef PLATFORM_SOUNDLIBRARY_H
#define PLATFORM_SOUNDLIBRARY_H

#include <cstdint>

// The sound library the player streams its music with: files are decoded on
// a thread of their own and played through the audio device at 44100 Hz
// stereo. One library per program; every function is called from one thread.

// Error codes of sound_get_error(); the player knows their texts.
enum SoundErrorE : int32_t {
  SOUND_ERROR_NONE = 0,
  SOUND_ERROR_BUSY = 1,             // a call that must come before sound_init
  SOUND_ERROR_UNINITIALIZED = 2,    // a call that needs sound_init first
  SOUND_ERROR_INIT = 3,             // the output device cannot be opened
  SOUND_ERROR_ALLOCATED = 4,
  SOUND_ERROR_PLAY = 5,
  SOUND_ERROR_OUTPUT_FORMAT = 6,
  SOUND_ERROR_COOPERATIVE_LEVEL = 7,
  SOUND_ERROR_CREATE_BUFFER = 8,
  SOUND_ERROR_FILE_NOT_FOUND = 9,
  SOUND_ERROR_FILE_FORMAT = 10,     // no decoder for the file, or not audio
  SOUND_ERROR_FILE_BAD = 11,        // the file cannot be read or decoded
  SOUND_ERROR_MEMORY = 12,
  SOUND_ERROR_VERSION = 13,
  SOUND_ERROR_INVALID_PARAM = 14,
  SOUND_ERROR_NO_EAX = 15,
  SOUND_ERROR_NO_EAX2 = 16,
  SOUND_ERROR_CHANNEL_ALLOC = 17,
  SOUND_ERROR_RECORD = 18,
  SOUND_ERROR_MEDIAPLAYER = 19
};

// The output type and stream mode the player passes.
constexpr int32_t SOUND_OUTPUT_DEFAULT = 2;
constexpr uint32_t SOUND_STREAM_MODE = 0x0002002B;
// sound_stream_play on any free channel; sound_set_pan for unpanned stereo.
constexpr int32_t SOUND_FREE_CHANNEL = -1;
constexpr int32_t SOUND_PAN_STEREO = -1;

class SoundStreamC;

void sound_set_output(int32_t i32OutputType);
// Opens the audio device. False (with the error set) when it cannot be opened.
bool sound_init(int32_t i32MixRate, int32_t i32Channels, uint32_t ui32Flags);
// The last error, SOUND_ERROR_NONE when the last call succeeded.
int32_t sound_get_error();
// A stream of the named file, decoded ahead of play; null (with the error set)
// when the file cannot be opened or holds no audio it can decode.
SoundStreamC* sound_stream_open_file(const char* szFileName, uint32_t ui32Mode, int32_t i32Offset);
void sound_stream_close(SoundStreamC* pStream);
bool sound_stream_set_time(SoundStreamC* pStream, int32_t i32Ms);
// Starts the stream; returns the channel it plays on, -1 on failure.
int32_t sound_stream_play(int32_t i32Channel, SoundStreamC* pStream);
void sound_set_pan(int32_t i32Channel, int32_t i32Pan);
// Milliseconds of the stream that have been played: monotonic while playing.
// After the end of the file the silence played counts on, so a presentation
// longer than its music still comes to its end.
int32_t sound_stream_get_time(SoundStreamC* pStream);
void sound_stream_stop(SoundStreamC* pStream);
// Closes the audio device; streams still open are closed.
void sound_close();

#endif
