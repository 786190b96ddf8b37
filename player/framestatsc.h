#ifndef PLAYER_FRAMESTATSC_H
#define PLAYER_FRAMESTATSC_H

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <vector>

#include "player/playerc.h"

// What --stats prints at the end: how many frames were drawn and how evenly,
// and how far the music strayed from the clock.
class FrameStatsC : public FrameObserverC {
 public:
  // pClock is the player's, asked for the music's drift each frame.
  explicit FrameStatsC(PlaybackClockC* pClock) : m_pClock(pClock) {}

  void frame_drawn(int32_t i32FrameTime) override;
  void print(FILE* pOut) const;

  // The time between frame k and k + 1, in milliseconds.
  const std::vector<double>& frame_times() const { return m_rFrameTimes; }

 private:
  using ClockT = std::chrono::steady_clock;

  PlaybackClockC* m_pClock;
  int64_t m_i64Frames = 0;
  ClockT::time_point m_rFirst;
  ClockT::time_point m_rLast;
  std::vector<double> m_rFrameTimes;
  int32_t m_i32RefreshHz = 0;
  bool m_bMusic = false;
  int32_t m_i32LargestDriftMs = 0;
};

// The value below which the given share (0 to 1) of the sorted values lie,
// the nearest rank; 0 for none.
double percentile(const std::vector<double>& rSorted, double f64Share);

#endif
