#include "corelib/keyinterpolation.h"

#include <algorithm>
#include <cfloat>
#include <cmath>

#include "corelib/animkeyc.h"
#include "corelib/animtrackc.h"

namespace {

// Key floats from a document can be finite yet so large that their products
// overflow. Tangents and values are kept finite: an infinity becomes the
// largest float of its sign, and a NaN (infinity minus infinity) becomes 0.
float saturate(float f32Value) {
  return std::isnan(f32Value) ? 0.0f : std::clamp(f32Value, -FLT_MAX, FLT_MAX);
}

// One key as the tangent rules see it. Components beyond the key's own count
// stay zero, so keys of another count never reach past their storage.
struct KeyPointS {
  int64_t m_i64Time = 0;
  float m_f32Tension = 0.0f;
  float m_f32Continuity = 0.0f;
  float m_f32Bias = 0.0f;
  bool m_bSmooth = false;
  float m_rValues[KEY_MAX_VALUES] = {};
  float m_rIn[KEY_MAX_VALUES] = {};
  float m_rOut[KEY_MAX_VALUES] = {};
};

KeyPointS read_point(AnimKeyC* pKey) {
  KeyPointS rPoint;
  rPoint.m_i64Time = pKey->get_time();
  rPoint.m_f32Tension = pKey->get_tension();
  rPoint.m_f32Continuity = pKey->get_continuity();
  rPoint.m_f32Bias = pKey->get_bias();
  rPoint.m_bSmooth = (pKey->get_flags() & KEY_SMOOTH) != 0;
  pKey->get_values(rPoint.m_rValues);
  pKey->get_in_tangent(rPoint.m_rIn);
  pKey->get_out_tangent(rPoint.m_rOut);
  return rPoint;
}

class TangentRulesC {
 public:
  TangentRulesC(const std::vector<AnimKeyC*>& rKeys, int32_t i32ValueCount)
      : m_i32ValueCount(i32ValueCount),
        m_i64LoopLength(static_cast<int64_t>(rKeys.back()->get_time()) - rKeys.front()->get_time()) {
    m_rPoints.reserve(rKeys.size());
    for (AnimKeyC* pKey : rKeys) {
      m_rPoints.push_back(read_point(pKey));
    }
  }

  void write_tangents(const std::vector<AnimKeyC*>& rKeys) const {
    for (size_t i = 0; i < rKeys.size(); ++i) {
      rKeys[i]->set_in_tangent(m_rPoints[i].m_rIn);
      rKeys[i]->set_out_tangent(m_rPoints[i].m_rOut);
    }
  }

  bool is_smooth(size_t i) const { return m_rPoints[i].m_bSmooth; }

  // Tension, continuity and bias of key K weigh the differences to its
  // neighbours A and Z. Across the wrap of a loop, neighbours on the wrong
  // side are moved by one cycle.
  void spline(size_t k, size_t a, size_t z, bool bAcrossWrap) {
    const KeyPointS rA = m_rPoints[a];
    const KeyPointS rZ = m_rPoints[z];
    KeyPointS& rK = m_rPoints[k];
    const float f32Tm = 0.5f * (1.0f - rK.m_f32Tension);
    const float f32Cm = 1.0f - rK.m_f32Continuity;
    const float f32Cp = 2.0f - f32Cm;
    const float f32Bm = 1.0f - rK.m_f32Bias;
    const float f32Bp = 2.0f - f32Bm;
    const float f32Ksm = f32Tm * f32Cm * f32Bp;
    const float f32Ksp = f32Tm * f32Cp * f32Bm;
    const float f32Kdm = f32Tm * f32Cp * f32Bp;
    const float f32Kdp = f32Tm * f32Cm * f32Bm;
    int64_t i64Ta = rA.m_i64Time;
    int64_t i64Tz = rZ.m_i64Time;
    const int64_t i64Tk = rK.m_i64Time;
    if (bAcrossWrap) {
      if (i64Tz <= i64Tk) {
        i64Tz += m_i64LoopLength;
      }
      if (i64Ta >= i64Tk) {
        i64Ta -= m_i64LoopLength;
      }
    }
    // Neighbours at one time leave no span to weigh: they count as evenly
    // spaced rather than dividing by zero.
    const float f32Dt = 0.5f * static_cast<float>(i64Tz - i64Ta);
    float f32Fa = 1.0f;
    float f32Fz = 1.0f;
    if (f32Dt != 0.0f) {
      f32Fa = static_cast<float>(i64Tk - i64Ta) / f32Dt;
      f32Fz = static_cast<float>(i64Tz - i64Tk) / f32Dt;
    }
    const float f32C = std::fabs(rK.m_f32Continuity);
    f32Fa = f32Fa + f32C - f32C * f32Fa;
    f32Fz = f32Fz + f32C - f32C * f32Fz;
    for (int32_t c = 0; c < m_i32ValueCount; ++c) {
      const float f32Dm = rK.m_rValues[c] - rA.m_rValues[c];
      const float f32Dp = rZ.m_rValues[c] - rK.m_rValues[c];
      rK.m_rIn[c] = saturate(f32Fa * (f32Ksm * f32Dm + f32Ksp * f32Dp));
      rK.m_rOut[c] = saturate(f32Fz * (f32Kdm * f32Dm + f32Kdp * f32Dp));
    }
  }

  // A's out-tangent, for a key A followed by a smooth key Z.
  void start(size_t a, size_t z) {
    KeyPointS& rA = m_rPoints[a];
    const KeyPointS& rZ = m_rPoints[z];
    for (int32_t c = 0; c < m_i32ValueCount; ++c) {
      rA.m_rOut[c] =
          saturate(0.5f * (1.0f - rA.m_f32Tension) * (3.0f * (rZ.m_rValues[c] - rA.m_rValues[c]) - rZ.m_rIn[c]));
    }
  }

