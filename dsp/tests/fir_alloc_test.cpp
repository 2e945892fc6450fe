// FIR design and long-filter FIR calls when the heap cannot supply their
// work memory: the design reports status 3 and writes no taps, the filter
// leaves output and state untouched. The array forms of operator new and
// delete are replaced in this program (the library's calls bind to them),
// so that a switch can make the no-throw allocation fail.
#include "zrdsp_32.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <new>
#include <vector>

namespace {

bool g_fail_nothrow_arrays = false;
int g_refused = 0;

// Makes the no-throw array allocations fail while it lives, counting them.
struct FailingHeap {
    FailingHeap() {
        g_refused = 0;
        g_fail_nothrow_arrays = true;
    }
    ~FailingHeap() { g_fail_nothrow_arrays = false; }
};

} // namespace

void* operator new[](std::size_t n) {
    if (void* p = std::malloc(n ? n : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
    if (g_fail_nothrow_arrays) {
        ++g_refused;
        return nullptr;
    }
    return std::malloc(n ? n : 1);
}
void operator delete[](void* p) noexcept {
    std::free(p);
}
void operator delete[](void* p, std::size_t) noexcept {
    std::free(p);
}
void operator delete[](void* p, const std::nothrow_t&) noexcept {
    std::free(p);
}

TEST(FirAllocation, DesignWithoutWorkMemoryReportsStatusThreeAndWritesNothing) {
    const int npts = 32;
    std::vector<double> desired(2 * npts + 2, 0.0), weights(npts + 1, 1.0);
    for (std::size_t i = 0; i < weights.size(); ++i)
        desired[2 * i] = 1.0;
    std::vector<double> taps(8, 9.0);
    {
        FailingHeap fail;
        EXPECT_EQ(zrdsp_fir_synth(desired.data(), weights.data(), npts, 0.0, taps.data(), 8), 3.0);
        EXPECT_GT(g_refused, 0);
    }
    EXPECT_EQ(taps, std::vector<double>(8, 9.0));
    // With memory available the same call succeeds.
    EXPECT_EQ(zrdsp_fir_synth(desired.data(), weights.data(), npts, 0.0, taps.data(), 8), 0.0);
    EXPECT_NEAR(taps[0], 1.0, 1e-12);
}

TEST(FirAllocation, LongFilterWithoutWorkMemoryLeavesEverythingUntouched) {
    const int nt = 1000, n = 3000;
    std::vector<float> taps(nt, 0.5f), in(n, 1.0f), out(n, 7.0f), state(nt, 2.0f);
    {
        FailingHeap fail;
        zrdsp_fir(in.data(), out.data(), n, taps.data(), nt, state.data());
        EXPECT_GT(g_refused, 0);
    }
    EXPECT_EQ(out, std::vector<float>(n, 7.0f));
    EXPECT_EQ(state, std::vector<float>(nt, 2.0f));
    // Short filters need no heap memory at all.
    std::vector<float> t11(11, 0.0f), s11(11, 0.0f);
    t11[10] = 1.0f;
    {
        FailingHeap fail;
        zrdsp_fir(in.data(), out.data(), n, t11.data(), 11, s11.data());
        EXPECT_EQ(g_refused, 0);
    }
    EXPECT_EQ(out[0], 1.0f);
}
