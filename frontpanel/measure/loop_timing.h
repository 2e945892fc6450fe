// Optional accounting of where the measurement loop spends its time. The window accumulates into
// it only while one is attached (a null pointer costs one test per stage), so the loop benchmark
// can split a pass into its stages without a separate code path.
#pragma once

#include <chrono>
#include <cstdint>

namespace zr {

struct LoopTiming {
    int64_t passes = 0;      // passes run
    int64_t blocks = 0;      // passes that delivered a block (status 0)
    int64_t acquireNs = 0;   // driver read or simulated acquisition, and the re-arm
    int64_t processNs = 0;   // transform, averaging and conversion of the block, all together
    int64_t transformNs = 0; // of processNs: spectrum library calls
    int64_t resampleNs = 0;  // of processNs: equaliser and resampler library calls
    int64_t drawNs = 0;      // every redraw of the graph (after the block and after the yield)
    int64_t yieldNs = 0;     // dispatching pending window events
};

// Adds the time from construction to destruction to *sink; does nothing when sink is null.
class StageTimer {
public:
    explicit StageTimer(int64_t* sink) : sink_(sink) {
        if (sink_ != nullptr) {
            start_ = std::chrono::steady_clock::now();
        }
    }
    ~StageTimer() {
        if (sink_ != nullptr) {
            *sink_ += std::chrono::duration_cast<std::chrono::nanoseconds>(
                          std::chrono::steady_clock::now() - start_)
                          .count();
        }
    }
    StageTimer(const StageTimer&) = delete;
    StageTimer& operator=(const StageTimer&) = delete;

private:
    int64_t* sink_;
    std::chrono::steady_clock::time_point start_{};
};

} // namespace zr
