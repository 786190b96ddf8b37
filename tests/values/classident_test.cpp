#include <gtest/gtest.h>

#include "corelib/classidentc.h"

TEST(ClassIdentTest, HalvesAreComparedInOrder) {
  ClassIdentC rDriver(0x00000000, 0x00002710);
  EXPECT_EQ(rDriver, CLASS_OPENGL_DEVICEDRIVER);
  EXPECT_FALSE(rDriver != CLASS_OPENGL_DEVICEDRIVER);
  EXPECT_NE(rDriver, ClassIdentC(0x00002710, 0x00000000));
  EXPECT_NE(rDriver, CLASS_DEVICE_0x2711);
  EXPECT_EQ(rDriver.get_first(), 0x00000000u);
  EXPECT_EQ(rDriver.get_second(), 0x00002710u);

  ClassIdentC rCopy;
  rCopy = ClassIdentC(0x311832A9, 0x166D4653);
  EXPECT_EQ(rCopy, ClassIdentC(rCopy));
  EXPECT_EQ(rCopy.get_first(), 0x311832A9u);
}

TEST(ClassIdentTest, DefaultsAreTheNullIdentifiers) {
  EXPECT_EQ(ClassIdentC(), NULL_CLASSID);
  EXPECT_EQ(NULL_CLASSID, ClassIdentC(0, 0));
  EXPECT_EQ(SuperClassIdentC(), NULL_SUPERCLASSID);
  EXPECT_EQ(NULL_SUPERCLASSID.get_value(), 0u);
}

TEST(SuperClassIdentTest, FamiliesCompareByExactValue) {
  EXPECT_NE(SuperClassIdentC(0x02000000), SuperClassIdentC(0x02000002));
  EXPECT_EQ(SuperClassIdentC(0x02000002), SUPERCLASS_VIDEO_IMPORTABLE);
  EXPECT_FALSE(SuperClassIdentC(0x02000002) != SUPERCLASS_VIDEO_IMPORTABLE);
  EXPECT_EQ(SUPERCLASS_GRAPHICS_DEVICE.get_value(), 0x03000001u);
  EXPECT_EQ(SUPERCLASS_VIEWPORT_INTERFACE.get_value(), 0x03000002u);
  EXPECT_EQ(SUPERCLASS_EFFECT.get_value(), 0x01000000u);
}
