#include "plugins/vernisk/imageimportc.h"

#include <GL/gl.h>

#include <cstdio>
#include <string>

#include "corelib/devicedriverbasec.h"
#include "corelib/devicetablec.h"
#include "docfile/chunkreaderc.h"
#include "platform/debugoutput.h"
#include "plugins/vernisk/verniskclasses.h"

namespace {

// Larger files than a picture of the largest size could need are refused
// before they are read.
constexpr uint32_t MAX_IMAGE_FILE_SIZE = uint32_t{512} << 20;

}  // namespace

ImageImportC::~ImageImportC() {
  if (!m_pOriginal) {
    m_rTexture.destroy();
  }
}

// The texture's contents may have changed since the source was taken: the
// next bind uploads again.
void ImageImportC::restore(EditableC* pSource) {
  ImageImportC* pImage = static_cast<ImageImportC*>(pSource);
  m_rFile = pImage->m_rFile;
  m_pImage = pImage->m_pImage;
  m_rTexture = pImage->m_rTexture;
  m_rTexture.forget();
}

std::shared_ptr<DecodedImageC> ImageImportC::decode(const StoredFileC& rFile) {
  auto pImage = std::make_shared<DecodedImageC>();
  std::string sError;
  if (!pImage->decode(rFile.get_data(), rFile.get_size(), &sError)) {
    debug_printf("Image %s cannot be shown: %s\n", rFile.get_name().c_str(), sError.c_str());
    return nullptr;
  }
  return pImage;
}

int32_t ImageImportC::load(ChunkReaderC* pReader) {
  return load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    bool bBytesRead = false;
    const int32_t i32Result = m_rFile.load_chunk(pReader, ui32Id, ui32Version, &bBytesRead);
    if (bBytesRead) {
      m_pImage = decode(m_rFile);
      m_rTexture.forget();
    }
    return i32Result;
  });
}

bool ImageImportC::load_file(const char* szPath, void*) {
  StoredFileC rFile;
  rFile.set(szPath ? szPath : "", StoredFileC::read_file(szPath, MAX_IMAGE_FILE_SIZE));
  if (!rFile.get_bytes()) {
    debug_printf("Image %s cannot be read\n", szPath ? szPath : "(none)");
    return false;
  }
  std::shared_ptr<DecodedImageC> pImage = decode(rFile);
  if (!pImage) {
    return false;
  }
  m_rFile = rFile;
  m_pImage = std::move(pImage);
  m_rTexture.forget();
  return true;
}

void ImageImportC::prepare(int32_t i32Reason, DeviceTableC* pDevices, TimeBaseC*) {
  if (i32Reason != PREPARE_REASON_DEVICE || !pDevices) {
    return;
  }
  DeviceDriverBaseC* pDevice = pDevices->find_by_class(CLASS_OPENGL_DEVICEDRIVER);
  if (pDevice && pDevice->get_state() == DEVICE_STATE_TEXTURES_LOST) {
    m_rTexture.destroy();
  }
}

ClassIdentC ImageImportC::get_class_ident() {
  return CLASS_IMAGE_IMPORT;
}

const char* ImageImportC::get_class_name() {
  return IMAGE_IMPORT_CLASS_NAME;
}

const char* ImageImportC::get_info() {
  if (m_pImage) {
    std::snprintf(m_szInfo, sizeof(m_szInfo), "%d x %d x %dBPP %s image", get_width(), get_height(),
                  get_bit_depth(), image_format_name(m_pImage->get_format()));
  } else {
    std::snprintf(m_szInfo, sizeof(m_szInfo), "No Image");
  }
  return m_szInfo;
}

int32_t ImageImportC::get_duration(TimeBaseC*) {
  return m_pImage ? 0 : -1;
}

ClassIdentC ImageImportC::get_default_effect() {
  return CLASS_FLIKSEL_VIDEO_PLAYER;
}

int32_t ImageImportC::get_bit_depth() {
  if (!m_pImage) {
    return 0;
  }
  return m_pImage->has_alpha() ? 32 : 24;
}

void* ImageImportC::get_data() {
  return m_pImage ? const_cast<uint8_t*>(m_pImage->get_pixels()) : nullptr;
}

// A picture larger than the driver's textures is said once and not drawn.
void ImageImportC::bind_texture(int32_t, DeviceDriverBaseC* pDevice, uint32_t ui32Flags) {
  if (!pDevice || pDevice->get_class_ident() != CLASS_OPENGL_DEVICEDRIVER) {
    return;
  }
  m_rTexture.bind(ui32Flags);
  if (!m_pImage || m_rTexture.holds(0)) {
    return;
  }
  GLint iMaxSize = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &iMaxSize);
  if (get_width() > iMaxSize || get_height() > iMaxSize) {
    if (!m_bTooLargeTold) {
      debug_printf("Image %s of %d x %d pixels is larger than the %d pixels OpenGL takes\n",
                   m_rFile.get_name().c_str(), get_width(), get_height(), iMaxSize);
      m_bTooLargeTold = true;
    }
    return;
  }
  m_rTexture.upload(0, m_pImage->get_pixels(), get_width(), get_height(), PICTURE_RGBA32);
}
