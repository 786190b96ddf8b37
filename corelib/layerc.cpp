#include "corelib/layerc.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <string>

#include "corelib/assertion.h"
#include "corelib/classdescc.h"
#include "corelib/effectbasec.h"
#include "corelib/timesegmentc.h"
#include "corelib/undorecordc.h"
#include "docfile/chunkwriterc.h"
#include "registry/classregistryc.h"

namespace {

constexpr uint32_t LAYER_CHUNK_SETTINGS = 0x1000;
constexpr uint32_t LAYER_CHUNK_EFFECT = 0x2000;
constexpr uint32_t LAYER_CHUNK_VERSION = 1;

constexpr const char* EFFECT_INDEX_TEXT = "i32Index >= 0 && i32Index < m_rEffects.size()";

// An effect of class rClass, or null when the registry cannot make one. A class
// that is not an effect class, or an object that is not an effect, would be
// driven through the wrong interface, so it counts as missing.
EffectBaseC* create_effect(ClassRegistryC* pRegistry, const ClassIdentC& rClass) {
  if (!pRegistry) {
    return nullptr;
  }
  PluginClass::ClassDescC* pDesc = pRegistry->find_class(rClass);
  if (!pDesc || pDesc->get_class_kind() != PluginClass::CLASS_KIND_EFFECT) {
    return nullptr;
  }
  DataObjectC* pObject = pRegistry->create_object(rClass);
  if (!pObject) {
    return nullptr;
  }
  EffectBaseC* pEffect = dynamic_cast<EffectBaseC*>(pObject);
  if (!pEffect) {
    pObject->release();
  }
  return pEffect;
}

std::string missing_effect_text(const char* szClassName, const ClassIdentC& rClass) {
  char szIdent[32];
  std::snprintf(szIdent, sizeof(szIdent), " (0x%08x, 0x%08x)", rClass.get_first(), rClass.get_second());
  return std::string("Load Layer: Effect ") + szClassName + szIdent + "cannot be created. Propably missing DLL.";
}

int32_t save_effect(ChunkWriterC* pWriter, EffectBaseC* pEffect) {
  ClassIdentC rClass = pEffect->get_class_ident();
  const uint32_t rIdent[2] = {rClass.get_first(), rClass.get_second()};
  int32_t i32Result = pWriter->begin_chunk(LAYER_CHUNK_EFFECT, LAYER_CHUNK_VERSION);
  i32Result = first_failure(i32Result, pWriter->write(rIdent, sizeof(rIdent)));
  i32Result = first_failure(i32Result, write_str_cut(pWriter, pEffect->get_class_name()));
  i32Result = first_failure(i32Result, pEffect->save(pWriter));
  return first_failure(i32Result, pWriter->end_chunk());
}

}  // namespace

LayerC* LayerC::create_layer() {
  return new LayerC();
}

LayerC::LayerC() : m_pTimeSegment(TimeSegmentC::create_segment()) {}

LayerC::LayerC(EditableC* pOriginal) : EditableC(pOriginal) {}

LayerC::~LayerC() {
  if (m_pOriginal) {
    return;
  }
  release_effects();
  if (m_pTimeSegment) {
    m_pTimeSegment->release();
  }
}

DataObjectC* LayerC::create() {
  return create_layer();
}

EditableC* LayerC::create_linked(EditableC* pOriginal) {
  return new LayerC(pOriginal);
}

void LayerC::copy(EditableC* pSource) {
  LayerC* pLayer = static_cast<LayerC*>(pSource);
  if (pLayer == this) {
    return;
  }
  m_sName = pLayer->m_sName;
  release_effects();
  for (EffectBaseC* pEffect : pLayer->m_rEffects) {
    m_rEffects.push_back(static_cast<EffectBaseC*>(pEffect->duplicate()));
  }
  m_ui32Flags = pLayer->m_ui32Flags;
  m_pTimeSegment->copy(pLayer->m_pTimeSegment);
}

void LayerC::restore(EditableC* pSource) {
  LayerC* pLayer = static_cast<LayerC*>(pSource);
  m_sName = pLayer->m_sName;
  m_rEffects = pLayer->m_rEffects;
  m_ui32Flags = pLayer->m_ui32Flags;
  m_pTimeSegment = pLayer->m_pTimeSegment;
}

int32_t LayerC::save(ChunkWriterC* pWriter) {
  int32_t i32Result = pWriter->begin_chunk(LAYER_CHUNK_SETTINGS, LAYER_CHUNK_VERSION);
  i32Result = first_failure(i32Result, write_str_cut(pWriter, m_sName));
  i32Result = first_failure(i32Result, pWriter->write(&m_ui32Flags, sizeof(m_ui32Flags)));
  i32Result = first_failure(i32Result, m_pTimeSegment->save(pWriter));
  i32Result = first_failure(i32Result, pWriter->end_chunk());
  // Last to first: loading inserts each effect at the front.
  for (auto it = m_rEffects.rbegin(); it != m_rEffects.rend(); ++it) {
    i32Result = first_failure(i32Result, save_effect(pWriter, *it));
  }
  return i32Result;
}

