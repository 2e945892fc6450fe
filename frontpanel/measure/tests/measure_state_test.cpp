// The measurement values start as the idle window expects them.
#include "measure_state.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <type_traits>

namespace {

bool allZero(const std::vector<float>& v) {
    return std::all_of(v.begin(), v.end(), [](float x) { return x == 0.0f; });
}

TEST(MeasureStateTest, StartsIdleWithEverythingZero) {
    static_assert(std::is_default_constructible_v<zr::MeasureState>);
    zr::MeasureState s;
    EXPECT_TRUE(s.stopflag);
    EXPECT_FALSE(s.singleflag);
    EXPECT_EQ(s.avgcount, 0);
    EXPECT_EQ(s.modeindex, 0);
    EXPECT_EQ(s.avgmode, 0);
    EXPECT_EQ(s.windowindex, 0);
    EXPECT_EQ(s.histbinsindex, 0);
    EXPECT_EQ(s.resampindex, 0);
    EXPECT_EQ(s.histmin, 0);
    EXPECT_EQ(s.histmax, 0);
    EXPECT_EQ(s.datamin, 0);
    EXPECT_EQ(s.datamax, 0);
    ASSERT_EQ(s.dispdata.size(), 131073u);
    ASSERT_EQ(s.avgdata.size(), 131073u);
    ASSERT_EQ(s.histdata.size(), 131073u);
    ASSERT_EQ(s.windowbuf.size(), 65537u);
    ASSERT_EQ(s.firkernel.size(), 12u);
    EXPECT_TRUE(allZero(s.dispdata));
    EXPECT_TRUE(allZero(s.avgdata));
    EXPECT_TRUE(allZero(s.histdata));
    EXPECT_TRUE(allZero(s.windowbuf));
    EXPECT_TRUE(allZero(s.firkernel));
}

} // namespace
