// Two threads make the first resampler calls of the process at the same
// moment; both must see the completed kernel table and so produce identical
// outputs. This file holds a single test so that, run in its own process,
// the race is the first use of the resampler.
#include "zrdsp_32.h"

#ifndef ZRDSP_RACE_NO_REFERENCE
#include "fir_resample_reference.hpp"
#endif

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <thread>
#include <vector>

namespace {

struct RaceRun {
    std::vector<float> out;
    int32_t produced = -1;
    float position = 0.0f;
    float history[11] = {};
};

std::vector<float> test_signal(int n) {
    std::vector<float> x(n);
    for (int i = 0; i < n; ++i)
        x[i] = static_cast<float>(std::sin(0.05 * i) + 0.25 * std::cos(0.31 * i));
    return x;
}

void run_resampler(const std::vector<float>& in, RaceRun& r) {
    r.out.assign(8192, -1.0f);
    r.position = 3.25f;
    zrdsp_resample(in.data(), static_cast<int32_t>(in.size()), r.out.data(),
                   static_cast<int32_t>(r.out.size()), &r.produced, &r.position, 0.3f, r.history);
}

TEST(ResampleRace, FirstCallsFromTwoThreadsAgree) {
    const std::vector<float> in = test_signal(2000);
    RaceRun a, b;
    std::atomic<int> ready{0};
    auto worker = [&](RaceRun& r) {
        ready.fetch_add(1);
        while (ready.load() < 2) {
            // spin until both threads are here, then call at the same moment
        }
        run_resampler(in, r);
    };
    std::thread t1(worker, std::ref(a));
    std::thread t2(worker, std::ref(b));
    t1.join();
    t2.join();

    ASSERT_GT(a.produced, 6000);
    ASSERT_EQ(a.produced, b.produced);
    EXPECT_EQ(a.position, b.position);
    EXPECT_EQ(0, std::memcmp(a.out.data(), b.out.data(), sizeof(float) * a.produced));
    EXPECT_EQ(0, std::memcmp(a.history, b.history, sizeof a.history));

    // Neither thread saw a half-built table: a later call (table long since
    // complete) gives the same outputs.
    RaceRun c;
    run_resampler(in, c);
    ASSERT_EQ(c.produced, a.produced);
    EXPECT_EQ(0, std::memcmp(a.out.data(), c.out.data(), sizeof(float) * a.produced));

#ifndef ZRDSP_RACE_NO_REFERENCE
    // And the independent reference agrees.
    RaceRun d;
    d.out.assign(8192, -1.0f);
    d.position = 3.25f;
    zr::ref::resample(in.data(), static_cast<int32_t>(in.size()), d.out.data(),
                      static_cast<int32_t>(d.out.size()), &d.produced, &d.position, 0.3f,
                      d.history);
    ASSERT_EQ(d.produced, a.produced);
    EXPECT_EQ(0, std::memcmp(a.out.data(), d.out.data(), sizeof(float) * a.produced));
#endif
}

} // namespace
