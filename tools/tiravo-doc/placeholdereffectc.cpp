#include "tools/tiravo-doc/placeholdereffectc.h"

#include "corelib/box2c.h"
#include "tools/tiravo-doc/tracingreaderc.h"

PlaceholderEffectC::PlaceholderEffectC(const ClassIdentC& rClass, const std::string& rClassName)
    : m_rClass(rClass), m_sClassName(rClassName) {}

DataObjectC* PlaceholderEffectC::create() {
  return new PlaceholderEffectC(m_rClass, m_sClassName);
}

EditableC* PlaceholderEffectC::create_linked(EditableC*) {
  return new PlaceholderEffectC(m_rClass, m_sClassName);
}

void PlaceholderEffectC::copy(EditableC* pSource) {
  EffectBaseC::copy(pSource);
}

void PlaceholderEffectC::restore(EditableC* pSource) {
  EffectBaseC::restore(pSource);
}

// Its data was never read, so there is nothing it could write.
int32_t PlaceholderEffectC::save(ChunkWriterC*) {
  return CHUNK_DAMAGED;
}

int32_t PlaceholderEffectC::load(ChunkReaderC* pReader) {
  if (TracingReaderC* pTracer = dynamic_cast<TracingReaderC*>(pReader)) {
    pTracer->report_missing_class(m_rClass, m_sClassName);
  }
  return CHUNK_OK;
}

Box2C PlaceholderEffectC::get_bbox() {
  return Box2C();
}

PlaceholderDescC::PlaceholderDescC(const ClassIdentC& rClass, const std::string& rClassName)
    : m_rClass(rClass), m_sClassName(rClassName) {}

DataObjectC* PlaceholderDescC::make_object() {
  return new PlaceholderEffectC(m_rClass, m_sClassName);
}
