#include <gtest/gtest.h>

#include <cmath>

#include "corelib/affine2c.h"
#include "corelib/box2c.h"
#include "corelib/rgbacolorc.h"
#include "corelib/vector2c.h"

namespace {

constexpr float HALF_PI = 1.57079632679f;

void expect_near(const Vector2C& rActual, float f32X, float f32Y) {
  EXPECT_NEAR(rActual.m_f32X, f32X, 1e-6f);
  EXPECT_NEAR(rActual.m_f32Y, f32Y, 1e-6f);
}

Affine2C translation(float f32X, float f32Y) {
  Affine2C rMatrix;
  rMatrix.set_trans(Vector2C(f32X, f32Y));
  return rMatrix;
}

Affine2C rotation(float f32Angle) {
  Affine2C rMatrix;
  rMatrix.set_rot(f32Angle);
  return rMatrix;
}

}  // namespace

TEST(Vector2Test, NormalizeScalesToUnitLengthAndKeepsZero) {
  expect_near(Vector2C(3.0f, 4.0f).normalize(), 0.6f, 0.8f);
  expect_near(Vector2C(-5.0f, 0.0f).normalize(), -1.0f, 0.0f);
  EXPECT_EQ(Vector2C(0.0f, 0.0f).normalize(), Vector2C(0.0f, 0.0f));
  expect_near(Vector2C(3e30f, 4e30f).normalize(), 0.6f, 0.8f);
}

TEST(Vector2Test, ElementAccessAndComparison) {
  const float rValues[2] = {1.5f, -2.5f};
  Vector2C rVector(rValues);
  EXPECT_EQ(rVector[0], 1.5f);
  EXPECT_EQ(rVector[1], -2.5f);
  rVector[1] = 7.0f;
  EXPECT_EQ(rVector.m_f32Y, 7.0f);
  EXPECT_EQ(rVector, Vector2C(1.5f, 7.0f));
  EXPECT_NE(rVector, Vector2C(1.5f, 7.0001f));
  EXPECT_EQ(Vector2C(), Vector2C(0.0f, 0.0f));
}

TEST(Vector2DeathTest, IndexOutsideTwoElementsIsAnAssertion) {
  Vector2C rVector(1.0f, 2.0f);
  EXPECT_DEATH(static_cast<void>(rVector[2]), "Assertion failed: i >= 0 && i < 2");
  EXPECT_DEATH(static_cast<void>(rVector[-1]), "Assertion failed: i >= 0 && i < 2");
}

TEST(Box2Test, CornerAccessAndNormalize) {
  Box2C rBox(Vector2C(5.0f, 5.0f), Vector2C(1.0f, 1.0f));
  EXPECT_EQ(rBox[0], Vector2C(5.0f, 5.0f));
  EXPECT_EQ(rBox[1], Vector2C(1.0f, 1.0f));
  EXPECT_EQ(rBox[7], Vector2C(1.0f, 1.0f));

  Box2C rNormal = rBox.normalize();
  EXPECT_EQ(rNormal.m_rMin, Vector2C(1.0f, 1.0f));
  EXPECT_EQ(rNormal.m_rMax, Vector2C(5.0f, 5.0f));
}

TEST(Box2Test, CombineIsTheUnion) {
  Box2C rUnit(Vector2C(0.0f, 0.0f), Vector2C(1.0f, 1.0f));
  Box2C rUnion = rUnit.combine(Box2C(Vector2C(2.0f, -1.0f), Vector2C(3.0f, 0.5f)));
  EXPECT_EQ(rUnion.m_rMin, Vector2C(0.0f, -1.0f));
  EXPECT_EQ(rUnion.m_rMax, Vector2C(3.0f, 1.0f));

  Box2C rFromReversed = Box2C(Vector2C(1.0f, 1.0f), Vector2C(0.0f, 0.0f)).combine(rUnit);
  EXPECT_EQ(rFromReversed.m_rMin, Vector2C(0.0f, 0.0f));
  EXPECT_EQ(rFromReversed.m_rMax, Vector2C(1.0f, 1.0f));
}

TEST(Box2Test, ClipCutsAndCollapsesDisjointBoxesOntoTheNearestEdge) {
  Box2C rUnit(Vector2C(0.0f, 0.0f), Vector2C(1.0f, 1.0f));
  Box2C rBelow = rUnit.clip(Box2C(Vector2C(2.0f, 2.0f), Vector2C(3.0f, 3.0f)));
  EXPECT_EQ(rBelow.m_rMin, Vector2C(2.0f, 2.0f));
  EXPECT_EQ(rBelow.m_rMax, Vector2C(2.0f, 2.0f));

  Box2C rAbove = rUnit.clip(Box2C(Vector2C(-3.0f, -3.0f), Vector2C(-2.0f, -2.0f)));
  EXPECT_EQ(rAbove.m_rMin, Vector2C(-2.0f, -2.0f));
  EXPECT_EQ(rAbove.m_rMax, Vector2C(-2.0f, -2.0f));

  Box2C rOverlap = Box2C(Vector2C(4.0f, 4.0f), Vector2C(-1.0f, 0.5f)).clip(rUnit);
  EXPECT_EQ(rOverlap.m_rMin, Vector2C(0.0f, 0.5f));
  EXPECT_EQ(rOverlap.m_rMax, Vector2C(1.0f, 1.0f));
}

TEST(Affine2Test, BasicTransformsMapPointsAsRowVectors) {
  Affine2C rZero;
  EXPECT_EQ(rZero.transform(Vector2C(3.0f, 4.0f)), Vector2C(0.0f, 0.0f));

  Affine2C rIdentity;
  rIdentity.set_identity();
  EXPECT_EQ(rIdentity.transform(Vector2C(3.0f, 4.0f)), Vector2C(3.0f, 4.0f));

  EXPECT_EQ(translation(1.0f, -2.0f).transform(Vector2C(3.0f, 4.0f)), Vector2C(4.0f, 2.0f));

  Affine2C rScale;
  rScale.set_scale(Vector2C(2.0f, 3.0f));
  EXPECT_EQ(rScale.transform(Vector2C(3.0f, 4.0f)), Vector2C(6.0f, 12.0f));

  expect_near(rotation(HALF_PI).transform(Vector2C(1.0f, 0.0f)), 0.0f, 1.0f);
}

TEST(Affine2Test, ProductAppliesTheLeftMatrixFirst) {
  Affine2C rMoveThenTurn = translation(1.0f, 0.0f) * rotation(HALF_PI);
  expect_near(rMoveThenTurn.transform(Vector2C(1.0f, 0.0f)), 0.0f, 2.0f);

  Affine2C rTurnThenMove = rotation(HALF_PI) * translation(1.0f, 0.0f);
  expect_near(rTurnThenMove.transform(Vector2C(1.0f, 0.0f)), 1.0f, 1.0f);
}

TEST(RgbaColorTest, BytesAreScaledAndComparisonCoversEveryComponent) {
  RgbaColorC rColor(static_cast<uint8_t>(255), static_cast<uint8_t>(0), static_cast<uint8_t>(128),
                    static_cast<uint8_t>(255));
  EXPECT_EQ(rColor, RgbaColorC(1.0f, 0.0f, 128.0f / 255.0f, 1.0f));
  EXPECT_NE(rColor, RgbaColorC(1.0f, 0.0f, 128.0f / 255.0f, 0.5f));
  EXPECT_NE(rColor, RgbaColorC(0.0f, 0.0f, 128.0f / 255.0f, 1.0f));
}
