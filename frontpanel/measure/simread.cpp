#include "simread.h"

#include <cmath>
#include <cstddef>

namespace zr {

namespace detail {

Phasor::Phasor(double phase, double step)
    : phase_(phase), step_(step), stepre_(std::cos(step)), stepim_(std::sin(step)) {
    seed();
}

void Phasor::seed() {
    const double angle = phase_ + static_cast<double>(n_) * step_;
    re_ = std::cos(angle);
    im_ = std::sin(angle);
}

void Phasor::advance() {
    ++n_;
    if (n_ % kReseed == 0) {
        seed();
        return;
    }
    const double re = re_ * stepre_ - im_ * stepim_;
    im_ = re_ * stepim_ + im_ * stepre_;
    re_ = re;
}

} // namespace detail

namespace {

constexpr double kTwoPi = 6.283185308;
constexpr double kPi = 3.141592654;
constexpr double kInternalClock = 20480000.0;

// One signal component: amplitude and phasor. A component outside the simulated band has
// amplitude 0 and is left out of the sums altogether (so a non-finite step cannot turn the
// sum into NaN through 0 * cos(inf)).
struct Component {
    double amp;
    detail::Phasor ph;
    bool on() const { return amp != 0.0; }
};

double clockfor(const SimSettings& s) {
    double clock;
    switch (s.clockindex) {
    case 0:
        clock = kInternalClock;
        break;
    case 1:
    case 3:
        clock = 20000000.0;
        break;
    case 2:
    case 4:
    case 5:
        clock = s.extclock;
        break;
    default:
        clock = kInternalClock;
        break;
    }
    // A zero clock (or a field that reads as no usable number) falls back to the internal clock.
    if (clock == 0.0 || !std::isfinite(clock))
        clock = kInternalClock;
    return clock;
}

bool inband(double step) {
    return !(step > kPi || step < -kPi) && std::isfinite(step);
}

} // namespace

int32_t simread(const SimSettings& s, UniformSource& rng, std::span<float> data, int32_t count) {
    const bool complex = s.datatypeindex != 0;

    const double range = 0.02 * std::pow(2.0, 9 - static_cast<int>(s.rangeindex));
    double a0 = 0.00015 * range;
    double an = 0.0007 * range;

    int b = s.bwindex;
    if (b > 0)
        b = b - 1;
    an = an / std::pow(2.0, b / 2.0);
    if (s.decimindex >= 1)
        b = b + 1;
    const double d = std::pow(2.0, b);

    const double clock = clockfor(s);
    const double fc = s.centerfreq;
    const double w0 = kTwoPi * d * (-fc) / clock;
    const double w1 = kTwoPi * d * (20000.0 - fc) / clock;
    const double w2 = kTwoPi * d * (-20000.0 - fc) / clock;
    double a1 = 0.5;
    double a2 = 0.5;
    if (!inband(w0))
        a0 = 0;
    if (!inband(w1))
        a1 = 0;
    if (!inband(w2))
        a2 = 0;

    double phi = 0;
    bool randomphase = false;
    switch (s.trigtypeindex) {
    case 0:
    case 2:
        return kSimNoData;
    case 1:
        break;
    case 3:
        if (a1 == 0 && a2 == 0)
            return kSimNoData;
        randomphase = (a1 == 0) != (a2 == 0);
        break;
    case 4:
        randomphase = true;
        break;
    default:
        break;
    }
    if (randomphase) {
        const float r = rng.next();
        phi = 2 * static_cast<double>(r) * kPi - 1;
    }

    // Never write past the caller's array.
    const std::size_t pervalue = complex ? 2 : 1;
    if (count < 1)
        return kSimDataReady;
    if (static_cast<std::size_t>(count) > data.size() / pervalue)
        count = static_cast<int32_t>(data.size() / pervalue);

    Component off{a0, detail::Phasor(0.0, w0)};
    Component up{a1, detail::Phasor(phi, w1)};
    Component lo{a2, detail::Phasor(-phi, w2)};

    if (!complex) {
        for (int32_t n = 0; n < count; ++n) {
            double v = 0;
            if (off.on())
                v += off.amp * off.ph.re();
            if (up.on())
                v += up.amp * up.ph.re();
            if (lo.on())
                v += lo.amp * lo.ph.re();
            const float r = rng.next();
            v += an * (static_cast<double>(r) - 0.5);
            data[static_cast<std::size_t>(n)] = static_cast<float>(v);
            off.ph.advance();
            up.ph.advance();
            lo.ph.advance();
        }
        return kSimDataReady;
    }

    an = an / std::sqrt(2.0);
    for (int32_t n = 0; n < count; ++n) {
        double re = 0;
        double im = 0;
        if (off.on()) {
            re += off.amp * off.ph.re();
            im += off.amp * off.ph.im();
        }
        if (up.on()) {
            re += up.amp * up.ph.re();
            im += up.amp * up.ph.im();
        }
        if (lo.on()) {
            re += lo.amp * lo.ph.re();
            im += lo.amp * lo.ph.im();
        }
        const float r1 = rng.next();
        const float r2 = rng.next();
        re += an * (static_cast<double>(r1) - 0.5);
        im += an * (static_cast<double>(r2) - 0.5);
        const std::size_t i = 2 * static_cast<std::size_t>(n);
        data[i] = static_cast<float>(re);
        data[i + 1] = static_cast<float>(im);
        off.ph.advance();
        up.ph.advance();
        lo.ph.advance();
    }
    return kSimDataReady;
}

} // namespace zr
