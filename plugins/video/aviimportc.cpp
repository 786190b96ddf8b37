#include "plugins/video/aviimportc.h"

#include <cstring>

#include "plugins/video/avireaderc.h"
#include "plugins/video/flikselclasses.h"

namespace {

constexpr uint32_t AVI_HEADER_SIZE = 12;

bool is_avi_header(const uint8_t* pHeader) {
  return std::memcmp(pHeader, "RIFF", 4) == 0 && std::memcmp(pHeader + 8, "AVI ", 4) == 0;
}

}  // namespace

DataObjectC* AviImportC::create() {
  return new AviImportC();
}

EditableC* AviImportC::create_linked(EditableC* pOriginal) {
  return new AviImportC(pOriginal);
}

ClassIdentC AviImportC::get_class_ident() {
  return CLASS_AVI_IMPORT;
}

const char* AviImportC::get_class_name() {
  return AVI_IMPORT_CLASS_NAME;
}

VideoReaderC* AviImportC::make_reader() {
  return new AviReaderC();
}

VideoReaderC* AviImportC::import_reader(const uint8_t* pBytes, uint32_t ui32Size) {
  if (ui32Size < AVI_HEADER_SIZE || !is_avi_header(pBytes)) {
    return nullptr;
  }
  VideoReaderC* pReader = make_reader();
  pReader->parse(pBytes, ui32Size);
  return pReader;
}

DataObjectC* AviImportDescC::make_object() {
  return AviImportC::make();
}

ClassIdentC AviImportDescC::get_class_ident() {
  return CLASS_AVI_IMPORT;
}

const char* AviImportDescC::get_class_name() {
  return AVI_IMPORT_CLASS_NAME;
}

const char* AviImportDescC::get_description() {
  return "Importer for AVI animations";
}

const char* AviImportDescC::get_help_location() {
  return "res://AVIhelp.html";
}

int32_t AviImportDescC::get_extension_count() {
  return 1;
}

const char* AviImportDescC::get_extension(int32_t i32Index) {
  return i32Index == 0 ? "AVI" : nullptr;
}
