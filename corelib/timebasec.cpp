#include "corelib/timebasec.h"

namespace {

double compute_ticks_per_second(int32_t i32Tempo, int32_t i32BeatUnits, int32_t i32TickDivision) {
  const double f64TempoUnits = static_cast<double>(i32Tempo) * static_cast<double>(i32BeatUnits);
  // The division cancels out; a scene without one still gets the same rate.
  if (i32TickDivision <= 0) {
    return f64TempoUnits * 256.0 / 60.0;
  }
  const double f64Division = static_cast<double>(i32TickDivision);
  return ((f64TempoUnits * f64Division) / 60.0) * (256.0 / f64Division);
}

}  // namespace

TimeBaseC::TimeBaseC(int32_t i32Tempo, int32_t i32BeatUnits, int32_t i32TickDivision)
    : m_i32Tempo(i32Tempo),
      m_i32BeatUnits(i32BeatUnits),
      m_i32TickDivision(i32TickDivision),
      m_f64TicksPerSecond(compute_ticks_per_second(i32Tempo, i32BeatUnits, i32TickDivision)) {}

// A zero rate would give an infinite or undefined time, which callers truncate to int32.
double TimeBaseC::to_ticks(double f64Value, double f64UnitsPerSecond) {
  if (f64UnitsPerSecond == 0.0) {
    return 0.0;
  }
  return f64Value / f64UnitsPerSecond * m_f64TicksPerSecond;
}

double TimeBaseC::from_ticks(double f64Ticks, double f64UnitsPerSecond) {
  if (m_f64TicksPerSecond == 0.0) {
    return 0.0;
  }
  return f64Ticks / m_f64TicksPerSecond * f64UnitsPerSecond;
}

int32_t TimeBaseC::get_tempo() {
  return m_i32Tempo;
}

int32_t TimeBaseC::get_beat_units() {
  return m_i32BeatUnits;
}

int32_t TimeBaseC::get_tick_division() {
  return m_i32TickDivision;
}
