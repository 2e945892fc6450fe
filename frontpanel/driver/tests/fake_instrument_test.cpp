// The fake's log matches the stand-in driver's journal line for line, and the
// answers other tests depend on for memory and text safety behave as documented.
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

std::vector<std::string> readLines(const std::string& path) {
    std::ifstream in(path);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    return lines;
}

} // namespace

TEST(FakeInstrument, LogMatchesTheStandInJournalLineForLine) {
    char path[] = "/tmp/zrfp_journal_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ScopedEnv driver("ZRQ7010_DRIVER", ZR_STANDIN_DRIVER);
    std::vector<std::string> journal;
    int32_t handle = 0;
    {
        ScopedEnv j("ZRQ7010_JOURNAL", path);
        zr::DriverLibrary lib;
        ASSERT_EQ(lib.init("VXI::192", 1, 1, &handle), 0);
        everyCall(lib, handle);
        journal = readLines(path);
    }
    std::remove(path);

    zr::FakeInstrument fake;
    fake.initDefault.handle = handle;
    int32_t fakeHandle = 0;
    ASSERT_EQ(fake.init("VXI::192", 1, 1, &fakeHandle), 0);
    EXPECT_EQ(fakeHandle, handle);
    everyCall(fake, fakeHandle);

    ASSERT_EQ(journal.size(), 46u);
    EXPECT_EQ(fake.log(), journal);
    // Spot checks of the agreed format.
    const std::string h = std::to_string(handle);
    EXPECT_EQ(journal[0], "zrq7010_init VXI::192 1 1");
    EXPECT_EQ(journal[2], "zrq7010_diag_reg " + h + " 1 1812");
    EXPECT_EQ(journal[20], "zrq7010_frequency_center " + h + " -0.33333333333333331");
    EXPECT_EQ(journal[21], "zrq7010_frequency_center " + h + " 0");
    EXPECT_EQ(journal[43], "zrq7010_read " + h + " 64");
}

TEST(FakeInstrument, CallsOfAndClearLog) {
    zr::FakeInstrument fake;
    int16_t v = 0;
    fake.diag_reg(0, 1, 1812);
    fake.diag_reg_get(4097, 1, &v);
    fake.meas_start(0);
    EXPECT_EQ(fake.callsOf("zrq7010_diag_reg"), // whole function names only
              std::vector<std::string>{"zrq7010_diag_reg 0 1 1812"});
    EXPECT_EQ(fake.callsOf("zrq7010_meas_start"), std::vector<std::string>{"zrq7010_meas_start 0"});
    fake.clearLog();
    EXPECT_TRUE(fake.log().empty());
}

TEST(FakeInstrument, InitAndErrorMessages) {
    zr::FakeInstrument fake;
    fake.initDefault = {-1001, 5};
    fake.errorMessages[-1001] = "No module answers at VXI address 5";
    int32_t instr = 99;
    EXPECT_EQ(fake.init("VXI::5", 1, 1, &instr), -1001);
    EXPECT_EQ(instr, 0); // no handle after a failed init
    char buf[zr::kDriverTextSize];
    fake.error_message(instr, -1001, buf);
    EXPECT_STREQ(buf, "No module answers at VXI address 5");
    fake.error_message(instr, -7, buf);
    EXPECT_STREQ(buf, "Simulated driver error");
}

TEST(FakeInstrument, ReadDeliversTheProgrammedBlockAndStatuses) {
    zr::FakeInstrument fake;
    fake.readStatuses = {2, 7};
    fake.blockData = {1.5f, -2.5f, 3.0f};
    fake.overload = 1;
    float data[8];
    std::fill(std::begin(data), std::end(data), -1.0f);
    int16_t overload = 0;
    EXPECT_EQ(fake.read(1, data, 4, &overload), 2);
    EXPECT_EQ(fake.read(1, data, 4, &overload), 7);
    EXPECT_EQ(data[0], -1.0f); // nothing written without a block
    EXPECT_EQ(overload, 0);
    EXPECT_EQ(fake.read(1, data, 4, &overload), 0);
    EXPECT_EQ(overload, 1);
    EXPECT_EQ((std::vector<float>(data, data + 5)),
              (std::vector<float>{1.5f, -2.5f, 3.0f, 0.0f, -1.0f})); // zeros to the block's end
    fake.data_type(1, 1);
    std::fill(std::begin(data), std::end(data), -1.0f);
    EXPECT_EQ(fake.read(1, data, 3, &overload), 0);
    EXPECT_EQ(data[5], 0.0f); // zoom: 2 x blocklen values
    EXPECT_EQ(data[6], -1.0f);

    fake.measStartStatuses = {-1005};
    EXPECT_EQ(fake.meas_start(1), -1005);
    EXPECT_EQ(fake.meas_start(1), 0);
}

// The window tests of texts without a terminating NUL rely on the fake leaving it out.
TEST(FakeInstrument, TextsAreCutAndTerminatedUnlessToldOtherwise) {
    zr::FakeInstrument fake;
    char buf[zr::kDriverTextSize];
    int16_t result = -1;
    fake.selfTestText = std::string(200, 'a');
    fake.self_test(1, &result, buf);
    EXPECT_EQ(std::string(buf), std::string(79, 'a'));
    fake.terminateTexts = false;
    fake.selfTestText = "T";
    fake.self_test(1, &result, buf);
    EXPECT_EQ(std::memchr(buf, '\0', sizeof buf), nullptr);
}

TEST(FakeInstrument, InjectedLibraryFailuresThrowWithoutLogging) {
    zr::FakeInstrument fake;
    fake.missingFunctions = {"zrq7010_read"};
    float data[4];
    int16_t overload = 0;
    EXPECT_THROW(fake.read(1, data, 4, &overload), zr::LibraryError);
    EXPECT_EQ(fake.meas_start(1), 0);
    fake.libraryMissing = true;
    EXPECT_THROW(fake.close(0), zr::LibraryError);
    EXPECT_EQ(fake.log(), std::vector<std::string>{"zrq7010_meas_start 1"});
}
