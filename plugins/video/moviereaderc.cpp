#include "plugins/video/moviereaderc.h"

void MovieReaderC::parse(const uint8_t* pData, uint32_t ui32Size) {
  m_pReadAhead.reset();
  m_sProblem.clear();
  m_pDecoder.reset(MovieDecoderC::open(pData, ui32Size, &m_sProblem));
}

// A frame that does not decode leaves the picture shown before as it was.
const uint8_t* MovieReaderC::get_frame(int32_t i32Frame) {
  if (!m_pDecoder) {
    return nullptr;
  }
  MovieDecoderC* pDecoder = m_pDecoder.get();
  if (!m_pReadAhead) {
    m_pReadAhead = std::make_unique<FrameReadAheadC>(
        [pDecoder](int32_t i32Wanted, uint8_t* pOut) { return pDecoder->decode_frame(i32Wanted, pOut); },
        pDecoder->get_frame_count(),
        [pDecoder] { return allocate_picture(pDecoder->get_width(), pDecoder->get_height(), MovieDecoderC::LAYOUT); },
        free_picture);
  }
  return m_pReadAhead->get(wrap_frame(i32Frame, pDecoder->get_frame_count()));
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
  return m_pDecoder->has_alpha() ? 32 : 24;
}

int32_t MovieReaderC::get_frame_count() {
  return m_pDecoder ? m_pDecoder->get_frame_count() : 0;
}

float MovieReaderC::get_fps() {
  return m_pDecoder ? static_cast<float>(m_pDecoder->get_fps()) : 0.0f;
}

const uint8_t* MovieReaderC::get_data() {
  return m_pReadAhead ? m_pReadAhead->get_data() : nullptr;
}

PictureLayoutE MovieReaderC::get_layout() {
  return MovieDecoderC::LAYOUT;
}
