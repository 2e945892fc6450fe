// Optional accounting of where the measurement loop spends its time. The window accumulates into
// it only while one is attached (a null pointer costs one test per stage), so the loop benchmark
// can split a pass into its stages without a separate code path.
#pragma once

#include <chrono>
#include <cstdint>
#if defined(__unix__)
#include <time.h>
#endif

namespace zr {

struct LoopTiming {
    int64_t passes = 0;      // passes run
    int64_t blocks = 0;      // passes that delivered a block (status 0)
    int64_t acquireNs = 0;   // driver read or simulated acquisition, and the re-arm
    int64_t processNs = 0;   // transform, averaging and conversion of the block, all together
    int64_t transformNs = 0; // of processNs: spectrum library calls
    int64_t resampleNs = 0;  // of processNs: the resampling stage (equaliser and resampler)
    int64_t drawNs = 0;      // every redraw of the graph (after the block and after the yield)
    int64_t yieldNs = 0;     // dispatching pending window events
};

// Time of the calling thread in nanoseconds: its processor time where the system offers it (so
// that other processes on a busy machine do not inflate the stages), otherwise elapsed time.
inline int64_t stageClockNs() {
#if defined(__unix__) && defined(CLOCK_THREAD_CPUTIME_ID)
    timespec ts{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &ts);
    return static_cast<int64_t>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
#else
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
#endif
}

// Adds the time from construction to destruction to *sink; does nothing when sink is null.
class StageTimer {
public:
    explicit StageTimer(int64_t* sink) : sink_(sink) {
        if (sink_ != nullptr) {
            start_ = stageClockNs();
        }
    }
    ~StageTimer() {
        if (sink_ != nullptr) {
            *sink_ += stageClockNs() - start_;
        }
    }
    StageTimer(const StageTimer&) = delete;
    StageTimer& operator=(const StageTimer&) = delete;

private:
    int64_t* sink_;
    int64_t start_ = 0;
};

} // namespace zr
