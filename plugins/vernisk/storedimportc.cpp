#include "plugins/vernisk/storedimportc.h"

#include "docfile/chunkreaderc.h"
#include "platform/debugoutput.h"
#include "plugins/vernisk/verniskclasses.h"

void StoredImportC::restore(EditableC* pSource) {
  StoredImportC* pImport = static_cast<StoredImportC*>(pSource);
  m_rFile = pImport->m_rFile;
  share_state(pImport);
}

int32_t StoredImportC::load(ChunkReaderC* pReader) {
  return load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    bool bBytesRead = false;
    const int32_t i32Result = m_rFile.load_chunk(pReader, ui32Id, ui32Version, &bBytesRead);
    std::string sError;
    if (bBytesRead && !use_bytes(m_rFile, &sError)) {
      debug_printf("%s %s cannot be used: %s\n", kind(), m_rFile.get_name().c_str(), sError.c_str());
      clear_state();
    }
    return i32Result;
  });
}

bool StoredImportC::load_file(const char* szPath, void*) {
  StoredFileC rFile;
  rFile.set(szPath ? szPath : "", StoredFileC::read_file(szPath, max_file_size()));
  std::string sError = "it cannot be read, or is empty or larger than " + std::to_string(max_file_size() >> 20) +
                       " MiB";
  if (!rFile.get_bytes() || !use_bytes(rFile, &sError)) {
    debug_printf("%s %s cannot be used: %s\n", kind(), szPath ? szPath : "(none)", sError.c_str());
    return false;
  }
  m_rFile = rFile;
  return true;
}

SuperClassIdentC StoredImportC::get_super_class_ident() {
  return SUPERCLASS_IMPORTABLE;
}
