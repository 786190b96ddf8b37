#ifndef CORELIB_TIMEBASEC_H
#define CORELIB_TIMEBASEC_H

#include <cstdint>

// The scene's timing settings, lent to effects and importables, with the
// conversions between ticks and other units.
class TimeBaseC {
 public:
  TimeBaseC(int32_t i32Tempo, int32_t i32BeatUnits, int32_t i32TickDivision);
  TimeBaseC(const TimeBaseC&) = default;
  TimeBaseC& operator=(const TimeBaseC&) = default;

  virtual ~TimeBaseC() = default;
  // value / units per second, in ticks.
  virtual double to_ticks(double f64Value, double f64UnitsPerSecond);
  // ticks, in units per second.
  virtual double from_ticks(double f64Ticks, double f64UnitsPerSecond);
  virtual int32_t get_tempo();
  virtual int32_t get_beat_units();
  virtual int32_t get_tick_division();

  double get_ticks_per_second() const { return m_f64TicksPerSecond; }

 private:
  int32_t m_i32Tempo;
  int32_t m_i32BeatUnits;
  int32_t m_i32TickDivision;
  double m_f64TicksPerSecond;
};

#endif
