#ifndef PLUGINS_VIDEO_MOVIEIMPORTC_H
#define PLUGINS_VIDEO_MOVIEIMPORTC_H

#include <cstdint>

#include "plugins/video/videoimportc.h"

// An imported movie file (MP4, MOV, Matroska, WebM, Ogg), decoded by
// MovieReaderC. Sources with alpha are uploaded with it, at bit depth 32.
class MovieImportC : public VideoImportC {
 public:
  static MovieImportC* make() { return new MovieImportC(); }

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  ClassIdentC get_class_ident() override;
  const char* get_class_name() override;

 protected:
  MovieImportC() = default;
  explicit MovieImportC(EditableC* pOriginal) : VideoImportC(pOriginal) {}
  ~MovieImportC() override = default;

  VideoReaderC* make_reader() override;
  // Files that libavformat opens as one of those containers and in which it
  // finds a video stream to decode.
  VideoReaderC* import_reader(const uint8_t* pBytes, uint32_t ui32Size) override;
};

class MovieImportDescC : public VideoImportDescC {
 public:
  DataObjectC* make_object() override;
  ClassIdentC get_class_ident() override;
  const char* get_class_name() override;
  const char* get_description() override;
  const char* get_help_location() override;
  int32_t get_extension_count() override;
  const char* get_extension(int32_t i32Index) override;
};

#endif
