// Golden pictures of the loop: a fixed sequence of simulated blocks goes through the pass
// (library transforms, averaging, conversion) and drawgraph into a 485 x 431 picture, the size
// the window opens with. The retained picture and the read-out texts after the last pass must
// match, pixel for pixel, what the loop drew when these pictures were recorded; each case is kept
// as a 64-bit hash of picture and texts. A failing case writes its picture next to the test
// program (golden_<name>.png) for a look.
//
// ZR_GOLDEN_RECORD=1 prints the table rows for the current code instead of checking them.
#include "axes.h"
#include "graph.h"
#include "pass.h"
#include "simread.h"
#include "zrdsp_32.h"

#include <QImage>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kWidth = 485;
constexpr int kHeight = 431;
constexpr int kPasses = 3;

struct Case {
    const char* name;
    int16_t mode = 0;
    int32_t blocklen = 1024;
    bool noise = false; // tone out of band; the picture shows +-0.5 mV of the +-3.6 mV noise
    int16_t datatype = 0;
    int16_t window = 0;
    int16_t avgmode = 0;
    int16_t resamp = 0; // 0 Default, 1 Gaussian, 2 Flat
    int16_t rate = 0;
    uint64_t hash = 0;
    double yperdiv = 0.0; // time-domain scale instead of the case's own
};

uint64_t fnv(uint64_t h, const void* data, std::size_t n) {
    const auto* p = static_cast<const unsigned char*>(data);
    for (std::size_t i = 0; i < n; ++i) {
        h ^= p[i];
        h *= 0x100000001b3u;
    }
    return h;
}

uint64_t pictureHash(const QImage& img, const zr::GraphTexts& t) {
    uint64_t h = 0xcbf29ce484222325u;
    for (int y = 0; y < img.height(); ++y)
        h = fnv(h, img.constScanLine(y), static_cast<std::size_t>(img.width()) * 4);
    for (const std::string* s : {&t.marker, &t.averages})
        h = fnv(h, s->c_str(), s->size() + 1);
    if (t.axes)
        for (const std::string& s : *t.axes)
            h = fnv(h, s.c_str(), s.size() + 1);
    return h;
}

struct Rendered {
    QImage picture;
    zr::GraphTexts texts; // of the last pass; axes from the first
};

// The loop's order: axes once, then per pass read, process, take the resampler's spacing, draw.
Rendered render(const Case& c) {
    zr::MeasureState m;
    zr::DisplayState s;
    zr::UniformSource rng;
    zr::SimSettings sim;
    sim.trigtypeindex = 4; // Immediate: a random phase per block
    sim.datatypeindex = c.datatype;
    m.modeindex = c.mode;
    m.avgmode = c.avgmode;
    m.numavg = 4;
    m.windowindex = c.window;
    m.resampindex = c.rate;
    m.histmin = -1.2;
    m.histmax = 1.2;
    zr::fillfirkernel(m.firkernel);
    zrdsp_window(m.windowbuf.data(), c.blocklen, c.window, 0,
                 static_cast<float>(6.32455532 / c.blocklen));
    if (c.noise) {
        sim.centerfreq = 15000000.0;
        s.yperdiv[0] = 0.0001;
        s.yperdiv[1] = 2.0;
        s.yref[1] = -90.0;
        m.histmin = -0.004;
        m.histmax = 0.004;
    }
    if (c.yperdiv != 0.0)
        s.yperdiv[0] = c.yperdiv;
    s.markx = {20e-6, 2.5e6, 0.1};

    zr::GraphInputs in;
    in.modeindex = c.mode;
    in.dispdata = m.dispdata;
    in.avgmode = c.avgmode;
    in.windowindex = c.window;
    in.axis.modeindex = c.mode;
    in.axis.datatypeindex = c.datatype;
    in.axis.blocklen = c.blocklen;
    in.axis.histmin = m.histmin;
    in.axis.histmax = m.histmax;
    in.axis.resampGaussian = c.resamp == 1;
    in.axis.resampFlat = c.resamp == 2;

    Rendered out;
    out.picture = QImage(kWidth, kHeight, QImage::Format_RGB32);
    zr::AxisLabels axes = zr::labelaxes(s, in.axis);
    // X autoscale, on in the preset: the whole block spans the grid.
    const zr::XAutoResult x = zr::xautoscale(s, c.mode, 10.0);
    s.xref[static_cast<std::size_t>(c.mode)] = x.xref;
    s.xperdiv[static_cast<std::size_t>(c.mode)] = x.xperdiv;
    axes = zr::labelaxes(s, in.axis);
    for (int pass = 0; pass < kPasses; ++pass) {
        EXPECT_EQ(zr::simread(sim, rng, m.dispdata, c.blocklen), 0);
        zr::PassSetup p;
        p.blocklen = c.blocklen;
        p.datatypeindex = c.datatype;
        p.nbins = 256;
        p.resampmode = static_cast<zr::ResampMode>(c.resamp);
        p.fs = 20480000.0;
        p.npoints = s.npoints;
        p.xstep = s.xstep;
        const zr::PassResult r = zr::processblock(
            m, p, {&zrdsp_spectrum, &zrdsp_cspectrum, &zrdsp_fir, &zrdsp_resample});
        if (r.resampled) {
            s.npoints = r.npoints;
            s.xstep = r.xstep;
        }
        in.avgcount = m.avgcount;
        out.texts = zr::drawgraph(s, in, out.picture);
    }
    out.texts.axes = axes;
    return out;
}

