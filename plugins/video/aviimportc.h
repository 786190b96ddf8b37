#ifndef PLUGINS_VIDEO_AVIIMPORTC_H
#define PLUGINS_VIDEO_AVIIMPORTC_H

#include <cstdint>

#include "plugins/video/videoimportc.h"

// An imported AVI file, decoded by AviReaderC.
class AviImportC : public VideoImportC {
 public:
  static AviImportC* make() { return new AviImportC(); }

  DataObjectC* create() override;
  EditableC* create_linked(EditableC* pOriginal) override;
  ClassIdentC get_class_ident() override;
  const char* get_class_name() override;

 protected:
  AviImportC() = default;
  explicit AviImportC(EditableC* pOriginal) : VideoImportC(pOriginal) {}
  ~AviImportC() override = default;

  VideoReaderC* make_reader() override;
  // Files that begin as AVI files do, whether or not a decoder is found.
  VideoReaderC* import_reader(const uint8_t* pBytes, uint32_t ui32Size) override;
};

class AviImportDescC : public VideoImportDescC {
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
