#include "plugins/video/videoimportc.h"

#include <sys/types.h>

#include <algorithm>
#include <cstdio>
#include <new>

#include "corelib/devicedriverbasec.h"
#include "corelib/devicetablec.h"
#include "corelib/importablechunks.h"
#include "corelib/timebasec.h"
#include "corelib/truncation.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "plugins/video/flikselclasses.h"
#include "plugins/video/videoreaderc.h"

namespace {

constexpr int32_t INFO_BUFFER_SIZE = 256;

// Shared by every importable of the library: get_info's text lives until the
// next call.
char g_szInfo[INFO_BUFFER_SIZE];

// The whole file in one new buffer, or null. Only files that a uint32 size
// can describe are taken, since that is what a document stores.
uint8_t* read_whole_file(const char* szPath, uint32_t* pSize) {
  FILE* pFile = std::fopen(szPath, "rb");
  if (!pFile) {
    return nullptr;
  }
  uint8_t* pBytes = nullptr;
  if (fseeko(pFile, 0, SEEK_END) == 0) {
    const off_t iSize = ftello(pFile);
    if (iSize > 0 && iSize <= static_cast<off_t>(UINT32_MAX) && fseeko(pFile, 0, SEEK_SET) == 0) {
      *pSize = static_cast<uint32_t>(iSize);
      pBytes = new (std::nothrow) uint8_t[*pSize];
      if (pBytes && std::fread(pBytes, 1, *pSize, pFile) != *pSize) {
        delete[] pBytes;
        pBytes = nullptr;
      }
    }
  }
  std::fclose(pFile);
  return pBytes;
}

}  // namespace

VideoImportC::~VideoImportC() {
  if (!m_pOriginal) {
    m_rTexture.destroy();
    take_file(nullptr, 0, nullptr);
  }
}

void VideoImportC::copy(EditableC*) {}

// The texture's contents may have changed since the source was taken, so the
// uploaded frame is not trusted: the next bind uploads again.
void VideoImportC::restore(EditableC* pSource) {
  VideoImportC* pImport = static_cast<VideoImportC*>(pSource);
  m_rTexture = pImport->m_rTexture;
  m_rTexture.forget();
  m_sFileName = pImport->m_sFileName;
  m_pFileBytes = pImport->m_pFileBytes;
  m_ui32FileSize = pImport->m_ui32FileSize;
  m_pReader = pImport->m_pReader;
}

int32_t VideoImportC::save(ChunkWriterC* pWriter) {
  pWriter->begin_chunk(IMPORTABLE_CHUNK_FILE_NAME, IMPORTABLE_CHUNK_VERSION);
  write_str_cut(pWriter, m_sFileName);
  pWriter->end_chunk();
  pWriter->begin_chunk(IMPORTABLE_CHUNK_FILE_BYTES, IMPORTABLE_CHUNK_VERSION);
  int32_t i32Result = pWriter->write(&m_ui32FileSize, sizeof(m_ui32FileSize));
  if (m_ui32FileSize > 0) {
    i32Result = pWriter->write(m_pFileBytes, m_ui32FileSize);
  }
  return first_failure(i32Result, pWriter->end_chunk());
}

int32_t VideoImportC::load(ChunkReaderC* pReader) {
  const int32_t i32Result = load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    if (ui32Version != IMPORTABLE_CHUNK_VERSION) {
      return CHUNK_OK;
    }
    if (ui32Id == IMPORTABLE_CHUNK_FILE_NAME) {
      char szName[CHUNK_STRING_BUFFER_SIZE];
      const int32_t i32Result = pReader->read_str(szName);
      m_sFileName = szName;
      return i32Result;
    }
    return ui32Id == IMPORTABLE_CHUNK_FILE_BYTES ? load_file_bytes(pReader) : CHUNK_OK;
  });
  report_problem();
  return i32Result;
}

// A video that cannot be shown stays black: the user is told which and why.
void VideoImportC::report_problem() const {
  if (m_pReader && !m_pReader->get_problem().empty()) {
    std::fprintf(stderr, "fliksel: the video %s cannot be played: %s\n",
                 m_sFileName.empty() ? "without a name" : m_sFileName.c_str(), m_pReader->get_problem().c_str());
  }
}

// The stored size is believed only as far as the chunk and the file hold
// bytes: a damaged size must not make us allocate gigabytes. What is there is
// read and parsed, so a damaged document still shows what the video kept,
// and the short read ends the load. The bytes are read straight into the
// buffer the reader then decodes from, so they exist once.
int32_t VideoImportC::load_file_bytes(ChunkReaderC* pReader) {
  take_file(nullptr, 0, nullptr);
  m_rTexture.forget();
  const uint32_t ui32ChunkSize = pReader->get_chunk_size();
  if (ui32ChunkSize < sizeof(uint32_t)) {
    return CHUNK_DAMAGED;
  }
  uint32_t ui32Size = 0;
  int32_t i32Result = pReader->read(&ui32Size, sizeof(ui32Size));
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  const uint32_t ui32Held =
      std::min({ui32Size, ui32ChunkSize - static_cast<uint32_t>(sizeof(uint32_t)), pReader->get_remaining_size()});
  uint8_t* pBytes = new (std::nothrow) uint8_t[ui32Held > 0 ? ui32Held : 1];
  if (!pBytes) {
    return CHUNK_DAMAGED;
  }
  i32Result = pReader->read(pBytes, ui32Held);
  if (i32Result != CHUNK_OK) {
    delete[] pBytes;
    return i32Result;
  }
  VideoReaderC* pVideoReader = make_reader();
  pVideoReader->parse(pBytes, ui32Held);
  take_file(pBytes, ui32Held, pVideoReader);
  return ui32Held < ui32Size ? CHUNK_DAMAGED : CHUNK_OK;
}

