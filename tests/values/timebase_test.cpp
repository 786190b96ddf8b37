#include <gtest/gtest.h>

#include <cmath>

#include "corelib/timebasec.h"

TEST(TimeBaseTest, SceneDefaultsConvertBetweenTicksAndOtherUnits) {
  TimeBaseC rTime(120, 4, 2);
  EXPECT_DOUBLE_EQ(rTime.get_ticks_per_second(), 2048.0);
  EXPECT_DOUBLE_EQ(rTime.to_ticks(1000.0, 1000.0), 2048.0);
  EXPECT_DOUBLE_EQ(rTime.from_ticks(2048.0, 25.0), 25.0);
  EXPECT_DOUBLE_EQ(rTime.to_ticks(0.0, 25.0), 0.0);
  EXPECT_DOUBLE_EQ(rTime.to_ticks(0.0, -3.0), 0.0);
  EXPECT_EQ(rTime.get_tempo(), 120);
  EXPECT_EQ(rTime.get_beat_units(), 4);
  EXPECT_EQ(rTime.get_tick_division(), 2);
}

TEST(TimeBaseTest, RateDoesNotDependOnTheTickDivision) {
  EXPECT_DOUBLE_EQ(TimeBaseC(90, 4, 8).get_ticks_per_second(), 1536.0);
  EXPECT_DOUBLE_EQ(TimeBaseC(90, 4, 7).get_ticks_per_second(), 1536.0);
}

TEST(TimeBaseTest, LargeSettingsDoNotOverflow) {
  TimeBaseC rTime(2000000, 2000000, 2000000);
  EXPECT_DOUBLE_EQ(rTime.get_ticks_per_second(), 2000000.0 * 2000000.0 * 256.0 / 60.0);
}

TEST(TimeBaseTest, MissingTickDivisionOrRateGivesFiniteResults) {
  TimeBaseC rNoDivision(120, 4, 0);
  EXPECT_DOUBLE_EQ(rNoDivision.get_ticks_per_second(), 2048.0);
  EXPECT_EQ(rNoDivision.get_tick_division(), 0);
  EXPECT_DOUBLE_EQ(TimeBaseC(120, 4, -2).get_ticks_per_second(), 2048.0);

  TimeBaseC rNoTempo(0, 4, 2);
  EXPECT_DOUBLE_EQ(rNoTempo.get_ticks_per_second(), 0.0);
  EXPECT_DOUBLE_EQ(rNoTempo.from_ticks(2048.0, 25.0), 0.0);

  TimeBaseC rTime(120, 4, 2);
  EXPECT_DOUBLE_EQ(rTime.to_ticks(100.0, 0.0), 0.0);
}
