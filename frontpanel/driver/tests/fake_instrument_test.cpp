// The fake's log matches the stand-in driver's journal line for line, and the
// answers and failures other tests program behave as documented.
#include "binding_test_util.h"
#include "driver/driver_library.h"
#include "driver/library_loader.h"
#include "driver/tests/fake_instrument.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <string_view>
#include <tuple>
#include <type_traits>
#include <unistd.h>

using zrtest::ScopedEnv;

namespace {

// Inputs for one call of every function: distinct integers of alternating sign (a swapped or
// sign-lost argument shows in the journal), -1/3 for the floating-point one; room for outputs.
struct Arguments {
    int integers = 0;
    int texts = 0;
    char text[2][zr::kDriverTextSize] = {};
    float block[128];
    double table[33] = {};
    int16_t s = 0;
    int32_t l = 0;

    template <typename T> T make() {
        if constexpr (std::is_same_v<T, char*>)
            return text[texts++ % 2];
        else if constexpr (std::is_same_v<T, float*>)
            return block;
        else if constexpr (std::is_same_v<T, double*>)
            return table;
        else if constexpr (std::is_same_v<T, int16_t*>)
            return &s;
        else if constexpr (std::is_same_v<T, int32_t*>)
            return &l;
        else if constexpr (std::is_floating_point_v<T>)
            return -1.0 / 3.0;
        else
            return static_cast<T>(++integers % 2 ? -3 * integers : 3 * integers);
    }
};

template <typename... P>
void callWith(zr::Instrument& in, int32_t (zr::Instrument::*f)(int32_t, P...), int32_t instr,
              Arguments& a) {
    std::tuple<P...> args{a.make<P>()...}; // a braced list is evaluated left to right
    std::apply([&](P... p) { (in.*f)(instr, p...); }, args);
}
// init has opened the session before.
void callWith(zr::Instrument&, int32_t (zr::Instrument::*)(const char*, int16_t, int16_t, int32_t*),
              int32_t, Arguments&) {}

// Calls every function after init once, in the list's order, and closes the session last.
void everyCall(zr::Instrument& in, int32_t instr, Arguments& a) {
    std::fill(std::begin(a.block), std::end(a.block), -9.0f);
#define ZR_CALL(ret, name, params, args)                                                           \
    if (std::string_view(#name) != "close")                                                        \
        callWith(in, &zr::Instrument::name, instr, a);
    ZRQ7010_FUNCTIONS(ZR_CALL)
#undef ZR_CALL
    in.close(instr);
}

} // namespace

// The stand-in driver, named by the environment variable and called through the binding, journals
// each call as one line, also with the journal set for part of the process only; the fake logs the
// same lines, and the binding hands back what the driver wrote.
TEST(FakeInstrument, LogMatchesTheStandInJournalLineForLine) {
    char path[] = "/tmp/zrfp_journal_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ScopedEnv driver("ZRQ7010_DRIVER", ZR_STANDIN_DRIVER);
    zr::DriverLibrary lib;
    int32_t handle = 0;
    Arguments out;
    {
        ScopedEnv j("ZRQ7010_JOURNAL", path);
        ASSERT_EQ(lib.init("VXI::192", 0, 1, &handle), 0);
        everyCall(lib, handle, out);
    }
    lib.close(0); // not journalled
    EXPECT_EQ(lib.loadedFile().toStdString(), ZR_STANDIN_DRIVER);
    EXPECT_NE(out.block[0], -9.0f); // read asked for 6 samples
    EXPECT_EQ(out.block[6], -9.0f);
    EXPECT_STREQ(out.text[0], "Virtual module, firmware 1.00, board rev. A"); // last of 5 texts
    std::vector<std::string> journal;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);)
        journal.push_back(line);
    std::remove(path);

    zr::FakeInstrument fake;
    fake.initDefault.handle = handle;
    int32_t fakeHandle = 0;
    ASSERT_EQ(fake.init("VXI::192", 0, 1, &fakeHandle), 0);
    Arguments fakeOut;
    everyCall(fake, fakeHandle, fakeOut);
    ASSERT_EQ(journal.size(), 44u);
    EXPECT_EQ(fake.log(), journal);
    const std::string h = " " + std::to_string(handle);
    EXPECT_EQ(journal[0], "zrq7010_init VXI::192 0 1");
    EXPECT_EQ(journal[1], "zrq7010_error_message" + h + " -3");
    EXPECT_EQ(journal[43], "zrq7010_close" + h);
    EXPECT_EQ(fake.callsOf("zrq7010_frequency_center"),
              std::vector<std::string>{"zrq7010_frequency_center" + h + " -0.33333333333333331"});
    EXPECT_EQ(fake.callsOf("zrq7010_diag_reg").size(), 1u); // whole function names only
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

    // Injected library failures throw without logging.
    fake.clearLog();
    fake.missingFunctions = {"zrq7010_read"};
    EXPECT_THROW(fake.read(1, data, 4, &overload), zr::LibraryError);
    EXPECT_EQ(fake.meas_start(1), 0);
    fake.libraryMissing = true;
    EXPECT_THROW(fake.close(0), zr::LibraryError);
    EXPECT_EQ(fake.log(), std::vector<std::string>{"zrq7010_meas_start 1"});
}
