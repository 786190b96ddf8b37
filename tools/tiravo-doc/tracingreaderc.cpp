#include "tools/tiravo-doc/tracingreaderc.h"

#include <algorithm>

TracingReaderC::TracingReaderC(ClassRegistryC* pRegistry) : ChunkReaderC(pRegistry) {}

int32_t TracingReaderC::open(const char* szFileName, const char* szSignature, int32_t i32SignatureLength) {
  const int32_t i32Result = ChunkReaderC::open(szFileName, szSignature, i32SignatureLength);
  if (i32Result == CHUNK_OK) {
    m_i64FileSize = i32SignatureLength + static_cast<int64_t>(get_remaining_size());
  }
  return i32Result;
}

int64_t TracingReaderC::position() {
  return m_i64FileSize - static_cast<int64_t>(get_remaining_size());
}

int32_t TracingReaderC::open_chunk() {
  const int32_t i32Result = ChunkReaderC::open_chunk();
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  const uint32_t ui32Id = get_chunk_id();
  const uint32_t ui32Version = get_chunk_version();
  const int32_t i32Ordinal = next_ordinal(ui32Id, ui32Version);
  if (!m_rFrames.empty()) {
    m_rFrames.back().m_bTouched = true;
  }
  FrameS rFrame;
  rFrame.m_rStep = ChunkStepS{ui32Id, ui32Version, i32Ordinal};
  rFrame.m_i64PayloadStart = position();
  rFrame.m_i64PayloadEnd = rFrame.m_i64PayloadStart + get_chunk_size();
  rFrame.m_i64Reached = rFrame.m_i64PayloadStart;
  m_rFrames.push_back(rFrame);
  return CHUNK_OK;
}

int32_t TracingReaderC::next_ordinal(uint32_t ui32Id, uint32_t ui32Version) {
  std::vector<ChunkStepS>& rCounts = m_rFrames.empty() ? m_rTopChildren : m_rFrames.back().m_rChildren;
  for (ChunkStepS& rCount : rCounts) {
    if (rCount.m_ui32Id == ui32Id && rCount.m_ui32Version == ui32Version) {
      return rCount.m_i32Ordinal++;
    }
  }
  rCounts.push_back(ChunkStepS{ui32Id, ui32Version, 1});
  return 0;
}

// close_chunk leaves through this too. A chunk stays open when the sticky
// error refuses to leave it, and is then not judged.
int32_t TracingReaderC::leave_chunk() {
  const int32_t i32Depth = get_chunk_depth();
  const int32_t i32Result = ChunkReaderC::leave_chunk();
  if (get_chunk_depth() == i32Depth || m_rFrames.empty()) {
    return i32Result;
  }
  FrameS rFrame = m_rFrames.back();
  check_frame(rFrame);
  m_rFrames.pop_back();
  if (!m_rFrames.empty()) {
    FrameS& rParent = m_rFrames.back();
    rParent.m_i64Reached = std::max(rParent.m_i64Reached, rFrame.m_i64PayloadEnd);
  }
  return i32Result;
}

void TracingReaderC::check_frame(const FrameS& rFrame) {
  const int64_t i64PayloadSize = rFrame.m_i64PayloadEnd - rFrame.m_i64PayloadStart;
  if (rFrame.m_bReported || i64PayloadSize == 0) {
    return;
  }
  ChunkReportS rReport;
  rReport.m_rPath = path_to_innermost();
  rReport.m_ui32Size = static_cast<uint32_t>(i64PayloadSize + CHUNK_HEADER_SIZE);
  if (!rFrame.m_bTouched) {
    rReport.m_eReason = REASON_UNKNOWN_CHUNK;
  } else if (rFrame.m_i64Reached < rFrame.m_i64PayloadEnd) {
    rReport.m_eReason = REASON_UNREAD_BYTES;
    rReport.m_ui32Unread = static_cast<uint32_t>(rFrame.m_i64PayloadEnd - rFrame.m_i64Reached);
  } else {
    return;
  }
  m_rReports.push_back(rReport);
}

std::vector<ChunkStepS> TracingReaderC::path_to_innermost() const {
  std::vector<ChunkStepS> rPath;
  for (const FrameS& rFrame : m_rFrames) {
    rPath.push_back(rFrame.m_rStep);
  }
  return rPath;
}

int32_t TracingReaderC::read(void* pBuffer, uint32_t ui32Size) {
  const int32_t i32Result = ChunkReaderC::read(pBuffer, ui32Size);
  note_read();
  return i32Result;
}

int32_t TracingReaderC::read_str(char* pBuffer) {
  const int32_t i32Result = ChunkReaderC::read_str(pBuffer);
  m_sLastString = pBuffer;
  note_read();
  return i32Result;
}

void TracingReaderC::note_read() {
  if (m_rFrames.empty()) {
    return;
  }
  FrameS& rFrame = m_rFrames.back();
  rFrame.m_bTouched = true;
  rFrame.m_i64Reached = std::max(rFrame.m_i64Reached, std::min(position(), rFrame.m_i64PayloadEnd));
}

void TracingReaderC::report_missing_class(const ClassIdentC& rClass, const std::string& rClassName) {
  if (m_rFrames.empty()) {
    return;
  }
  FrameS& rFrame = m_rFrames.back();
  rFrame.m_bReported = true;
  ChunkReportS rReport;
  rReport.m_rPath = path_to_innermost();
  rReport.m_ui32Size = static_cast<uint32_t>(rFrame.m_i64PayloadEnd - rFrame.m_i64PayloadStart + CHUNK_HEADER_SIZE);
  rReport.m_eReason = REASON_MISSING_CLASS;
  rReport.m_rClass = rClass;
  rReport.m_sClassName = rClassName;
  m_rReports.push_back(rReport);
}

uint32_t TracingReaderC::get_chunk_remaining() {
  if (m_rFrames.empty()) {
    return 0;
  }
  return static_cast<uint32_t>(std::max<int64_t>(m_rFrames.back().m_i64PayloadEnd - position(), 0));
}
