#include "plugins/video/moviereaderc.h"

MovieReaderC::~MovieReaderC() {
  free_picture(m_pFrameBuffer);
}

void MovieReaderC::parse(const uint8_t* pData, uint32_t ui32Size) {
  free_picture(m_pFrameBuffer);
  m_pFrameBuffer = nullptr;
  m_i32LastFrame = -1;
  m_pDecoder.reset(MovieDecoderC::open(pData, ui32Size));
}

// A frame that does not decode leaves the buffer, and the frame it holds,
// as they were.
const uint8_t* MovieReaderC::get_frame(int32_t i32Frame) {
  if (!m_pDecoder) {
    return nullptr;
  }
  const int32_t i32Wanted = wrap_frame(i32Frame, m_pDecoder->get_frame_count());
  if (i32Wanted == m_i32LastFrame) {
    return m_pFrameBuffer;
  }
  if (m_pFrameBuffer == nullptr) {
    m_pFrameBuffer = allocate_picture(m_pDecoder->get_width(), m_pDecoder->get_height(), m_pDecoder->get_layout());
  }
  if (m_pFrameBuffer == nullptr || !m_pDecoder->decode_frame(i32Wanted, m_pFrameBuffer)) {
    return nullptr;
  }
  m_i32LastFrame = i32Wanted;
  return m_pFrameBuffer;
}

int32_t MovieReaderC::get_width() {
  return m_pDecoder ? m_pDecoder->get_width() : 0;
}

int32_t MovieReaderC::get_height() {
  return m_pDecoder ? m_pDecoder->get_height() : 0;
}

int32_t MovieReaderC::get_bit_depth() {
  if (!m_pDecoder) {
    return 0;
  }
  return m_pDecoder->get_layout() == PICTURE_BGRA32 ? 32 : 24;
}

int32_t MovieReaderC::get_frame_count() {
  return m_pDecoder ? m_pDecoder->get_frame_count() : 0;
}

float MovieReaderC::get_fps() {
  return m_pDecoder ? static_cast<float>(m_pDecoder->get_fps()) : 0.0f;
}

const uint8_t* MovieReaderC::get_data() {
  return m_i32LastFrame >= 0 ? m_pFrameBuffer : nullptr;
}

PictureLayoutE MovieReaderC::get_layout() {
  return m_pDecoder ? m_pDecoder->get_layout() : PICTURE_BGR24;
}