// Recorded from the loop's drawing before it was made faster.
// clang-format off
const Case kCases[] = {
    {"time_tone_1024", 0, 1024, false, 0, 0, 0, 0, 0, 0xe39db21bfc0b976e},
    {"time_tone_4096", 0, 4096, false, 0, 0, 0, 0, 0, 0xec0bd198d4b1675f},
    {"time_tone_32768", 0, 32768, false, 0, 0, 0, 0, 0, 0x0e9448f031315613},
    {"time_noise_1024", 0, 1024, true, 0, 0, 0, 0, 0, 0xd358cb1dab64377b},
    {"time_noise_4096", 0, 4096, true, 0, 0, 0, 0, 0, 0x80bca7c0c599d977},
    {"time_noise_32768", 0, 32768, true, 0, 0, 0, 0, 0, 0xdd946ca425f90d62},
    {"time_noise_envelope_32768", 0, 32768, true, 0, 0, 0, 0, 0, 0x4ff1738ee9b0ace4, 0.0008},
    {"spectrum_tone_1024", 1, 1024, false, 0, 0, 0, 0, 0, 0x9934db7785758517},
    {"spectrum_tone_4096", 1, 4096, false, 0, 0, 0, 0, 0, 0x120b44d3c85c3f86},
    {"spectrum_tone_32768", 1, 32768, false, 0, 0, 0, 0, 0, 0x12ab2d9b35ea2c9c},
    {"spectrum_noise_1024", 1, 1024, true, 0, 0, 0, 0, 0, 0x7ace115d4460085a},
    {"spectrum_noise_4096", 1, 4096, true, 0, 0, 0, 0, 0, 0x744465ad3a858ec1},
    {"spectrum_noise_32768", 1, 32768, true, 0, 0, 0, 0, 0, 0xbe80cb748a87b421},
    {"histogram_tone_1024", 2, 1024, false, 0, 0, 0, 0, 0, 0xe153461beaf47e58},
    {"histogram_tone_4096", 2, 4096, false, 0, 0, 0, 0, 0, 0x9f55091bea8cd2cb},
    {"histogram_tone_32768", 2, 32768, false, 0, 0, 0, 0, 0, 0x4ac9647cf86e6c07},
    {"histogram_noise_1024", 2, 1024, true, 0, 0, 0, 0, 0, 0x53f02beea4cebd12},
    {"histogram_noise_4096", 2, 4096, true, 0, 0, 0, 0, 0, 0x65d45e0db408c392},
    {"histogram_noise_32768", 2, 32768, true, 0, 0, 0, 0, 0, 0xc79816e0a5c55b02},
    // Windows, averaging, zoom data.
    {"spectrum_hann_exp_4096", 1, 4096, false, 0, 1, 1, 0, 0, 0x5e780f9502685d82},
    {"spectrum_gausstop_peak_32768", 1, 32768, false, 0, 2, 2, 0, 0, 0x3c5335313d72690a},
    {"spectrum_flattop_exp_1024", 1, 1024, false, 0, 3, 1, 0, 0, 0xe65e15cf26f8ef52},
    {"spectrum_zoom_hann_32768", 1, 32768, false, 1, 1, 1, 0, 0, 0x085f3c99314cc5e7},
    {"time_exp_32768", 0, 32768, false, 0, 0, 1, 0, 0, 0x3ec08204edc29cbf},
    {"time_peak_noise_4096", 0, 4096, true, 0, 0, 2, 0, 0, 0x9448f499e29f6c6e},
    {"time_zoom_exp_32768", 0, 32768, false, 1, 0, 1, 0, 0, 0x30aba57dda7e9bdb},
    {"histogram_peak_32768", 2, 32768, false, 0, 0, 2, 0, 0, 0x7ef1d31212d226fa},
    {"histogram_zoom_exp_4096", 2, 4096, false, 1, 0, 1, 0, 0, 0xdc391bbd39128717},
    // Resampling options.
    {"time_gauss1x_1024", 0, 1024, false, 0, 0, 0, 1, 0, 0x068d786d3ad2007e},
    {"time_gauss8x_32768", 0, 32768, false, 0, 0, 0, 1, 3, 0x588a8ccd8f67aee4},
    {"time_flat2x_4096", 0, 4096, false, 0, 0, 1, 2, 1, 0xbd3ba459afc60681},
    {"time_flat4x_noise_32768", 0, 32768, true, 0, 0, 0, 2, 2, 0x4227fd3bad9a4323},
    {"time_flat8x_32768", 0, 32768, false, 0, 0, 0, 2, 3, 0xf8047ef0a09de326},
};
// clang-format on

TEST(GoldenPicture, EveryCaseDrawsTheRecordedPictureAndTexts) {
    const bool record = std::getenv("ZR_GOLDEN_RECORD") != nullptr;
    for (const Case& c : kCases) {
        const Rendered r = render(c);
        const uint64_t h = pictureHash(r.picture, r.texts);
        if (record) {
            std::printf("%s 0x%016llx\n", c.name, static_cast<unsigned long long>(h));
            continue;
        }
        EXPECT_EQ(h, c.hash) << c.name;
        if (h != c.hash)
            r.picture.save(QString("golden_%1.png").arg(c.name));
    }
}

// The check itself: one pixel of one colour changed anywhere changes the hash.
TEST(GoldenPicture, OnePixelChangedIsCaught) {
    const Rendered r = render(kCases[0]);
    const uint64_t h = pictureHash(r.picture, r.texts);
    for (const QPoint at :
         {QPoint(0, 0), QPoint(kWidth / 2, kHeight / 3), QPoint(kWidth - 1, kHeight - 1)}) {
        QImage changed = r.picture;
        changed.setPixel(at, changed.pixel(at) ^ 0x000001u);
        EXPECT_NE(pictureHash(changed, r.texts), h) << at.x() << "," << at.y();
    }
}

} // namespace
