// The fake's log matches the stand-in driver's journal line for line, and the
// answers and failures other tests program behave as documented.
#include "binding_test_util.h"
#include "driver/driver_library.h"
#include "driver/library_loader.h"
#include "driver/tests/fake_instrument.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <unistd.h>

using zrtest::ScopedEnv;

namespace {

// Calls every operation once, with the handle `instr`.
void everyCall(zr::Instrument& in, int32_t instr) {
    char text[zr::kDriverTextSize];
    char text2[zr::kDriverTextSize];
    int16_t s = 0;
    int32_t l = 0;
    double table[33];
    float data[64];
    in.error_message(instr, -1001, text);
    in.diag_reg(instr, 1, 1812);
    in.input_range(instr, 9);
    in.input_coupling(instr, 1);
    in.input_float(instr, 0);
    in.input_signal(instr, 1);
    in.input_alias_filter(instr, 1);
    in.input_autozero(instr);
    in.input_range_auto(instr, 0, 0);
    in.status_get(instr, &s);
    in.input_range_get(instr, &s);
    in.data_type(instr, 0);
    in.data_resolution(instr, 1);
    in.data_blocksize(instr, 64);
    in.data_append_status(instr, 1);
    in.data_memsize_get(instr, &s);
    in.filter_bw(instr, 3);
    in.filter_decimate(instr, 1);
    in.frequency_center(instr, 0.1);
    in.frequency_center(instr, -1.0 / 3.0);
    in.frequency_center(instr, 0.0);
    in.trigger_type(instr, 4);
    in.trigger_slope(instr, 1);
    in.trigger_adclevel(instr, -256);
    in.trigger_maglevel(instr, -159);
    in.trigger_delay(instr, -40);
    in.trigger_delay_get(instr, &l);
    in.trigger_gen(instr, 1);
    in.clock_source(instr, 3);
    in.clock_master(instr, 2);
    in.clock_multi_sync(instr, 1);
    in.clock_dsp(instr, 0);
    in.diag_reg_get(instr, 4, &s);
    in.diag_poke(instr, 7, -769);
    in.diag_peek(instr, 7, &l);
    in.diag_adccal_get(instr, table);
    in.diag_cal(instr, 2049510661);
    in.diag_cal_get(instr, &l);
    in.self_test(instr, &s, text);
    in.error_query(instr, &l, text);
    in.revision_query(instr, text, text2);
    in.meas_start(instr);
    in.read(instr, data, 64, &s);
    in.reset(instr);
    in.close(instr);
}

} // namespace

TEST(FakeInstrument, LogMatchesTheStandInJournalLineForLine) {
    char path[] = "/tmp/zrfp_journal_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ScopedEnv driver("ZRQ7010_DRIVER", ZR_STANDIN_DRIVER);
    int32_t handle = 0;
    {
        ScopedEnv j("ZRQ7010_JOURNAL", path);
        zr::DriverLibrary lib;
        ASSERT_EQ(lib.init("VXI::192", 1, 1, &handle), 0);
        everyCall(lib, handle);
    }
    std::vector<std::string> journal;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        journal.push_back(line);
    std::remove(path);

    zr::FakeInstrument fake;
    fake.initDefault.handle = handle;
    int32_t fakeHandle = 0;
    ASSERT_EQ(fake.init("VXI::192", 1, 1, &fakeHandle), 0);
    everyCall(fake, fakeHandle);
    ASSERT_EQ(journal.size(), 46u);
    EXPECT_EQ(fake.log(), journal);
    EXPECT_EQ(journal[20],
              "zrq7010_frequency_center " + std::to_string(handle) + " -0.33333333333333331");
    EXPECT_EQ(fake.callsOf("zrq7010_diag_reg"), // whole function names only
              std::vector<std::string>{"zrq7010_diag_reg " + std::to_string(handle) + " 1 1812"});
}

TEST(FakeInstrument, ProgrammedAnswers) {
    zr::FakeInstrument fake;
    fake.initDefault = {-1001, 5};
    fake.errorMessages[-1001] = "No module answers at VXI address 5";
    int32_t instr = 99;
    EXPECT_EQ(fake.init("VXI::5", 1, 1, &instr), -1001);
    EXPECT_EQ(instr, 0); // no handle after a failed init
    char buf[zr::kDriverTextSize];
    fake.error_message(instr, -1001, buf);
    EXPECT_STREQ(buf, "No module answers at VXI address 5");

    fake.readStatuses = {2};
    fake.blockData = {1.5f, -2.5f, 3.0f};
    fake.overload = 1;
    float data[8];
    std::fill(std::begin(data), std::end(data), -1.0f);
    int16_t overload = 0;
    EXPECT_EQ(fake.read(1, data, 4, &overload), 2);
    EXPECT_EQ(data[0], -1.0f); // nothing written without a block
    EXPECT_EQ(fake.read(1, data, 4, &overload), 0);
    EXPECT_EQ(overload, 1);
    EXPECT_EQ((std::vector<float>(data, data + 5)),
              (std::vector<float>{1.5f, -2.5f, 3.0f, 0.0f, -1.0f})); // zeros to the block's end
    fake.data_type(1, 1);
    EXPECT_EQ(fake.read(1, data, 3, &overload), 0);
    EXPECT_EQ(data[5], 0.0f); // zoom: 2 x blocklen values
    EXPECT_EQ(data[6], -1.0f);

    fake.terminateTexts = false; // window tests of texts without their NUL rely on this
    int16_t result = -1;
    fake.self_test(1, &result, buf);
    EXPECT_EQ(std::memchr(buf, '\0', sizeof buf), nullptr);

    // Injected library failures throw without logging.
    fake.clearLog();
    fake.missingFunctions = {"zrq7010_read"};
    EXPECT_THROW(fake.read(1, data, 4, &overload), zr::LibraryError);
    EXPECT_EQ(fake.meas_start(1), 0);
    fake.libraryMissing = true;
    EXPECT_THROW(fake.close(0), zr::LibraryError);
    EXPECT_EQ(fake.log(), std::vector<std::string>{"zrq7010_meas_start 1"});
}