  // Z's in-tangent, for a smooth key A followed by a key Z.
  void end(size_t a, size_t z) {
    const KeyPointS& rA = m_rPoints[a];
    KeyPointS& rZ = m_rPoints[z];
    for (int32_t c = 0; c < m_i32ValueCount; ++c) {
      rZ.m_rIn[c] =
          saturate(0.5f * (1.0f - rZ.m_f32Tension) * (3.0f * (rZ.m_rValues[c] - rA.m_rValues[c]) - rA.m_rOut[c]));
    }
  }

  void two_keys() {
    KeyPointS& rK0 = m_rPoints[0];
    KeyPointS& rK1 = m_rPoints[1];
    for (int32_t c = 0; c < m_i32ValueCount; ++c) {
      const float f32Delta = rK1.m_rValues[c] - rK0.m_rValues[c];
      rK0.m_rOut[c] = saturate((1.0f - rK0.m_f32Tension) * f32Delta);
      rK1.m_rIn[c] = saturate((1.0f - rK1.m_f32Tension) * f32Delta);
    }
  }

 private:
  int32_t m_i32ValueCount;
  int64_t m_i64LoopLength;
  std::vector<KeyPointS> m_rPoints;
};

}  // namespace

float ease(float f32U, float f32A, float f32B) {
  if (f32U == 0.0f || f32U == 1.0f) {
    return f32U;
  }
  const float f32Sum = f32A + f32B;
  if (f32Sum == 0.0f) {
    return f32U;
  }
  if (f32Sum > 1.0f) {
    f32A = f32A / f32Sum;
    f32B = f32B / f32Sum;
  }
  const float f32K = 1.0f / (2.0f - f32A - f32B);
  if (f32U < f32A) {
    return (f32K / f32A) * f32U * f32U;
  }
  if (f32U < 1.0f - f32B) {
    return f32K * (2.0f * f32U - f32A);
  }
  const float f32W = 1.0f - f32U;
  return 1.0f - (f32K / f32B) * f32W * f32W;
}

void interpolate_segment(AnimKeyC* pPrevious, AnimKeyC* pNext, int64_t i64Time, int32_t i32ValueCount, float* pOut) {
  const KeyPointS rP = read_point(pPrevious);
  const KeyPointS rN = read_point(pNext);
  const float f32U = static_cast<float>(i64Time - rP.m_i64Time) / static_cast<float>(rN.m_i64Time - rP.m_i64Time);
  const float f32S = ease(f32U, pPrevious->get_ease_out(), pNext->get_ease_in());
  const bool bLinear = (pPrevious->get_flags() & KEY_LINEAR) && (pNext->get_flags() & (KEY_LINEAR | KEY_HOLD));
  if (bLinear) {
    for (int32_t c = 0; c < i32ValueCount; ++c) {
      pOut[c] = saturate(rP.m_rValues[c] + (rN.m_rValues[c] - rP.m_rValues[c]) * f32S);
    }
    return;
  }
  const float f32S2 = f32S * f32S;
  const float f32S3 = f32S2 * f32S;
  const float f32H1 = 2.0f * f32S3 - 3.0f * f32S2 + 1.0f;
  const float f32H2 = 3.0f * f32S2 - 2.0f * f32S3;
  const float f32H3 = f32S3 - 2.0f * f32S2 + f32S;
  const float f32H4 = f32S3 - f32S2;
  for (int32_t c = 0; c < i32ValueCount; ++c) {
    pOut[c] = saturate(f32H1 * rP.m_rValues[c] + f32H2 * rN.m_rValues[c] + f32H3 * rP.m_rOut[c] + f32H4 * rN.m_rIn[c]);
  }
}

// The steps run in this order because later ones read tangents that earlier
// ones wrote. In a loop the first and last keys are one point of the cycle.
void prepare_tangents(const std::vector<AnimKeyC*>& rKeys, int32_t i32ValueCount, int32_t i32BeforeMode,
                      int32_t i32AfterMode) {
  const size_t n = rKeys.size();
  if (n < 2) {
    return;
  }
  TangentRulesC rRules(rKeys, i32ValueCount);
  if (n == 2 && rRules.is_smooth(0) && rRules.is_smooth(1)) {
    rRules.two_keys();
    rRules.write_tangents(rKeys);
    return;
  }
  for (size_t i = 1; i + 1 < n; ++i) {
    if (rRules.is_smooth(i)) {
      rRules.spline(i, i - 1, i + 1, false);
    }
  }
  for (size_t i = 0; i + 1 < n; ++i) {
    if (!rRules.is_smooth(i) && rRules.is_smooth(i + 1)) {
      rRules.start(i, i + 1);
    }
  }
  if (rRules.is_smooth(0)) {
    if (i32BeforeMode == TRACK_MODE_LOOP) {
      rRules.spline(0, n - 2, 1, true);
    } else {
      rRules.start(0, 1);
    }
  }
  for (size_t i = 1; i < n; ++i) {
    if (!rRules.is_smooth(i) && rRules.is_smooth(i - 1)) {
      rRules.end(i - 1, i);
    }
  }
  if (rRules.is_smooth(n - 1)) {
    if (i32AfterMode == TRACK_MODE_LOOP) {
      rRules.spline(n - 1, n - 2, 1, true);
    } else {
      rRules.end(n - 2, n - 1);
    }
  }
  rRules.write_tangents(rKeys);
}
