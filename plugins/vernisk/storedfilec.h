#ifndef PLUGINS_VERNISK_STOREDFILEC_H
#define PLUGINS_VERNISK_STOREDFILEC_H

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class ChunkReaderC;
class ChunkWriterC;

// An imported file as vernisk's importables keep it: its name and its whole
// bytes, saved in the document (chunk 0x1000 the name, chunk 0x2000 the size
// and the bytes) so that a presentation needs no file beside it. Restore
// copies share the bytes.
class StoredFileC {
 public:
  using BytesT = std::shared_ptr<const std::vector<uint8_t>>;

  // The file's bytes, or null when it cannot be read or is larger than a
  // document stores (or than ui32MaxSize).
  static BytesT read_file(const char* szPath, uint32_t ui32MaxSize);

  int32_t save(ChunkWriterC* pWriter) const;
  // One chunk of the importable's level, for its loader loop: the chunk's
  // result, and *pBytesRead set when the chunk held the file's bytes. A
  // stored size larger than what the chunk holds keeps what is there and
  // makes the chunk damaged.
  int32_t load_chunk(ChunkReaderC* pReader, uint32_t ui32Id, uint32_t ui32Version, bool* pBytesRead);

  void set(const std::string& rName, BytesT pBytes);
  const std::string& get_name() const { return m_sName; }
  const BytesT& get_bytes() const { return m_pBytes; }
  uint32_t get_size() const { return m_pBytes ? static_cast<uint32_t>(m_pBytes->size()) : 0; }
  const uint8_t* get_data() const { return m_pBytes && !m_pBytes->empty() ? m_pBytes->data() : nullptr; }

 private:
  std::string m_sName;
  BytesT m_pBytes;
};

#endif
