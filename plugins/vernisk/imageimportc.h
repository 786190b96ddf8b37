#ifndef PLUGINS_VERNISK_IMAGEIMPORTC_H
#define PLUGINS_VERNISK_IMAGEIMPORTC_H

#include <cstdint>
#include <memory>

#include "corelib/graphicsimportablec.h"
#include "platform/imagedecoder.h"
#include "plugins/vernisk/storedfilec.h"
#include "plugins/video/videotexturec.h"

// An imported still picture (PNG, JPEG, WebP, BMP, TGA, TIFF, GIF's first
// frame): a video of one frame, shown at any time, by the Video Player as by
// the Shader effect's channels. Decoded once, when imported or loaded, into
// 32-bit RGBA with its alpha.
class ImageImportC : public GraphicsImportableC {
 public:
  static DataObjectC* make() { return new ImageImportC(); }

  DataObjectC* create() override { return make(); }
  EditableC* create_linked(EditableC* pOriginal) override { return new ImageImportC(pOriginal); }
  // Nothing: an importable is reloaded from its file instead.
  void copy(EditableC*) override {}
  void restore(EditableC* pSource) override;
  int32_t save(ChunkWriterC* pWriter) override { return m_rFile.save(pWriter); }
  int32_t load(ChunkReaderC* pReader) override;

  const char* get_file_name() override { return m_rFile.get_name().c_str(); }
  // False, with nothing changed, when the file is no picture we decode; the
  // reason goes to standard error.
  bool load_file(const char* szPath, void* pOption) override;
  void prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC* pTimeContext) override;
  ClassIdentC get_class_ident() override;
  const char* get_class_name() override;
  // Valid until the next get_info of this importable.
  const char* get_info() override;
  // A still has no length of its own: 0, -1 without a picture.
  int32_t get_duration(TimeBaseC* pTimeContext) override;
  float get_first_label(TimeBaseC*) override { return 0.0f; }
  float get_last_label(TimeBaseC*) override { return m_pImage ? 1.0f : 0.0f; }
  ClassIdentC get_default_effect() override;

  int32_t get_width() override { return m_pImage ? m_pImage->get_width() : 0; }
  int32_t get_height() override { return m_pImage ? m_pImage->get_height() : 0; }
  int32_t get_data_width() override { return get_width(); }
  // 32 when the picture has transparent pixels, 24 when it is opaque.
  int32_t get_bit_depth() override;
  void* get_data() override;
  // Every frame is the picture. Only for the OpenGL device driver; uploaded
  // once, leaves the texture bound.
  void bind_texture(int32_t i32Frame, DeviceDriverBaseC* pDevice, uint32_t ui32Flags) override;
  int32_t get_first_frame() override { return 0; }
  int32_t get_frame_count() override { return m_pImage ? 1 : 0; }
  // No rate: the Video Player then shows frame 0 whatever the time.
  float get_fps() override { return 0.0f; }

 protected:
  ImageImportC() = default;
  explicit ImageImportC(EditableC* pOriginal) : GraphicsImportableC(pOriginal) {}
  ~ImageImportC() override;

 private:
  // The picture of the stored bytes, or null with the reason on standard error.
  static std::shared_ptr<DecodedImageC> decode(const StoredFileC& rFile);

  StoredFileC m_rFile;
  std::shared_ptr<DecodedImageC> m_pImage;
  VideoTextureC m_rTexture;
  bool m_bTooLargeTold = false;
  char m_szInfo[128] = {};
};

#endif
