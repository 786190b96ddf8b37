#include <gtest/gtest.h>

#include <string>

#include "registry/classregistryc.h"
#include "tests/support/testdriverc.h"

namespace {

const ClassIdentC SHARED_CLASS(0x7E57D21F, 0x00000010);
const ClassIdentC OTHER_CLASS(0x7E57D21F, 0x00000011);

}  // namespace

TEST(ClassRegistryTest, InternalClassesAreListedInOrderRegistered) {
  TestDriverDescC rFirst(SHARED_CLASS, "First");
  TestDriverDescC rOther(OTHER_CLASS, "Other");
  ClassRegistryC rRegistry;
  rRegistry.register_internal(&rFirst);
  rRegistry.register_internal(nullptr);
  rRegistry.register_internal(&rOther);

  ASSERT_EQ(rRegistry.get_class_count(), 2);
  EXPECT_EQ(rRegistry.get_class(0), &rFirst);
  EXPECT_EQ(rRegistry.get_class(1), &rOther);
  EXPECT_EQ(std::string(rRegistry.get_library_name(0)), "<internal>");
  EXPECT_EQ(std::string(rRegistry.get_library_name(1)), "<internal>");
  EXPECT_EQ(rRegistry.get_class(rRegistry.get_class_count()), nullptr);
  EXPECT_EQ(rRegistry.get_library_name(rRegistry.get_class_count()), nullptr);
  EXPECT_EQ(rRegistry.get_class(-1), nullptr);
  EXPECT_EQ(rRegistry.find_class(ClassIdentC(0x00000011, 0x7E57D21F)), nullptr);
}

TEST(ClassRegistryTest, FirstRegisteredClassWins) {
  TestDriverDescC rFirst(SHARED_CLASS, "First");
  TestDriverDescC rSecond(SHARED_CLASS, "Second");
  ClassRegistryC rRegistry;
  rRegistry.register_internal(&rFirst);
  rRegistry.register_internal(&rSecond);

  EXPECT_EQ(rRegistry.find_class(SHARED_CLASS), &rFirst);
  DataObjectC* pObject = rRegistry.create_object(SHARED_CLASS);
  ASSERT_NE(pObject, nullptr);
  EXPECT_EQ(rFirst.m_i32MadeCount, 1);
  EXPECT_EQ(rSecond.m_i32MadeCount, 0);
  pObject->release();
}

TEST(ClassRegistryTest, CreateObjectMakesANewObjectEachCall) {
  TestDriverDescC rDesc(SHARED_CLASS);
  ClassRegistryC rRegistry;
  rRegistry.register_internal(&rDesc);
  const int32_t i32LiveBefore = TestDriverC::live_count();

  DataObjectC* pFirst = rRegistry.create_object(SHARED_CLASS);
  DataObjectC* pSecond = rRegistry.create_object(SHARED_CLASS);
  ASSERT_NE(pFirst, nullptr);
  ASSERT_NE(pSecond, nullptr);
  EXPECT_NE(pFirst, pSecond);
  EXPECT_EQ(static_cast<TestDriverC*>(pFirst)->get_class_ident(), SHARED_CLASS);
  EXPECT_EQ(TestDriverC::live_count(), i32LiveBefore + 2);
  EXPECT_EQ(rRegistry.create_object(OTHER_CLASS), nullptr);
  EXPECT_EQ(rRegistry.create_object(NULL_CLASSID), nullptr);

  pFirst->release();
  pSecond->release();
  EXPECT_EQ(TestDriverC::live_count(), i32LiveBefore);
}