int32_t LayerC::load(ChunkReaderC* pReader) {
  int32_t i32Result = load_chunks(pReader, [&](uint32_t ui32Id, uint32_t ui32Version) -> int32_t {
    if (ui32Version != LAYER_CHUNK_VERSION) {
      return CHUNK_OK;
    }
    if (ui32Id == LAYER_CHUNK_SETTINGS) {
      return load_settings(pReader);
    }
    if (ui32Id == LAYER_CHUNK_EFFECT) {
      return load_effect(pReader);
    }
    return CHUNK_OK;
  });
  return i32Result == CHUNK_END ? CHUNK_OK : i32Result;
}

int32_t LayerC::load_settings(ChunkReaderC* pReader) {
  char szName[CHUNK_STRING_BUFFER_SIZE];
  int32_t i32Result = pReader->read_str(szName);
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  m_sName = szName;
  uint32_t ui32Flags = 0;
  i32Result = pReader->read(&ui32Flags, sizeof(ui32Flags));
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  m_ui32Flags = ui32Flags;
  return m_pTimeSegment->load(pReader);
}

int32_t LayerC::load_effect(ChunkReaderC* pReader) {
  uint32_t rIdent[2] = {0, 0};
  char szClassName[CHUNK_STRING_BUFFER_SIZE];
  int32_t i32Result = pReader->read(rIdent, sizeof(rIdent));
  if (i32Result == CHUNK_OK) {
    i32Result = pReader->read_str(szClassName);
  }
  if (i32Result != CHUNK_OK) {
    return i32Result;
  }
  ClassIdentC rClass(rIdent[0], rIdent[1]);
  EffectBaseC* pEffect = create_effect(pReader->get_class_registry(), rClass);
  if (!pEffect) {
    pReader->add_error(missing_effect_text(szClassName, rClass).c_str());
    return CHUNK_DAMAGED;
  }
  i32Result = pEffect->load(pReader);
  add_effect(pEffect);
  return i32Result;
}

TimeSegmentC* LayerC::get_time_segment() {
  return m_pTimeSegment;
}

void LayerC::set_name(const char* szName) {
  m_sName = szName;
}

const char* LayerC::get_name() {
  return m_sName.c_str();
}

int32_t LayerC::get_effect_count() {
  return static_cast<int32_t>(m_rEffects.size());
}

EffectBaseC* LayerC::get_effect(int32_t i32Index) {
  REQUIRE_INDEX(is_valid_index(i32Index), EFFECT_INDEX_TEXT);
  return m_rEffects[static_cast<size_t>(i32Index)];
}

void LayerC::add_effect(EffectBaseC* pEffect) {
  m_rEffects.insert(m_rEffects.begin(), pEffect);
  note_child(pEffect, UNDO_CHILD_ADDED);
}

void LayerC::delete_effect(int32_t i32Index) {
  EffectBaseC* pEffect = remove_effect(i32Index);
  if (!pEffect) {
    return;
  }
  if (get_undo()) {
    note_child(pEffect, UNDO_CHILD_REMOVED);
  } else {
    pEffect->release();
  }
}

EffectBaseC* LayerC::remove_effect(int32_t i32Index) {
  if (!is_valid_index(i32Index)) {
    return nullptr;
  }
  auto it = m_rEffects.begin() + i32Index;
  EffectBaseC* pEffect = *it;
  m_rEffects.erase(it);
  return pEffect;
}

void LayerC::insert_effect(int32_t i32Index, EffectBaseC* pEffect) {
  // A negative index would insert before the list's start: it means the front.
  size_t uPosition = std::min(static_cast<size_t>(std::max(i32Index, 0)), m_rEffects.size());
  m_rEffects.insert(m_rEffects.begin() + static_cast<std::ptrdiff_t>(uPosition), pEffect);
}

void LayerC::set_flags(uint32_t ui32Flags) {
  m_ui32Flags = ui32Flags;
}

void LayerC::add_flags(uint32_t ui32Flags) {
  m_ui32Flags |= ui32Flags;
}

void LayerC::del_flags(uint32_t ui32Flags) {
  m_ui32Flags &= ~ui32Flags;
}

void LayerC::toggle_flags(uint32_t ui32Flags) {
  m_ui32Flags ^= ui32Flags;
}

uint32_t LayerC::get_flags() {
  return m_ui32Flags;
}

bool LayerC::is_valid_index(int32_t i32Index) {
  return i32Index >= 0 && static_cast<size_t>(i32Index) < m_rEffects.size();
}

void LayerC::release_effects() {
  for (EffectBaseC* pEffect : m_rEffects) {
    pEffect->release();
  }
  m_rEffects.clear();
}
