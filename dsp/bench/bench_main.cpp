// Entry point of zrdsp_bench: runs every registered benchmark, then prints a
// comparison table for benchmarks named "<what>/<precision>/<impl>/<N>" with
// impl one of "ours", "fftw", "kiss": time per call of each and the ratios
// ours/fftw and ours/kiss. The table uses CPU time per call, which a shared,
// busy machine disturbs less than wall time. With --benchmark_repetitions the
// table holds the fastest repetition (or the median where a benchmark reports
// no minimum); add --benchmark_enable_random_interleaving=true so that ours
// and the anchors are measured interleaved in time, under the same load.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

struct Key {
    std::string what, precision;
    long n;
    bool operator<(const Key& o) const {
        return std::tie(what, precision, n) < std::tie(o.what, o.precision, o.n);
    }
};

// The speed targets of one row: at most `fftw` times FFTW's time (0: none),
// and whether ours must beat KissFFT.
struct Target {
    double fftw = 0.0;
    bool beat_kiss = false;
};

Target target_of(const Key& k) {
    const bool transform = k.what == "fft" || k.what == "rfft";
    if (transform && k.precision == "float")
        return {4.0, true};
    if (transform && k.precision == "double") {
        if (k.n >= 4096)
            return {1.6, false};
        if (k.n >= 256 && k.n <= 1024)
            return {2.5, false};
    }
    if ((k.what == "spectrum" || k.what == "cspectrum") && k.precision == "double" && k.n >= 4096)
        return {2.0, false};
    return {};
}

class TableReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        ConsoleReporter::ReportRuns(runs);
        for (const Run& r : runs) {
            if (r.error_occurred)
                continue;
            // Preference: the minimum of the repetitions, then their median,
            // then a single run.
            int rank = 0;
            if (r.run_type == Run::RT_Aggregate)
                rank = r.aggregate_name == "min" ? 2 : r.aggregate_name == "median" ? 1 : -1;
            if (rank < 0)
                continue;
            std::vector<std::string> parts;
            std::istringstream in(r.run_name.str());
            for (std::string p; std::getline(in, p, '/');)
                parts.push_back(p);
            if (parts.size() < 4)
                continue;
            const std::string& impl = parts[2];
            if (impl != "ours" && impl != "fftw" && impl != "kiss")
                continue;
            const Key key{parts[0], parts[1], std::strtol(parts[3].c_str(), nullptr, 10)};
            const double ns = r.GetAdjustedCPUTime() * to_ns(r.time_unit);
            int& best = rank_[key][impl];
            if (rank >= best) {
                times_[key][impl] = ns;
                best = rank;
            }
        }
    }

    void PrintTable() const {
        if (times_.empty())
            return;
        std::printf("\n%-10s %-6s %6s %12s %12s %12s %9s %9s  %s\n", "what", "prec", "N", "ours ns",
                    "fftw ns", "kiss ns", "ours/fftw", "ours/kiss", "target");
        for (const auto& [key, m] : times_) {
            auto get = [&m](const char* impl) {
                auto it = m.find(impl);
                return it == m.end() ? -1.0 : it->second;
            };
            const double ours = get("ours"), fftw = get("fftw"), kiss = get("kiss");
            auto cell = [](double v, char* buf, std::size_t size) {
                if (v < 0)
                    std::snprintf(buf, size, "%12s", "-");
                else
                    std::snprintf(buf, size, "%12.0f", v);
            };
            auto ratio = [](double a, double b, char* buf, std::size_t size) {
                if (a < 0 || b <= 0)
                    std::snprintf(buf, size, "%9s", "-");
                else
                    std::snprintf(buf, size, "%9.2f", a / b);
            };
            char c1[32], c2[32], c3[32], r1[32], r2[32];
            cell(ours, c1, sizeof c1);
            cell(fftw, c2, sizeof c2);
            cell(kiss, c3, sizeof c3);
            ratio(ours, fftw, r1, sizeof r1);
            ratio(ours, kiss, r2, sizeof r2);
            // The row's targets and whether this run met them.
            const Target t = target_of(key);
            std::string verdict;
            if (t.fftw > 0 && ours > 0 && fftw > 0) {
                char b[48];
                std::snprintf(b, sizeof b, "fftw<=%.1f %s", t.fftw,
                              ours / fftw <= t.fftw ? "met" : "MISSED");
                verdict = b;
            }
            if (t.beat_kiss && ours > 0 && kiss > 0)
                verdict += ours < kiss ? ", kiss<1 met" : ", kiss<1 MISSED";
            std::printf("%-10s %-6s %6ld %s %s %s %s %s  %s\n", key.what.c_str(),
                        key.precision.c_str(), key.n, c1, c2, c3, r1, r2, verdict.c_str());
        }
    }

private:
    static double to_ns(benchmark::TimeUnit u) {
        switch (u) {
        case benchmark::kNanosecond:
            return 1.0;
        case benchmark::kMicrosecond:
            return 1e3;
        case benchmark::kMillisecond:
            return 1e6;
        default:
            return 1e9;
        }
    }
    std::map<Key, std::map<std::string, double>> times_;
    std::map<Key, std::map<std::string, int>> rank_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    TableReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintTable();
    benchmark::Shutdown();
    return 0;
}