void VideoImportC::take_file(uint8_t* pBytes, uint32_t ui32Size, VideoReaderC* pReader) {
  // The reader borrows the bytes, so it goes first.
  delete m_pReader;
  m_pReader = pReader;
  delete[] m_pFileBytes;
  m_pFileBytes = pBytes;
  m_ui32FileSize = pBytes ? ui32Size : 0;
}

const char* VideoImportC::get_file_name() {
  return m_sFileName.c_str();
}

bool VideoImportC::load_file(const char* szPath, void*) {
  uint32_t ui32Size = 0;
  uint8_t* pBytes = szPath ? read_whole_file(szPath, &ui32Size) : nullptr;
  VideoReaderC* pReader = pBytes ? import_reader(pBytes, ui32Size) : nullptr;
  if (!pReader) {
    delete[] pBytes;
    return false;
  }
  take_file(pBytes, ui32Size, pReader);
  m_sFileName = szPath;
  m_rTexture.forget();
  report_problem();
  return true;
}

void VideoImportC::prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC*) {
  if (i32Reason != PREPARE_REASON_DEVICE || !pDevices) {
    return;
  }
  DeviceDriverBaseC* pDevice = pDevices->find_by_class(CLASS_OPENGL_DEVICEDRIVER);
  if (pDevice && pDevice->get_state() == DEVICE_STATE_TEXTURES_LOST) {
    m_rTexture.destroy();
  }
}

const char* VideoImportC::get_info() {
  if (m_pReader) {
    std::snprintf(g_szInfo, sizeof(g_szInfo), "%d x %d x %dBPP @ %.1f FPS", m_pReader->get_width(),
                  m_pReader->get_height(), m_pReader->get_bit_depth(), static_cast<double>(m_pReader->get_fps()));
  } else {
    std::snprintf(g_szInfo, sizeof(g_szInfo), "No Player");
  }
  return g_szInfo;
}

int32_t VideoImportC::get_duration(TimeBaseC* pTimeContext) {
  if (!m_pReader || !pTimeContext) {
    return -1;
  }
  return truncate_to_int32(pTimeContext->to_ticks(static_cast<double>(m_pReader->get_frame_count()),
                                               static_cast<double>(m_pReader->get_fps())));
}

float VideoImportC::get_first_label(TimeBaseC*) {
  return 0.0f;
}

float VideoImportC::get_last_label(TimeBaseC*) {
  return m_pReader ? static_cast<float>(m_pReader->get_frame_count()) : 0.0f;
}

ClassIdentC VideoImportC::get_default_effect() {
  return CLASS_VIDEO_PLAYER;
}

int32_t VideoImportC::get_width() {
  return m_pReader ? m_pReader->get_width() : 0;
}

int32_t VideoImportC::get_height() {
  return m_pReader ? m_pReader->get_height() : 0;
}

int32_t VideoImportC::get_data_width() {
  return m_pReader ? m_pReader->get_width() : 0;
}

int32_t VideoImportC::get_bit_depth() {
  return m_pReader ? m_pReader->get_bit_depth() : 0;
}

void* VideoImportC::get_data() {
  return m_pReader ? const_cast<uint8_t*>(m_pReader->get_data()) : nullptr;
}

// Sampling is set on every call, so effects showing one video may filter it
// differently; the picture is uploaded only when the frame changes.
void VideoImportC::bind_texture(int32_t i32Frame, DeviceDriverBaseC* pDevice, uint32_t ui32Flags) {
  if (!pDevice || pDevice->get_class_ident() != CLASS_OPENGL_DEVICEDRIVER) {
    return;
  }
  m_rTexture.bind(ui32Flags);
  if (!m_pReader || m_rTexture.holds(i32Frame)) {
    return;
  }
  const uint8_t* pPixels = m_pReader->get_frame(i32Frame);
  if (pPixels) {
    m_rTexture.upload(i32Frame, pPixels, m_pReader->get_width(), m_pReader->get_height(), m_pReader->get_layout());
  }
}

int32_t VideoImportC::get_first_frame() {
  return 0;
}

int32_t VideoImportC::get_frame_count() {
  return m_pReader ? m_pReader->get_frame_count() : 0;
}

float VideoImportC::get_fps() {
  return m_pReader ? m_pReader->get_fps() : 0.0f;
}

int32_t VideoImportDescC::get_class_kind() {
  return PluginClass::CLASS_KIND_IMPORTABLE;
}

SuperClassIdentC VideoImportDescC::get_super_class_ident() {
  return SUPERCLASS_VIDEO_IMPORTABLE;
}

const char* VideoImportDescC::get_author() {
  return FLIKSEL_AUTHOR;
}

const char* VideoImportDescC::get_copyright() {
  return FLIKSEL_COPYRIGHT;
}

const char* VideoImportDescC::get_web_address() {
  return FLIKSEL_WEB_ADDRESS;
}

int32_t VideoImportDescC::get_driver_requirement_count() {
  return 1;
}

const ClassIdentC* VideoImportDescC::get_driver_requirement(int32_t) {
  return &CLASS_OPENGL_DEVICEDRIVER;
}
