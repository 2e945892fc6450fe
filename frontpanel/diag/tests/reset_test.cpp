// Hard reset of the real window (offscreen), against the recording instrument: the module's
// reset sequence, the preset and a running measurement afterwards. A soft reset during a running
// loop is checked with the loop's handlers.
#include "common/tests/window_fixture.h"
#include "settings/tests/preset_traffic.h"

#include <QApplication>
#include <QTimer>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;
using zr::test::call;
using zr::test::kHandle;
using zr::test::Log;

// Records when the hard-reset pokes arrive, whether the window had processed a queued event by
// then and whether the wait cursor was on.
struct ResetWatch : zr::FakeInstrument {
    const bool* watched = nullptr;
    std::vector<Clock::time_point> pokeTimes;
    std::vector<bool> watchedAtPoke;
    std::vector<bool> busyAtPoke;

    int32_t diag_poke(int32_t instr, int16_t reg, int32_t value) override {
        pokeTimes.push_back(Clock::now());
        watchedAtPoke.push_back(watched != nullptr && *watched);
        busyAtPoke.push_back(QApplication::overrideCursor() != nullptr &&
                             QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        return zr::FakeInstrument::diag_poke(instr, reg, value);
    }
};

using Reset = zr::test::WindowTest<ResetWatch>;

TEST_F(Reset, HardResetGivesTheModuleFiveSecondsWithoutProcessingEvents) {
    instrument.diag_reg(kHandle, 1, 1812); // what start-up writes
    instrument.clearLog();
    form->setPassObserver([this](long passes) {
        if (passes == 3) {
            form->stopflag = true;
        }
    });
    bool eventProcessed = false;
    instrument.watched = &eventProcessed;
    QTimer::singleShot(0, [&eventProcessed] { eventProcessed = true; });
    form->resetmenu_Click(1);

    ASSERT_EQ(instrument.pokeTimes.size(), 2u);
    const auto waited = instrument.pokeTimes[1] - instrument.pokeTimes[0];
    EXPECT_GE(waited, std::chrono::seconds(5));
    EXPECT_LT(waited, std::chrono::seconds(7));
    EXPECT_FALSE(instrument.watchedAtPoke[1]) << "no window event ran during the wait";
    EXPECT_EQ(instrument.busyAtPoke, std::vector<bool>({true, true})) << "busy cursor throughout";
    EXPECT_EQ(QApplication::overrideCursor(), nullptr) << "and the normal one afterwards";

    // The module's sequence, then one preset and "Start".
    Log want = {call("diag_poke", "2 1"), call("diag_poke", "7 -769"), call("diag_peek", "7"),
                call("reset")};
    const Log preset = zr::test::expectedPresetTraffic(kHandle);
    want.insert(want.end(), preset.begin(), preset.end());
    want.push_back(call("meas_start"));
    const Log& log = instrument.log();
    ASSERT_GE(log.size(), want.size());
    EXPECT_EQ(Log(log.begin(), log.begin() + static_cast<std::ptrdiff_t>(want.size())), want);
    EXPECT_EQ(instrument.callsOf("zrq7010_read").size(), 3u) << "the measurement runs again";
    EXPECT_TRUE(eventProcessed) << "the restarted loop yields to the window again";
}

} // namespace
