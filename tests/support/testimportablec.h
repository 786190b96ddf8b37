#ifndef TESTS_SUPPORT_TESTIMPORTABLEC_H
#define TESTS_SUPPORT_TESTIMPORTABLEC_H

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "corelib/graphicsimportablec.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "tests/support/livecountc.h"
#include "tests/support/testclassdescc.h"

// A minimal picture importable for tests. load_file accepts any existing file
// and remembers its path; the file name is stored in chunk 0x1000 and an
// integer of its own in chunk 0x2000, so copies and round trips can be told
// apart. It counts live instances so ownership faults show as a wrong count.
class TestImportableC : public GraphicsImportableC {
 public:
  static ClassIdentC class_ident() { return ClassIdentC(0x7E57F11E, 0x00000001); }
  static int32_t live_count() { return LiveCountC<TestImportableC>::count(); }
  static TestImportableC* make() { return new TestImportableC(); }
  // An importable that names szFileName without loading it.
  static TestImportableC* make(const char* szFileName) {
    TestImportableC* pImportable = new TestImportableC();
    pImportable->m_sFileName = szFileName;
    return pImportable;
  }

  DataObjectC* create() override { return new TestImportableC(); }
  EditableC* create_linked(EditableC* pOriginal) override { return new TestImportableC(pOriginal); }
  void copy(EditableC* pSource) override { take_over(static_cast<TestImportableC*>(pSource)); }
  void restore(EditableC* pSource) override { take_over(static_cast<TestImportableC*>(pSource)); }
  int32_t save(ChunkWriterC* pWriter) override {
    pWriter->begin_chunk(0x1000, 1);
    write_str_cut(pWriter, m_sFileName);
    pWriter->end_chunk();
    pWriter->begin_chunk(0x2000, 1);
    int32_t i32Result = pWriter->write(&m_i32Value, sizeof(m_i32Value));
    pWriter->end_chunk();
    return i32Result;
  }
  int32_t load(ChunkReaderC* pReader) override {
    return load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
      if (ui32Id == 0x1000 && ui32Version == 1) {
        char rName[CHUNK_STRING_BUFFER_SIZE] = {};
        int32_t i32Result = pReader->read_str(rName);
        m_sFileName = rName;
        return i32Result;
      }
      if (ui32Id == 0x2000 && ui32Version == 1) {
        return pReader->read(&m_i32Value, sizeof(m_i32Value));
      }
      return CHUNK_OK;
    });
  }

  const char* get_file_name() override { return m_sFileName.c_str(); }
  bool load_file(const char* szPath, void* pOption) override {
    m_pLastOption = pOption;
    FILE* pFile = szPath ? std::fopen(szPath, "rb") : nullptr;
    if (!pFile) {
      return false;
    }
    std::fclose(pFile);
    m_sFileName = szPath;
    return true;
  }
  void prepare(int32_t i32Reason, DeviceTableC*, TimeBaseC*) override { m_rPrepareReasons.push_back(i32Reason); }
  ClassIdentC get_class_ident() override { return class_ident(); }
  const char* get_class_name() override { return "Test Importable"; }
  const char* get_info() override { return "Test importable"; }
  int32_t get_duration(TimeBaseC*) override { return m_i32Duration; }
  float get_first_label(TimeBaseC*) override { return 0.0f; }
  float get_last_label(TimeBaseC*) override { return 0.0f; }
  ClassIdentC get_default_effect() override { return NULL_CLASSID; }
  int32_t get_width() override { return 0; }
  int32_t get_height() override { return 0; }
  int32_t get_data_width() override { return 0; }
  int32_t get_bit_depth() override { return 0; }
  void* get_data() override { return nullptr; }
  void bind_texture(int32_t, DeviceDriverBaseC*, uint32_t) override {}
  int32_t get_first_frame() override { return 0; }
  int32_t get_frame_count() override { return 0; }
  float get_fps() override { return 0.0f; }

  std::string m_sFileName;
  int32_t m_i32Value = 0;
  int32_t m_i32Duration = -1;
  void* m_pLastOption = nullptr;
  std::vector<int32_t> m_rPrepareReasons;

 private:
  TestImportableC() = default;
  explicit TestImportableC(EditableC* pOriginal) : GraphicsImportableC(pOriginal) {}
  ~TestImportableC() override = default;

  void take_over(TestImportableC* pSource) {
    m_sFileName = pSource->m_sFileName;
    m_i32Value = pSource->m_i32Value;
  }

  LiveCountC<TestImportableC> m_rLiveCount;
};

class TestImportableDescC : public TestClassDescC {
 public:
  DataObjectC* make_object() override { return TestImportableC::make(); }
  int32_t get_class_kind() override { return PluginClass::CLASS_KIND_IMPORTABLE; }
  ClassIdentC get_class_ident() override { return TestImportableC::class_ident(); }
  SuperClassIdentC get_super_class_ident() override { return SUPERCLASS_VIDEO_IMPORTABLE; }
  const char* get_class_name() override { return "Test Importable"; }
  const char* get_description() override { return "Importable for tests"; }
  int32_t get_extension_count() override { return 1; }
  const char* get_extension(int32_t i32Index) override { return i32Index == 0 ? "tst" : nullptr; }
};

inline TestImportableDescC* test_importable_desc() {
  static TestImportableDescC s_rDesc;
  return &s_rDesc;
}

#endif
