#ifndef TOOLS_TIRAVO_DOC_TRACINGREADERC_H
#define TOOLS_TIRAVO_DOC_TRACINGREADERC_H

#include <cstdint>
#include <string>
#include <vector>

#include "corelib/classidentc.h"
#include "docfile/chunkreaderc.h"

// One chunk on the way down to a reported chunk: its id and version, and how
// many chunks of the same id and version came before it at its level.
struct ChunkStepS {
  uint32_t m_ui32Id;
  uint32_t m_ui32Version;
  int32_t m_i32Ordinal;
};

enum ChunkReasonE { REASON_UNKNOWN_CHUNK, REASON_UNREAD_BYTES, REASON_MISSING_CLASS };

// A chunk whose contents no loader read, or read only in part.
struct ChunkReportS {
  std::vector<ChunkStepS> m_rPath;  // from the top level down, the chunk itself last
  uint32_t m_ui32Size;              // as stored, header included
  ChunkReasonE m_eReason;
  uint32_t m_ui32Unread = 0;
  ClassIdentC m_rClass;
  std::string m_sClassName;
};

// A reader that watches the objects' loaders: a chunk that is closed without
// a read or a sub-chunk opened inside it was not understood, and a chunk
// whose last bytes were never reached was understood only in part. Loaders
// call the reader through its virtual operations, so plug-in code is watched
// as well.
class TracingReaderC : public ChunkReaderC {
 public:
  explicit TracingReaderC(ClassRegistryC* pRegistry);

  int32_t open(const char* szFileName, const char* szSignature, int32_t i32SignatureLength) override;
  int32_t open_chunk() override;
  int32_t leave_chunk() override;
  int32_t read(void* pBuffer, uint32_t ui32Size) override;
  int32_t read_str(char* pBuffer) override;

  // The innermost chunk belongs to a class that no plug-in provides: it is
  // reported as such, and nothing inside it is reported again.
  void report_missing_class(const ClassIdentC& rClass, const std::string& rClassName);
  // Payload bytes of the innermost chunk after the current position.
  uint32_t get_chunk_remaining();
  // The last string that read_str read.
  const std::string& get_last_string() const { return m_sLastString; }
  const std::vector<ChunkReportS>& get_reports() const { return m_rReports; }

 private:
  struct FrameS {
    ChunkStepS m_rStep;
    int64_t m_i64PayloadStart;
    int64_t m_i64PayloadEnd;
    int64_t m_i64Reached;  // the furthest position read inside the payload
    bool m_bTouched = false;
    bool m_bReported = false;
    std::vector<ChunkStepS> m_rChildren;  // counts by id and version
  };

  int64_t position();
  int32_t next_ordinal(uint32_t ui32Id, uint32_t ui32Version);
  void note_read();
  void check_frame(const FrameS& rFrame);
  std::vector<ChunkStepS> path_to_innermost() const;

  int64_t m_i64FileSize = 0;
  std::vector<FrameS> m_rFrames;
  std::vector<ChunkStepS> m_rTopChildren;
  std::vector<ChunkReportS> m_rReports;
  std::string m_sLastString;
};

#endif
