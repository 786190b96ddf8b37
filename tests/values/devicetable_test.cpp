#include <gtest/gtest.h>

#include "corelib/devicetablec.h"
#include "tests/support/testdriverc.h"

namespace {

const ClassIdentC OTHER_CLASS(0x7E57D21F, 0x00000002);
const SuperClassIdentC OTHER_FAMILY(0x7E570000);

}  // namespace

TEST(DeviceTableTest, EmptyTableFindsNothing) {
  DeviceTableC rTable;
  EXPECT_EQ(rTable.get_device_count(), 0);
  EXPECT_EQ(rTable.find_by_class(CLASS_OPENGL_DEVICEDRIVER), nullptr);
  EXPECT_EQ(rTable.find_by_super_class(SUPERCLASS_GRAPHICS_DEVICE), nullptr);
  EXPECT_EQ(rTable.get_device(0), nullptr);
  rTable.remove_device(CLASS_OPENGL_DEVICEDRIVER);
  EXPECT_EQ(rTable.get_device_count(), 0);
}

TEST(DeviceTableTest, FindsTheFirstMatchInOrderAdded) {
  DeviceTableC rTable;
  TestDriverC* pOther = TestDriverC::make(OTHER_CLASS, OTHER_FAMILY);
  TestDriverC* pFirst = TestDriverC::make(CLASS_OPENGL_DEVICEDRIVER);
  TestDriverC* pSecond = TestDriverC::make(CLASS_OPENGL_DEVICEDRIVER);
  rTable.add_device(pOther);
  rTable.add_device(pFirst);
  rTable.add_device(pSecond);
  rTable.add_device(nullptr);

  EXPECT_EQ(rTable.get_device_count(), 3);
  EXPECT_EQ(rTable.find_by_class(CLASS_OPENGL_DEVICEDRIVER), pFirst);
  EXPECT_EQ(rTable.find_by_class(OTHER_CLASS), pOther);
  EXPECT_EQ(rTable.find_by_class(ClassIdentC(0x00002710, 0)), nullptr);
  EXPECT_EQ(rTable.find_by_super_class(SUPERCLASS_GRAPHICS_DEVICE), pFirst);
  EXPECT_EQ(rTable.find_by_super_class(OTHER_FAMILY), pOther);
  EXPECT_EQ(rTable.get_device(0), pOther);
  EXPECT_EQ(rTable.get_device(2), pSecond);
  EXPECT_EQ(rTable.get_device(3), nullptr);
  EXPECT_EQ(rTable.get_device(-1), nullptr);
}

TEST(DeviceTableTest, RemoveReleasesOnlyTheFirstDriverOfTheClass) {
  const int32_t i32LiveBefore = TestDriverC::live_count();
  {
    DeviceTableC rTable;
    TestDriverC* pFirst = TestDriverC::make(CLASS_OPENGL_DEVICEDRIVER);
    TestDriverC* pSecond = TestDriverC::make(CLASS_OPENGL_DEVICEDRIVER);
    rTable.add_device(pFirst);
    rTable.add_device(pSecond);

    rTable.remove_device(CLASS_OPENGL_DEVICEDRIVER);
    EXPECT_EQ(TestDriverC::live_count(), i32LiveBefore + 1);
    EXPECT_EQ(rTable.get_device_count(), 1);
    EXPECT_EQ(rTable.find_by_class(CLASS_OPENGL_DEVICEDRIVER), pSecond);

    rTable.remove_device(OTHER_CLASS);
    EXPECT_EQ(rTable.get_device_count(), 1);
    EXPECT_EQ(TestDriverC::live_count(), i32LiveBefore + 1);
  }
  EXPECT_EQ(TestDriverC::live_count(), i32LiveBefore);
}

TEST(DeviceTableTest, DestructionReleasesEveryDriverOnce) {
  const int32_t i32LiveBefore = TestDriverC::live_count();
  {
    DeviceTableC rTable;
    rTable.add_device(TestDriverC::make(CLASS_OPENGL_DEVICEDRIVER));
    rTable.add_device(TestDriverC::make(CLASS_OPENGL_DEVICEDRIVER));
    rTable.add_device(TestDriverC::make(OTHER_CLASS, OTHER_FAMILY));
    EXPECT_EQ(TestDriverC::live_count(), i32LiveBefore + 3);
  }
  EXPECT_EQ(TestDriverC::live_count(), i32LiveBefore);
}
