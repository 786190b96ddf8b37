#ifndef PLAYER_PLAYERC_H
#define PLAYER_PLAYERC_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "corelib/classidentc.h"
#include "platform/filewatchc.h"
#include "registry/classregistryc.h"
#include "player/framesinkc.h"
#include "player/hostinterfacec.h"
#include "player/playbackclockc.h"
#include "player/presentationtime.h"
#include "player/transport.h"

class ChunkReaderC;
class DeviceDriverBaseC;
class DeviceTableC;
class ImportHandleC;
class ImportListC;
class MemoryFileC;
class SceneC;
class TimeBaseC;
struct WindowMessageS;

// What the player does beyond playing its document once from the start, for
// people making a presentation. Off by default: the player then plays as it
// always has.
struct PlaybackControlS {
  int32_t m_i32StartPosition = 0;  // ticks
  // Repeats [from, to) of the presentation until quit; the span as given,
  // found again in each reloaded version.
  bool m_bLoop = false;
  int32_t m_i32LoopFrom = 0;
  int32_t m_i32LoopTo = 0;
  PresentationSpanS m_rLoopSpan;
  // Keys pause and move the time; the window's title shows it.
  bool m_bTransport = false;
  // A change to the document, to a file it was built from, or to its music
  // reloads it; the window stays open at the end, holding the last frame.
  bool m_bWatch = false;
};

// Told of each frame once drawn, before it is shown: the graphics device is
// still active, so its picture can be read back.
class FrameObserverC {
 public:
  virtual ~FrameObserverC() = default;
  virtual void frame_drawn(int32_t i32FrameTime) = 0;
};

// The one player: it owns the document (scene, import list, device drivers),
// loads it through the class registry and plays it frame by frame.
class PlayerC {
 public:
  PlayerC() = default;
  PlayerC(const PlayerC&) = delete;
  PlayerC& operator=(const PlayerC&) = delete;
  // Releases the document before the registry unloads the plug-in libraries.
  virtual ~PlayerC();

  ClassRegistryC* get_class_registry() { return &m_rRegistry; }
  // Creates the device table.
  bool init(void* pInstance, bool bFullscreen);
  // Replaces the document by the file's, a document or a JSON description;
  // 0 on success, else the failing result code, after a "Load Error" box.
  // Needs init() first.
  int32_t load(const char* szFileName);
  // The top level of the document; 0 on success.
  int32_t load_document(ChunkReaderC* pReader);
  // Plays the document to its end time, or until the window asks to quit.
  // 0 after a normal end, -1 on failure.
  int32_t run();
  // While running: reads the document's file again and plays the new
  // document from the same time, in the same window. False, with *pError the
  // errors, when it does not load: the old document then plays on.
  bool reload(std::string* pError);
  void prepare_all(int32_t i32Reason);
  // Frames go to pRender instead of a shown window, timed by it; no music.
  void set_offline_render(FrameSinkC* pRender) { m_pRender = pRender; }
  void set_playback_control(const PlaybackControlS& rControl) { m_rControl = rControl; }
  void set_frame_observer(FrameObserverC* pObserver) { m_pObserver = pObserver; }
  PlaybackClockC* get_clock() { return &m_rClock; }

  SceneC* get_scene() { return m_pScene; }
  ImportListC* get_import_list() { return m_pImportList; }
  DeviceTableC* get_device_table() { return m_pDevices; }
  const std::string& get_music_file_name() const { return m_sMusicFileName; }
  // Whether the document was made from a JSON description.
  bool is_description() const { return m_bDescription; }

 private:
  // The document or description into the scene and the import list, and
  // the device table; the default driver only when asked for. 0, or the
  // failing result code with *pError the text to show.
  int32_t read_document_file(const char* szFileName, bool bWithDefaultDriver, std::string* pError);
  bool build_description(const char* szFileName, MemoryFileC* pDocument, std::string* pError);
  int32_t read_document_chunks(ChunkReaderC* pReader);
  int32_t load_importable(ChunkReaderC* pReader, std::vector<ImportHandleC*>* pHandles);
  int32_t load_device_driver(ChunkReaderC* pReader);
  void ensure_graphics_device(ChunkReaderC* pReader);

  bool init_graphics_devices();
  bool init_graphics_device(DeviceDriverBaseC* pDriver);
  OfflinePresentationS offline_presentation() const;
  int32_t read_clock_ms();
  int32_t read_frame_time();
  void play_frames(DeviceDriverBaseC* pDevice);
  // The time of the next frame: the clock's, or the loop's start once the
  // loop's end is reached.
  int32_t next_frame_time();
  void handle_transport_key(const WindowMessageS& rMessage);
  void seek_to(int32_t i32Time);
  // Pauses on the end frame; its time.
  int32_t hold_at_end();
  // The start of the presentation, or of the loop.
  int32_t home_time() const;
  void update_title(DeviceDriverBaseC* pDevice, int32_t i32FrameTime);
  void set_device_layout(DeviceDriverBaseC* pDriver);
  void reload_changed_document();
  void refresh_loop();
  std::vector<std::string> watched_files() const;
  void refresh_music();
  void draw_frame(DeviceDriverBaseC* pDevice, int32_t i32FrameTime);
  void draw_layers(int32_t i32FrameTime);
  void release_document();

  DeviceTableC* m_pDevices = nullptr;
  TimeBaseC* m_pTimeContext = nullptr;
  ImportListC* m_pImportList = nullptr;
  SceneC* m_pScene = nullptr;
  ClassRegistryC m_rRegistry;
  bool m_bFullscreen = false;
  std::string m_sMusicFileName;
  ClassIdentC m_rDefaultDriverClass;
  HostInterfaceC m_rHost;
  PlaybackClockC m_rClock;
  double m_f64TicksPerSecond = 0.0;
  void* m_pInstance = nullptr;
  FrameSinkC* m_pRender = nullptr;
  bool m_bDescription = false;
  std::string m_sDocumentFileName;
  // What the document was read from: its file, and the files a description imports.
  std::vector<std::string> m_rWatchedFiles;
  std::unique_ptr<FileWatchC> m_pWatch;
  PlaybackControlS m_rControl;
  FrameObserverC* m_pObserver = nullptr;
  bool m_bHeldAtEnd = false;
  TitleStateS m_rTitle;
  int64_t m_i64TitleMs = 0;
  int32_t m_i32TitleFrames = 0;
};

// Ticks per second of the scene's tempo: beats per minute × beat units × 256 / 60.
double scene_ticks_per_second(SceneC* pScene);
// Milliseconds as ticks, truncated toward zero and limited to the int32 range.
int32_t ms_to_ticks(int32_t i32Ms, double f64TicksPerSecond);
// The presentation's length: the first clock millisecond whose time in ticks
// (by ms_to_ticks, as the frame loop converts) is past i32EndTime, so the
// loop draws every time before it. -1 when no int32 millisecond gets there:
// a scene without a tempo, or one that ends at the largest tick.
int64_t presentation_end_ms(int32_t i32EndTime, double f64TicksPerSecond);

#endif
