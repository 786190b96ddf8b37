#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "corelib/animkeyc.h"
#include "corelib/animtrackc.h"
#include "corelib/keyinterpolation.h"

namespace {

using FloatsT = std::vector<float>;

struct KeyS {
  int32_t i32Time;
  FloatsT rValues;
  uint32_t ui32Flags = KEY_SMOOTH;
};

// Keys in time order, released with the test. New keys have zero tangents, so
// a prepare() here depends on no earlier run.
class KeysC {
 public:
  explicit KeysC(const std::vector<KeyS>& rKeys) {
    for (const KeyS& rKey : rKeys) {
      AnimKeyC* pKey = AnimKeyC::create_key(static_cast<int32_t>(rKey.rValues.size()));
      pKey->set_time(rKey.i32Time);
      pKey->set_values(rKey.rValues.data());
      pKey->set_flags(rKey.ui32Flags);
      m_rKeys.push_back(pKey);
    }
  }
  ~KeysC() {
    for (AnimKeyC* pKey : m_rKeys) {
      pKey->release();
    }
  }

  AnimKeyC* operator[](size_t uIndex) { return m_rKeys[uIndex]; }

  void prepare(int32_t i32BeforeMode = TRACK_MODE_CONSTANT, int32_t i32AfterMode = TRACK_MODE_CONSTANT) {
    prepare_tangents(m_rKeys, m_rKeys[0]->get_value_count(), i32BeforeMode, i32AfterMode);
  }

  // The segment from key uIndex to the next, at i64Time.
  FloatsT segment(size_t uIndex, int64_t i64Time) {
    FloatsT rOut(static_cast<size_t>(m_rKeys[uIndex]->get_value_count()), -99.0f);
    interpolate_segment(m_rKeys[uIndex], m_rKeys[uIndex + 1], i64Time, static_cast<int32_t>(rOut.size()), rOut.data());
    return rOut;
  }

 private:
  std::vector<AnimKeyC*> m_rKeys;
};

// In-tangent, then out-tangent.
FloatsT tangents_of(AnimKeyC* pKey) {
  const size_t uCount = static_cast<size_t>(pKey->get_value_count());
  FloatsT rOut(2 * uCount);
  pKey->get_in_tangent(rOut.data());
  pKey->get_out_tangent(rOut.data() + uCount);
  return rOut;
}

void expect_near(const FloatsT& rExpected, const FloatsT& rActual) {
  ASSERT_EQ(rExpected.size(), rActual.size());
  for (size_t i = 0; i < rExpected.size(); ++i) {
    EXPECT_NEAR(rExpected[i], rActual[i], 1e-5f) << "component " << i;
  }
}

}  // namespace

TEST(Ease, FollowsTheEasingCurve) {
  EXPECT_FLOAT_EQ(0.3f, ease(0.3f, 0.0f, 0.0f));
  EXPECT_FLOAT_EQ(1.0f, ease(1.0f, 0.5f, 0.5f));
  // a = b = 0.5: 2u² below the middle, 1 - 2(1 - u)² above; a = b = 1 is scaled to that.
  EXPECT_NEAR(2.0f * 0.2f * 0.2f, ease(0.2f, 0.5f, 0.5f), 1e-6f);
  EXPECT_NEAR(1.0f - 2.0f * 0.3f * 0.3f, ease(0.7f, 0.5f, 0.5f), 1e-6f);
  EXPECT_NEAR(2.0f * 0.25f * 0.25f, ease(0.25f, 1.0f, 1.0f), 1e-6f);
  // a = b = 0.2: k = 1/1.6 and the straight middle k(2u - a).
  EXPECT_NEAR(0.375f, ease(0.4f, 0.2f, 0.2f), 1e-6f);
}

TEST(Segment, LinearKeysGoStraightAndEase) {
  KeysC rKeys({{0, {0.0f, 20.0f}, KEY_LINEAR}, {100, {10.0f, -20.0f}, KEY_HOLD}, {200, {0.0f, 0.0f}, KEY_LINEAR}});
  // A hold key at the end still gets a straight segment.
  expect_near({3.0f, 8.0f}, rKeys.segment(0, 30));
  // Ease out 0.5 of the previous key, ease in 0 of the next: k = 2/3, s = (k/a)u² = 1/12 at u = 0.25.
  rKeys[1]->set_flags(KEY_LINEAR);
  rKeys[1]->set_ease_out(0.5f);
  expect_near({10.0f - 10.0f / 12.0f, -20.0f + 20.0f / 12.0f}, rKeys.segment(1, 125));
}

TEST(Segment, LinearBeforeSmoothUsesHermiteWithTheStartRuleTangent) {
  KeysC rKeys({{0, {0.0f}, KEY_LINEAR}, {100, {10.0f}}});
  rKeys.prepare();
  // Start rule: out = 0.5 · (3 · 10 - 0) = 15; then end rule: in = 0.5 · (3 · 10 - 15) = 7.5.
  expect_near({0.0f, 15.0f}, tangents_of(rKeys[0]));
  expect_near({7.5f, 0.0f}, tangents_of(rKeys[1]));
  // s = 0.5: h1 = h2 = 0.5, h3 = 0.125, h4 = -0.125.
  expect_near({5.0f + 0.125f * 15.0f - 0.125f * 7.5f}, rKeys.segment(0, 50));
}

