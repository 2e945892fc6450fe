// Soft and hard reset of the real window (offscreen), against the recording
// instrument: the module's reset sequence, the preset and a running
// measurement afterwards.
#include "common/tests/window_fixture.h"

#include <QApplication>
#include <QTimer>

#include <chrono>

namespace {

using Clock = std::chrono::steady_clock;

// Records when the hard-reset pokes arrive and whether the window had
// processed a queued event by then; pauses the loop after a few reads.
class ResetWatch : public zr::FakeInstrument {
public:
    zr::MainForm* form = nullptr;
    int readsBeforePause = 3;
    int reads = 0;
    const bool* watched = nullptr;
    std::vector<Clock::time_point> pokeTimes;
    std::vector<bool> watchedAtPoke;
    std::vector<bool> busyAtPoke; // the wait cursor was on

    int32_t diag_poke(int32_t instr, int16_t reg, int32_t value) override {
        pokeTimes.push_back(Clock::now());
        watchedAtPoke.push_back(watched != nullptr && *watched);
        busyAtPoke.push_back(QApplication::overrideCursor() != nullptr &&
                             QApplication::overrideCursor()->shape() == Qt::WaitCursor);
        return zr::FakeInstrument::diag_poke(instr, reg, value);
    }
    int32_t read(int32_t instr, float* data, int32_t blocklen, int16_t* overloadOut) override {
        if (form != nullptr && ++reads >= readsBeforePause)
            form->stopflag = true;
        return zr::FakeInstrument::read(instr, data, blocklen, overloadOut);
    }
};

// A reset during a running loop (one loop, no pokes) is checked with the loop's handlers.
struct Reset : zr::test::WindowTest<ResetWatch> {
    void SetUp() override {
        WindowTest::SetUp();
        instrument.form = form.get();
        form->stopflag = true; // paused: no loop runs
    }
    const std::vector<std::string>& log() const { return instrument.log(); }
    // After `from` lines: the traffic of one preset on a fresh window, then "Start".
    void expectPresetThenStartFrom(std::size_t from) const {
        zr::FakeInstrument fresh;
        zr::DspLibrary lib;
        zr::ScriptedDialogs d;
        zr::MainForm f(&fresh, &lib, &d, QString());
        f.instr = 4097;
        f.presetall();
        std::vector<std::string> want(log().begin(),
                                      log().begin() + static_cast<std::ptrdiff_t>(from));
        want.insert(want.end(), fresh.log().begin(), fresh.log().end());
        want.push_back("zrq7010_meas_start 4097");
        ASSERT_GE(log().size(), want.size());
        EXPECT_EQ(std::vector<std::string>(
                      log().begin(), log().begin() + static_cast<std::ptrdiff_t>(want.size())),
                  want);
    }
};

TEST_F(Reset, HardResetGivesTheModuleFiveSecondsWithoutProcessingEvents) {
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

    ASSERT_GE(log().size(), 4u);
    EXPECT_EQ(
        std::vector<std::string>(log().begin(), log().begin() + 4),
        (std::vector<std::string>{"zrq7010_diag_poke 4097 2 1", "zrq7010_diag_poke 4097 7 -769",
                                  "zrq7010_diag_peek 4097 7", "zrq7010_reset 4097"}));
    expectPresetThenStartFrom(4);
    EXPECT_EQ(instrument.reads, instrument.readsBeforePause) << "the measurement runs again";
    EXPECT_TRUE(eventProcessed) << "the restarted loop yields to the window again";
}

} // namespace
