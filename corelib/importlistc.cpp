#include "corelib/importlistc.h"

#include <cctype>
#include <string_view>
#include <utility>

#include "corelib/importablebasec.h"
#include "corelib/importhandlec.h"
#include "corelib/undorecordc.h"

namespace {

// Base name and extension of a path written with either separator, with or
// without a drive prefix.
std::string_view file_name_part(const char* szPath) {
  if (!szPath) {
    return std::string_view();
  }
  std::string_view sPath(szPath);
  if (sPath.size() >= 2 && sPath[1] == ':' && std::isalpha(static_cast<unsigned char>(sPath[0]))) {
    sPath.remove_prefix(2);
  }
  size_t uSeparator = sPath.find_last_of("\\/");
  if (uSeparator != std::string_view::npos) {
    sPath.remove_prefix(uSeparator + 1);
  }
  return sPath;
}

bool same_ignoring_case(std::string_view sFirst, std::string_view sSecond) {
  if (sFirst.size() != sSecond.size()) {
    return false;
  }
  for (size_t uIndex = 0; uIndex < sFirst.size(); ++uIndex) {
    if (std::tolower(static_cast<unsigned char>(sFirst[uIndex])) !=
        std::tolower(static_cast<unsigned char>(sSecond[uIndex]))) {
      return false;
    }
  }
  return true;
}

// A handle of its own holding a duplicate of the source's importable.
ImportHandleC* duplicate_with_importable(ImportHandleC* pSource) {
  ImportHandleC* pCopy = static_cast<ImportHandleC*>(pSource->duplicate());
  ImportableBaseC* pImportable = pSource->get_importable();
  pCopy->set_importable(pImportable ? static_cast<ImportableBaseC*>(pImportable->duplicate()) : nullptr);
  return pCopy;
}

}  // namespace

ImportListC* ImportListC::create_list() {
  return new ImportListC();
}

ImportListC::~ImportListC() {
  if (!m_pOriginal) {
    release_handles();
  }
}

void ImportListC::release_handles() {
  for (ImportHandleC* pHandle : m_rHandles) {
    if (ImportableBaseC* pImportable = pHandle->get_importable()) {
      pImportable->release();
    }
    pHandle->release();
  }
  m_rHandles.clear();
}

DataObjectC* ImportListC::create() {
  return new ImportListC();
}

EditableC* ImportListC::create_linked(EditableC* pOriginal) {
  return new ImportListC(pOriginal);
}

void ImportListC::copy(EditableC* pSource) {
  if (m_pOriginal) {
    restore(pSource);
    return;
  }
  // Duplicate first: the source may be this list itself.
  std::vector<ImportHandleC*> rCopies;
  for (ImportHandleC* pHandle : static_cast<ImportListC*>(pSource)->m_rHandles) {
    rCopies.push_back(duplicate_with_importable(pHandle));
  }
  release_handles();
  m_rHandles = std::move(rCopies);
}

void ImportListC::restore(EditableC* pSource) {
  m_rHandles = static_cast<ImportListC*>(pSource)->m_rHandles;
}

int32_t ImportListC::save(ChunkWriterC*) {
  return CHUNK_OK;
}

int32_t ImportListC::load(ChunkReaderC*) {
  return CHUNK_OK;
}

ImportHandleC* ImportListC::add_handle(ImportableBaseC* pImportable) {
  ImportHandleC* pHandle = ImportHandleC::create_handle();
  pHandle->set_importable(pImportable);
  m_rHandles.push_back(pHandle);
  if (pImportable) {
    note_child(pImportable, UNDO_CHILD_ADDED);
  }
  note_child(pHandle, UNDO_CHILD_ADDED);
  return pHandle;
}

int32_t ImportListC::get_handle_count() {
  return static_cast<int32_t>(m_rHandles.size());
}

ImportHandleC* ImportListC::get_handle(int32_t i32Index) {
  if (i32Index < 0 || i32Index >= get_handle_count()) {
    return nullptr;
  }
  return m_rHandles[static_cast<size_t>(i32Index)];
}

// The handle at i32Index when it can be edited: an undo object is set and the
// handle holds an importable to make the new one from.
ImportHandleC* ImportListC::get_editable_handle(int32_t i32Index) {
  ImportHandleC* pHandle = get_handle(i32Index);
  if (!get_undo() || !pHandle || !pHandle->get_importable()) {
    return nullptr;
  }
  return pHandle;
}

void ImportListC::swap_importable(ImportHandleC* pHandle, ImportableBaseC* pNew) {
  note_child(pHandle->get_importable(), UNDO_CHILD_REMOVED);
  note_child(pNew, UNDO_CHILD_ADDED);
  edit_under_undo(pHandle, get_undo(), [&] { pHandle->set_importable(pNew); });
}

void ImportListC::reload_handle(int32_t i32Index, void* pImportInterface) {
  ImportHandleC* pHandle = get_editable_handle(i32Index);
  if (!pHandle) {
    return;
  }
  ImportableBaseC* pOld = pHandle->get_importable();
  ImportableBaseC* pNew = static_cast<ImportableBaseC*>(pOld->create());
  pNew->copy(pOld);
  pNew->load_file(pOld->get_file_name(), pImportInterface);
  swap_importable(pHandle, pNew);
}

void ImportListC::replace_handle(int32_t i32Index, const char* szFileName, void* pImportInterface) {
  ImportHandleC* pHandle = get_editable_handle(i32Index);
  if (!pHandle) {
    return;
  }
  ImportableBaseC* pNew = static_cast<ImportableBaseC*>(pHandle->get_importable()->create());
  pNew->load_file(szFileName, pImportInterface);
  swap_importable(pHandle, pNew);
}

ImportHandleC* ImportListC::find_handle(const char* szPath) {
  std::string_view sName = file_name_part(szPath);
  if (sName.empty()) {
    return nullptr;
  }
  for (ImportHandleC* pHandle : m_rHandles) {
    ImportableBaseC* pImportable = pHandle->get_importable();
    if (pImportable && same_ignoring_case(sName, file_name_part(pImportable->get_file_name()))) {
      return pHandle;
    }
  }
  return nullptr;
}

void ImportListC::delete_handle(int32_t i32Index) {
  ImportHandleC* pHandle = get_handle(i32Index);
  if (!get_undo() || !pHandle) {
    return;
  }
  if (ImportableBaseC* pImportable = pHandle->get_importable()) {
    note_child(pImportable, UNDO_CHILD_REMOVED);
  }
  note_child(pHandle, UNDO_CHILD_REMOVED);
  m_rHandles.erase(m_rHandles.begin() + i32Index);
}