TEST(Tangents, SmoothKeysFollowTheSplineRule) {
  KeysC rTwo({{0, {0.0f}}, {100, {10.0f}}});
  rTwo.prepare();
  expect_near({0.0f, 10.0f}, tangents_of(rTwo[0]));
  expect_near({10.0f, 0.0f}, tangents_of(rTwo[1]));
  expect_near({2.5f}, rTwo.segment(0, 25));
  expect_near({5.0f}, rTwo.segment(0, 50));

  KeysC rThree({{0, {0.0f, 10.0f}}, {50, {4.0f, 5.0f}}, {100, {12.0f, 0.0f}}});
  rThree.prepare();
  // Catmull-Rom 0.5 · ((V - Va) + (Vz - V)) per component; the last key's end rule 0.5 · (3 · (Vz - V) - out).
  expect_near({6.0f, -5.0f, 6.0f, -5.0f}, tangents_of(rThree[1]));
  EXPECT_NEAR(9.0f, tangents_of(rThree[2])[0], 1e-5f);
  // s = 0.5: 0.5 · (4 + 12) + 0.125 · (6 - 9), and 0.5 · 5 + 0.125 · (-5 + 5).
  expect_near({7.625f, 2.5f}, rThree.segment(1, 75));
}

TEST(Tangents, SpacingScalesUnlessContinuityIsFull) {
  KeysC rKeys({{0, {0.0f}}, {20, {2.0f}}, {100, {10.0f}}});
  // dt = 50: fa = 20/50 and fz = 80/50 times 0.5 · (2 + 8).
  rKeys.prepare();
  expect_near({2.0f, 8.0f}, tangents_of(rKeys[1]));
  // C = 1: fa = fz = 1, ksm = kdp = 0, ksp = kdm = 1: in = dp, out = dm.
  rKeys[1]->set_continuity(1.0f);
  rKeys.prepare();
  expect_near({8.0f, 2.0f}, tangents_of(rKeys[1]));
  // C = -1 counts through |C| as well; ksp = kdm = 0: in = dm, out = dp.
  rKeys[1]->set_continuity(-1.0f);
  rKeys.prepare();
  expect_near({2.0f, 8.0f}, tangents_of(rKeys[1]));

  // Neighbours at one time count as evenly spaced.
  KeysC rPoint({{10, {0.0f}}, {10, {4.0f}}, {10, {12.0f}}});
  rPoint.prepare(TRACK_MODE_LOOP, TRACK_MODE_LOOP);
  expect_near({6.0f, 6.0f}, tangents_of(rPoint[1]));
}

TEST(Tangents, LoopModeTakesNeighboursAcrossTheWrap) {
  // Both neighbours of the last key are key 1, so dp = -dm = 6; bias 0.5 makes
  // ksm = kdm = 0.75 and ksp = kdp = 0.25: in = fa · 0.5 · dm, out = fz · 0.5 · dm.
  KeysC rKeys({{0, {0.0f}}, {40, {8.0f}}, {100, {2.0f}}});
  rKeys[2]->set_bias(0.5f);
  rKeys.prepare(TRACK_MODE_CONSTANT, TRACK_MODE_LOOP);
  // Key 1 at 40 and 140: dt = 50, fa = 60/50, fz = 40/50.
  expect_near({1.2f * 0.5f * -6.0f, 0.8f * 0.5f * -6.0f}, tangents_of(rKeys[2]));

  // Before the first key, key n-2 at 70 is seen at -30: dt = 35, dm = 0 - 5, dp = 8 - 0.
  KeysC rFour({{0, {0.0f}}, {40, {8.0f}}, {70, {5.0f}}, {100, {2.0f}}});
  rFour.prepare(TRACK_MODE_LOOP, TRACK_MODE_CONSTANT);
  expect_near({(30.0f / 35.0f) * 0.5f * 3.0f, (40.0f / 35.0f) * 0.5f * 3.0f}, tangents_of(rFour[0]));
}

TEST(Tangents, FarApartTimesStayExact) {
  // Loop length 4e9 and key 1 seen at 4e9 lie beyond 32 bits. Around 2e9 the
  // spacing is even: in = out = 0.5 · (4 - 10) with bias 0.5 as above.
  KeysC rKeys({{-2000000000, {0.0f}}, {0, {10.0f}}, {2000000000, {4.0f}}});
  rKeys[2]->set_bias(0.5f);
  rKeys.prepare(TRACK_MODE_CONSTANT, TRACK_MODE_LOOP);
  expect_near({-3.0f, -3.0f}, tangents_of(rKeys[2]));
}
