#ifndef PLUGINS_VIDEO_VIDEOIMPORTC_H
#define PLUGINS_VIDEO_VIDEOIMPORTC_H

#include <cstdint>
#include <string>

#include "corelib/classdescc.h"
#include "corelib/graphicsimportablec.h"
#include "plugins/video/videotexturec.h"

class VideoReaderC;

// What fliksel's importables share: the whole file lives in memory, once;
// the document stores it, the reader decodes straight from it, and a
// requested frame becomes the current OpenGL texture of whichever effect
// shows it. A class says which files it takes and which reader decodes them.
class VideoImportC : public GraphicsImportableC {
 public:
  // Nothing: an importable is reloaded from its file instead.
  void copy(EditableC* pSource) override;
  // Shares the source's bytes, reader and texture.
  void restore(EditableC* pSource) override;
  // Chunk 0x1000 the file name, chunk 0x2000 the file's size and bytes.
  int32_t save(ChunkWriterC* pWriter) override;
  int32_t load(ChunkReaderC* pReader) override;

  const char* get_file_name() override;
  // False, with nothing changed, when the file cannot be read or is not of
  // the class's kind.
  bool load_file(const char* szPath, void* pOption) override;
  // Reason 2 drops the texture when the OpenGL device says its state is 2.
  void prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC* pTimeContext) override;
  // Valid until the next get_info of any of fliksel's importables.
  const char* get_info() override;
  int32_t get_duration(TimeBaseC* pTimeContext) override;
  float get_first_label(TimeBaseC* pTimeContext) override;
  float get_last_label(TimeBaseC* pTimeContext) override;
  ClassIdentC get_default_effect() override;

  int32_t get_width() override;
  int32_t get_height() override;
  int32_t get_data_width() override;
  int32_t get_bit_depth() override;
  void* get_data() override;
  // Only for the OpenGL device driver. Leaves the texture bound.
  void bind_texture(int32_t i32Frame, DeviceDriverBaseC* pDevice, uint32_t ui32Flags) override;
  int32_t get_first_frame() override;
  int32_t get_frame_count() override;
  float get_fps() override;

 protected:
  VideoImportC() = default;
  explicit VideoImportC(EditableC* pOriginal) : GraphicsImportableC(pOriginal) {}
  // A restore copy frees none of what it shares.
  ~VideoImportC() override;

  // A new reader of the class's kind, before parse.
  virtual VideoReaderC* make_reader() = 0;
  // A reader that has parsed the bytes of a file being imported, or null
  // when the class does not take that file.
  virtual VideoReaderC* import_reader(const uint8_t* pBytes, uint32_t ui32Size) = 0;

 private:
  int32_t load_file_bytes(ChunkReaderC* pReader);
  void report_problem() const;
  // Replaces bytes and reader by the given ones (either may be null).
  void take_file(uint8_t* pBytes, uint32_t ui32Size, VideoReaderC* pReader);

  // Repeated binds of one frame upload it once.
  VideoTextureC m_rTexture;
  std::string m_sFileName;
  uint8_t* m_pFileBytes = nullptr;
  uint32_t m_ui32FileSize = 0;
  VideoReaderC* m_pReader = nullptr;
};

// What the descriptors of fliksel's importables share: the family, the
// maker and the OpenGL device driver they need.
class VideoImportDescC : public PluginClass::ClassDescC {
 public:
  int32_t get_class_kind() override;
  SuperClassIdentC get_super_class_ident() override;
  const char* get_author() override;
  const char* get_copyright() override;
  const char* get_web_address() override;
  int32_t get_driver_requirement_count() override;
  const ClassIdentC* get_driver_requirement(int32_t i32Index) override;
};

#endif
