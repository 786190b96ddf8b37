#include "plugins/video/movieimportc.h"

#include <iterator>

#include "plugins/video/flikselclasses.h"
#include "plugins/video/moviereaderc.h"

namespace {

const char* const MOVIE_EXTENSIONS[] = {"MP4", "MOV", "M4V", "MKV", "WEBM", "OGV", "3GP", "3G2"};

}  // namespace

DataObjectC* MovieImportC::create() {
  return new MovieImportC();
}

EditableC* MovieImportC::create_linked(EditableC* pOriginal) {
  return new MovieImportC(pOriginal);
}

ClassIdentC MovieImportC::get_class_ident() {
  return CLASS_MOVIE_IMPORT;
}

const char* MovieImportC::get_class_name() {
  return MOVIE_IMPORT_CLASS_NAME;
}

VideoReaderC* MovieImportC::make_reader() {
  return new MovieReaderC();
}

VideoReaderC* MovieImportC::import_reader(const uint8_t* pBytes, uint32_t ui32Size) {
  MovieReaderC* pReader = new MovieReaderC();
  pReader->parse(pBytes, ui32Size);
  if (!pReader->has_video()) {
    delete pReader;
    return nullptr;
  }
  return pReader;
}

DataObjectC* MovieImportDescC::make_object() {
  return MovieImportC::make();
}

ClassIdentC MovieImportDescC::get_class_ident() {
  return CLASS_MOVIE_IMPORT;
}

const char* MovieImportDescC::get_class_name() {
  return MOVIE_IMPORT_CLASS_NAME;
}

const char* MovieImportDescC::get_description() {
  return "Importer for MP4, MOV, 3GP, MKV, WebM and Ogg movies";
}

const char* MovieImportDescC::get_help_location() {
  return "res://Moviehelp.html";
}

int32_t MovieImportDescC::get_extension_count() {
  return static_cast<int32_t>(std::size(MOVIE_EXTENSIONS));
}

const char* MovieImportDescC::get_extension(int32_t i32Index) {
  return i32Index >= 0 && i32Index < get_extension_count() ? MOVIE_EXTENSIONS[i32Index] : nullptr;
}
