#include <gtest/gtest.h>

#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "docfile/chunkreaderc.h"
#include "docfile/chunkwriterc.h"
#include "tests/support/documentfilec.h"
#include "tests/support/recordingundoc.h"
#include "tests/support/testimportablec.h"

namespace {

class EditableTest : public ::testing::Test {
 protected:
  void TearDown() override { EXPECT_EQ(TestImportableC::live_count(), 0); }
};

// A list holding "a.avi" and "b.avi", each handle used once.
ImportListC* make_two_file_list() {
  ImportListC* pList = ImportListC::create_list();
  pList->add_handle(TestImportableC::make("a.avi"))->inc_use_count();
  pList->add_handle(TestImportableC::make("b.avi"))->inc_use_count();
  return pList;
}

TEST_F(EditableTest, HandleDuplicateTakesOverUseCountAndImportableButNotUserValue) {
  TestImportableC* pImportable = TestImportableC::make("a.avi");
  ImportHandleC* pHandle = ImportHandleC::create_handle();
  pHandle->set_importable(pImportable);
  pHandle->inc_use_count();
  pHandle->inc_use_count();
  pHandle->set_user_value(77);

  ImportHandleC* pCopy = static_cast<ImportHandleC*>(pHandle->duplicate());
  EXPECT_NE(pCopy, pHandle);
  EXPECT_EQ(pCopy->get_original(), nullptr);
  EXPECT_EQ(pCopy->get_importable(), pImportable);
  EXPECT_EQ(pCopy->get_use_count(), 2);
  EXPECT_EQ(pCopy->get_user_value(), 0);

  pCopy->inc_use_count();
  EXPECT_EQ(pHandle->get_use_count(), 2);

  // Neither handle owns the importable.
  pCopy->release();
  pHandle->release();
  EXPECT_EQ(TestImportableC::live_count(), 1);
  pImportable->release();
}

TEST_F(EditableTest, HandleRestoreCopyIsLinkedAndRestoreKeepsUserValue) {
  TestImportableC* pImportable = TestImportableC::make("a.avi");
  ImportHandleC* pHandle = ImportHandleC::create_handle();
  pHandle->set_importable(pImportable);
  pHandle->inc_use_count();
  pHandle->set_user_value(5);

  ImportHandleC* pRestoreCopy = static_cast<ImportHandleC*>(pHandle->make_restore_copy());
  EXPECT_EQ(pRestoreCopy->get_original(), pHandle);
  EXPECT_EQ(pRestoreCopy->get_importable(), pImportable);
  EXPECT_EQ(pRestoreCopy->get_use_count(), 1);
  EXPECT_EQ(pRestoreCopy->get_user_value(), 0);

  pHandle->set_importable(nullptr);
  pHandle->reset_use_count();
  EXPECT_EQ(pHandle->get_use_count(), 0);
  pHandle->restore(pRestoreCopy);
  EXPECT_EQ(pHandle->get_importable(), pImportable);
  EXPECT_EQ(pHandle->get_use_count(), 1);
  EXPECT_EQ(pHandle->get_user_value(), 5);

  pRestoreCopy->release();
  pHandle->release();
  pImportable->release();
}

TEST_F(EditableTest, BeginEditingRecordsRestoreCopyOnlyWithUndo) {
  RecordingUndoC* pFirst = RecordingUndoC::make();
  RecordingUndoC* pSecond = RecordingUndoC::make();
  ImportHandleC* pHandle = ImportHandleC::create_handle();
  pHandle->inc_use_count();

  pHandle->set_undo(pFirst);
  EXPECT_TRUE(pFirst->m_rRestoreCopies.empty());

  EXPECT_EQ(pHandle->begin_editing(pSecond), pFirst);
  EXPECT_EQ(pHandle->get_undo(), pSecond);
  ASSERT_EQ(pSecond->m_rRestoreCopies.size(), 1u);
  ImportHandleC* pRecorded = static_cast<ImportHandleC*>(pSecond->m_rRestoreCopies[0]);
  EXPECT_EQ(pRecorded->get_original(), pHandle);
  EXPECT_EQ(pRecorded->get_use_count(), 1);

  EXPECT_EQ(pHandle->begin_editing(nullptr), pSecond);
  EXPECT_EQ(pHandle->get_undo(), nullptr);
  EXPECT_EQ(pSecond->m_rRestoreCopies.size(), 1u);
  EXPECT_TRUE(pFirst->m_rRestoreCopies.empty());
  EXPECT_TRUE(pSecond->m_rNotes.empty());

  pHandle->release();
  pFirst->release();
  pSecond->release();
}

TEST_F(EditableTest, ListDuplicateOwnsDistinctHandlesAndImportables) {
  ImportListC* pList = make_two_file_list();
  ImportListC* pCopy = static_cast<ImportListC*>(pList->duplicate());
  EXPECT_EQ(TestImportableC::live_count(), 4);
  ASSERT_EQ(pCopy->get_handle_count(), 2);
  for (int32_t i32Index = 0; i32Index < 2; ++i32Index) {
    ImportHandleC* pOld = pList->get_handle(i32Index);
    ImportHandleC* pNew = pCopy->get_handle(i32Index);
    EXPECT_NE(pNew, pOld);
    EXPECT_NE(pNew->get_importable(), pOld->get_importable());
    EXPECT_STREQ(pNew->get_importable()->get_file_name(), pOld->get_importable()->get_file_name());
    EXPECT_EQ(pNew->get_use_count(), 1);
  }

  pCopy->release();
  EXPECT_EQ(TestImportableC::live_count(), 2);
  EXPECT_STREQ(pList->get_handle(1)->get_importable()->get_file_name(), "b.avi");
  pList->release();
}

TEST_F(EditableTest, ListCopyReleasesItsOwnHandlesAndSurvivesCopyingItself) {
  ImportListC* pList = make_two_file_list();
  ImportListC* pTarget = ImportListC::create_list();
  pTarget->add_handle(TestImportableC::make("old.avi"));
  EXPECT_EQ(TestImportableC::live_count(), 3);

  pTarget->copy(pList);
  EXPECT_EQ(TestImportableC::live_count(), 4);
  EXPECT_EQ(pTarget->find_handle("old.avi"), nullptr);
  ASSERT_NE(pTarget->find_handle("b.avi"), nullptr);
  EXPECT_NE(pTarget->find_handle("b.avi"), pList->find_handle("b.avi"));

  pTarget->copy(pTarget);
  EXPECT_EQ(pTarget->get_handle_count(), 2);
  EXPECT_EQ(TestImportableC::live_count(), 4);
  EXPECT_STREQ(pTarget->get_handle(0)->get_importable()->get_file_name(), "a.avi");

  pTarget->release();
  pList->release();
}

TEST_F(EditableTest, ListRestoreCopySharesHandlesAndReleasesNothing) {
  ImportListC* pList = make_two_file_list();
  ImportListC* pRestoreCopy = static_cast<ImportListC*>(pList->make_restore_copy());
  EXPECT_EQ(pRestoreCopy->get_original(), pList);
  ASSERT_EQ(pRestoreCopy->get_handle_count(), 2);
  EXPECT_EQ(pRestoreCopy->get_handle(0), pList->get_handle(0));
  EXPECT_EQ(pRestoreCopy->get_handle(1), pList->get_handle(1));

  // copy on a restore copy shares as well.
  ImportListC* pOther = make_two_file_list();
  pRestoreCopy->copy(pOther);
  EXPECT_EQ(pRestoreCopy->get_handle(0), pOther->get_handle(0));

  pRestoreCopy->release();
  EXPECT_EQ(TestImportableC::live_count(), 4);
  EXPECT_STREQ(pList->get_handle(0)->get_importable()->get_file_name(), "a.avi");
  pOther->release();
  pList->release();
}

TEST_F(EditableTest, HandleAndListSaveAndLoadNothing) {
  DocumentFileC rFile;
  ImportListC* pList = make_two_file_list();
  rFile.write([&](ChunkWriterC& rWriter) {
    EXPECT_EQ(pList->save(&rWriter), CHUNK_OK);
    EXPECT_EQ(pList->get_handle(0)->save(&rWriter), CHUNK_OK);
  });
  // Signature and one empty chunk.
  EXPECT_EQ(rFile.read_bytes().size(), 14u + 12u);

  ChunkReaderC rReader(nullptr);
  ASSERT_EQ(rReader.open(rFile.path(), DOCUMENT_SIGNATURE, DOCUMENT_SIGNATURE_LENGTH), CHUNK_OK);
  EXPECT_EQ(pList->load(&rReader), CHUNK_OK);
  EXPECT_EQ(pList->get_handle(0)->load(&rReader), CHUNK_OK);
  // Nothing was read: the chunk is still ahead.
  ASSERT_EQ(rReader.open_chunk(), CHUNK_OK);
  EXPECT_EQ(rReader.get_chunk_id(), DocumentFileC::TOP_CHUNK_ID);
  EXPECT_EQ(pList->get_handle_count(), 2);
  pList->release();
}

}  // namespace
