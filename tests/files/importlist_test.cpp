#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "corelib/importhandlec.h"
#include "corelib/importlistc.h"
#include "corelib/undorecordc.h"
#include "tests/support/recordingundoc.h"
#include "tests/support/tempfilec.h"
#include "tests/support/testimportablec.h"

namespace {

using NoteS = std::pair<EditableC*, int32_t>;

class ImportListTest : public ::testing::Test {
 protected:
  void SetUp() override {
    m_pList = ImportListC::create_list();
    m_pUndo = RecordingUndoC::make();
  }
  void TearDown() override {
    // The undo object owns what was taken out of the list.
    m_pList->release();
    m_pUndo->release();
    EXPECT_EQ(TestImportableC::live_count(), 0);
  }

  TestImportableC* importable_at(int32_t i32Index) {
    return static_cast<TestImportableC*>(m_pList->get_handle(i32Index)->get_importable());
  }

  ImportListC* m_pList = nullptr;
  RecordingUndoC* m_pUndo = nullptr;
  int32_t m_i32Option = 0;
};

TEST_F(ImportListTest, AddHandleAppendsAndIndexesInOrder) {
  TestImportableC* pFirst = TestImportableC::make("a.avi");
  TestImportableC* pSecond = TestImportableC::make("b.avi");
  ImportHandleC* pHandleA = m_pList->add_handle(pFirst);
  ImportHandleC* pHandleB = m_pList->add_handle(pSecond);

  EXPECT_EQ(m_pList->get_handle_count(), 2);
  EXPECT_EQ(m_pList->get_handle(0), pHandleA);
  EXPECT_EQ(m_pList->get_handle(1), pHandleB);
  EXPECT_EQ(pHandleB->get_importable(), pSecond);
  EXPECT_EQ(pHandleA->get_use_count(), 0);
  EXPECT_EQ(pHandleA->get_user_value(), 0);
  EXPECT_EQ(m_pList->get_handle(2), nullptr);
  EXPECT_EQ(m_pList->get_handle(-1), nullptr);
}

TEST_F(ImportListTest, AddHandleNotesImportableThenHandleOnlyWithUndo) {
  m_pList->add_handle(TestImportableC::make("a.avi"));
  EXPECT_TRUE(m_pUndo->m_rNotes.empty());

  m_pList->set_undo(m_pUndo);
  TestImportableC* pImportable = TestImportableC::make("b.avi");
  ImportHandleC* pHandle = m_pList->add_handle(pImportable);
  std::vector<NoteS> rExpected = {{pImportable, UNDO_CHILD_ADDED}, {pHandle, UNDO_CHILD_ADDED}};
  EXPECT_EQ(m_pUndo->m_rNotes, rExpected);
  EXPECT_TRUE(m_pUndo->m_rRestoreCopies.empty());
}

TEST_F(ImportListTest, FindHandleComparesFileNamesOnly) {
  m_pList->add_handle(nullptr);
  m_pList->add_handle(TestImportableC::make(""));
  m_pList->add_handle(TestImportableC::make("d:/other/outro.avi"));
  ImportHandleC* pIntro = m_pList->add_handle(TestImportableC::make("d:/other/intro.avi"));
  m_pList->add_handle(TestImportableC::make("e:\\copy\\INTRO.avi"));

  EXPECT_EQ(m_pList->find_handle("C:\\media\\Intro.AVI"), pIntro);
  EXPECT_EQ(m_pList->find_handle("/home/user/intro.avi"), pIntro);
  EXPECT_EQ(m_pList->find_handle("C:intro.avi"), pIntro);
  EXPECT_EQ(m_pList->find_handle("intro.avi"), pIntro);
  EXPECT_EQ(m_pList->find_handle("C:\\media\\"), nullptr);
  EXPECT_EQ(m_pList->find_handle("C:\\media/"), nullptr);
  EXPECT_EQ(m_pList->find_handle(""), nullptr);
  EXPECT_EQ(m_pList->find_handle(nullptr), nullptr);
  // Prefixes and longer names are different files.
  EXPECT_EQ(m_pList->find_handle("intro.av"), nullptr);
  EXPECT_EQ(m_pList->find_handle("intro.avi2"), nullptr);
  EXPECT_EQ(m_pList->find_handle("d:/other/"), nullptr);
}

TEST_F(ImportListTest, DestroyingListReleasesEachImportableOnceAndRestoreCopyNone) {
  m_pList->add_handle(TestImportableC::make("a.avi"));
  m_pList->add_handle(TestImportableC::make("b.avi"));
  m_pList->add_handle(nullptr);

  EditableC* pRestoreCopy = m_pList->make_restore_copy();
  pRestoreCopy->release();
  EXPECT_EQ(TestImportableC::live_count(), 2);
  EXPECT_STREQ(importable_at(1)->get_file_name(), "b.avi");

  m_pList->release();
  EXPECT_EQ(TestImportableC::live_count(), 0);
  m_pList = ImportListC::create_list();
}

TEST_F(ImportListTest, ReloadMakesLoadedCopyUnderUndo) {
  TempFileC rFile;
  TestImportableC* pOld = TestImportableC::make(rFile.path());
  pOld->m_i32Value = 42;
  ImportHandleC* pHandle = m_pList->add_handle(pOld);
  m_pList->set_undo(m_pUndo);

  m_pList->reload_handle(0, &m_i32Option);

  EXPECT_EQ(m_pList->get_handle(0), pHandle);
  TestImportableC* pNew = importable_at(0);
  ASSERT_NE(pNew, pOld);
  EXPECT_EQ(pNew->m_i32Value, 42);
  EXPECT_EQ(pNew->m_sFileName, rFile.path());
  EXPECT_EQ(pNew->m_pLastOption, &m_i32Option);
  std::vector<NoteS> rExpected = {{pOld, UNDO_CHILD_REMOVED}, {pNew, UNDO_CHILD_ADDED}};
  EXPECT_EQ(m_pUndo->m_rNotes, rExpected);
  // The handle's state before the swap is recorded, and its undo is put back.
  ASSERT_EQ(m_pUndo->m_rRestoreCopies.size(), 1u);
  ImportHandleC* pRecorded = static_cast<ImportHandleC*>(m_pUndo->m_rRestoreCopies[0]);
  EXPECT_EQ(pRecorded->get_original(), pHandle);
  EXPECT_EQ(pRecorded->get_importable(), pOld);
  EXPECT_EQ(pHandle->get_undo(), nullptr);
}

TEST_F(ImportListTest, ReplaceLoadsNewFileIntoFreshImportable) {
  TempFileC rFile;
  TestImportableC* pOld = TestImportableC::make("old.avi");
  pOld->m_i32Value = 42;
  ImportHandleC* pHandle = m_pList->add_handle(pOld);
  m_pList->add_handle(TestImportableC::make("other.avi"));
  m_pList->set_undo(m_pUndo);

  m_pList->replace_handle(0, rFile.path(), &m_i32Option);

  TestImportableC* pNew = importable_at(0);
  ASSERT_NE(pNew, pOld);
  EXPECT_EQ(pNew->m_i32Value, 0);
  EXPECT_EQ(pNew->m_sFileName, rFile.path());
  EXPECT_EQ(pNew->m_pLastOption, &m_i32Option);
  EXPECT_EQ(m_pList->find_handle(rFile.path()), pHandle);
  EXPECT_EQ(m_pList->find_handle("old.avi"), nullptr);
  std::vector<NoteS> rExpected = {{pOld, UNDO_CHILD_REMOVED}, {pNew, UNDO_CHILD_ADDED}};
  EXPECT_EQ(m_pUndo->m_rNotes, rExpected);
  ASSERT_EQ(m_pUndo->m_rRestoreCopies.size(), 1u);
  EXPECT_EQ(static_cast<ImportHandleC*>(m_pUndo->m_rRestoreCopies[0])->get_importable(), pOld);
}

TEST_F(ImportListTest, DeleteHandsHandleAndImportableToUndo) {
  TestImportableC* pFirst = TestImportableC::make("a.avi");
  ImportHandleC* pHandleA = m_pList->add_handle(pFirst);
  ImportHandleC* pHandleB = m_pList->add_handle(TestImportableC::make("b.avi"));
  m_pList->set_undo(m_pUndo);

  m_pList->delete_handle(0);

  EXPECT_EQ(m_pList->get_handle_count(), 1);
  EXPECT_EQ(m_pList->get_handle(0), pHandleB);
  std::vector<NoteS> rExpected = {{pFirst, UNDO_CHILD_REMOVED}, {pHandleA, UNDO_CHILD_REMOVED}};
  EXPECT_EQ(m_pUndo->m_rNotes, rExpected);
  // Still alive: the undo object holds them.
  EXPECT_EQ(TestImportableC::live_count(), 2);
}

TEST_F(ImportListTest, EditsWithoutUndoOrOutOfRangeDoNothing) {
  TempFileC rFile;
  TestImportableC* pImportable = TestImportableC::make(rFile.path());
  m_pList->add_handle(pImportable);

  m_pList->reload_handle(0, nullptr);
  m_pList->replace_handle(0, rFile.path(), nullptr);
  m_pList->delete_handle(0);
  EXPECT_EQ(m_pList->get_handle_count(), 1);
  EXPECT_EQ(importable_at(0), pImportable);
  EXPECT_EQ(TestImportableC::live_count(), 1);

  m_pList->set_undo(m_pUndo);
  m_pList->reload_handle(1, nullptr);
  m_pList->replace_handle(-1, rFile.path(), nullptr);
  m_pList->delete_handle(1);
  EXPECT_EQ(m_pList->get_handle_count(), 1);
  EXPECT_EQ(importable_at(0), pImportable);
  EXPECT_TRUE(m_pUndo->m_rNotes.empty());
  EXPECT_TRUE(m_pUndo->m_rRestoreCopies.empty());
}

TEST_F(ImportListTest, EditsOfHandleWithoutImportable) {
  ImportHandleC* pHandle = m_pList->add_handle(nullptr);
  m_pList->set_undo(m_pUndo);

  // Nothing to make a new importable from.
  m_pList->reload_handle(0, nullptr);
  m_pList->replace_handle(0, "a.avi", nullptr);
  EXPECT_EQ(pHandle->get_importable(), nullptr);
  EXPECT_TRUE(m_pUndo->m_rNotes.empty());

  m_pList->delete_handle(0);
  std::vector<NoteS> rExpected = {{pHandle, UNDO_CHILD_REMOVED}};
  EXPECT_EQ(m_pUndo->m_rNotes, rExpected);
  EXPECT_EQ(m_pList->get_handle_count(), 0);
}

}  // namespace
