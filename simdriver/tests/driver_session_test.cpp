// Sessions, error texts, the journal and the no-instrument handle 0.
#include "driver_test_util.h"

#include <sstream>

#include <unistd.h>

using namespace zrtest;

namespace {

std::string message(int32_t status) {
    char text[ZRQ7010_TEXT_SIZE];
    std::memset(text, 'x', sizeof text);
    EXPECT_EQ(ZRQ(error_message)(0, status, text), ZRQ7010_SUCCESS);
    EXPECT_NE(std::memchr(text, '\0', sizeof text), nullptr);
    return text;
}

} // namespace

TEST(SimDriverSession, EveryFunctionIsExportedByItsPlainName) {
    std::istringstream names(
        "init error_message close reset meas_start read input_range input_coupling input_float "
        "input_signal input_alias_filter input_autozero input_range_auto input_range_get "
        "status_get data_type data_resolution data_blocksize data_append_status "
        "data_memsize_get filter_bw filter_decimate frequency_center trigger_type "
        "trigger_slope trigger_adclevel trigger_maglevel trigger_delay trigger_delay_get "
        "trigger_gen clock_source clock_master clock_multi_sync clock_dsp diag_reg "
        "diag_reg_get diag_poke diag_peek diag_adccal_get diag_cal diag_cal_get self_test "
        "error_query revision_query");
    int count = 0;
    for (std::string n; names >> n; ++count)
        EXPECT_NE(driver().symbol(("zrq7010_" + n).c_str()), nullptr) << n;
    EXPECT_EQ(count, 44);
}

TEST(SimDriverSession, DefaultDescriptorOpensWithNonZeroHandle) {
    int32_t a = 0;
    int32_t b = 0;
    ASSERT_EQ(ZRQ(init)("VXI::192", 1, 1, &a), ZRQ7010_SUCCESS);
    ASSERT_EQ(ZRQ(init)("  vxi::192 ", 1, 0, &b), ZRQ7010_SUCCESS);
    EXPECT_NE(a, 0);
    EXPECT_NE(b, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(ZRQ(close)(a), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(close)(b), ZRQ7010_SUCCESS);
    // A closed handle is no session any more.
    EXPECT_EQ(ZRQ(close)(a), ZRQ7010_ERR_SESSION);
    EXPECT_EQ(ZRQ(meas_start)(a), ZRQ7010_ERR_SESSION);
}

TEST(SimDriverSession, UnknownAddressFailsWithReadableMessage) {
    int32_t instr = 77;
    const int32_t status = ZRQ(init)("VXI::5", 1, 1, &instr);
    EXPECT_EQ(status, ZRQ7010_ERR_NO_MODULE);
    EXPECT_EQ(instr, 0);
    EXPECT_EQ(message(status), "No module answers at VXI address 5");

    EXPECT_EQ(ZRQ(init)("VXI0::12::INSTR", 1, 1, &instr), ZRQ7010_ERR_NO_MODULE);
    EXPECT_EQ(message(ZRQ7010_ERR_NO_MODULE), "No module answers at VXI address 12");

    EXPECT_EQ(ZRQ(init)("nonsense", 1, 1, &instr), ZRQ7010_ERR_DESCRIPTOR);
    EXPECT_EQ(message(ZRQ7010_ERR_DESCRIPTOR), "Resource descriptor not recognised: nonsense");
    EXPECT_EQ(ZRQ(init)("   ", 1, 1, &instr), ZRQ7010_ERR_DESCRIPTOR);
    EXPECT_EQ(ZRQ(init)(nullptr, 1, 1, &instr), ZRQ7010_ERR_DESCRIPTOR);
    EXPECT_EQ(ZRQ(init)("VXI::192", 1, 1, nullptr), ZRQ7010_ERR_NULL_POINTER);
    EXPECT_EQ(message(-4242), "Unknown status code -4242");
}

TEST(SimDriverSession, ExtraDescriptorsComeFromTheEnvironment) {
    int32_t instr = 0;
    EXPECT_EQ(ZRQ(init)("GPIB::3", 1, 1, &instr), ZRQ7010_ERR_NO_MODULE);
    ASSERT_EQ(setenv("ZRQ7010_DESCRIPTORS", "GPIB::3, VXI::7", 1), 0);
    EXPECT_EQ(ZRQ(init)("GPIB::3", 1, 1, &instr), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(close)(instr), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(init)("VXI::7", 1, 1, &instr), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(close)(instr), ZRQ7010_SUCCESS);
    unsetenv("ZRQ7010_DESCRIPTORS");
    EXPECT_EQ(ZRQ(init)("VXI::7", 1, 1, &instr), ZRQ7010_ERR_NO_MODULE);
}

TEST(SimDriverSession, HandleZeroCallsSucceedWithoutAModule) {
    EXPECT_EQ(ZRQ(diag_reg)(0, 1, 1812), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(meas_start)(0), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(input_range)(0, 9), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(input_range)(0, 99), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(frequency_center)(0, 0.25), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(close)(0), ZRQ7010_SUCCESS);
    // Still usable after its "close".
    EXPECT_EQ(ZRQ(reset)(0), ZRQ7010_SUCCESS);
    float data[32];
    int16_t overload = 5;
    EXPECT_EQ(ZRQ(read)(0, data, 32, &overload), ZRQ7010_NOT_READY);
    EXPECT_EQ(overload, 5);
    // A range search ends at once, so a caller polling for the sign bit stops.
    EXPECT_EQ(ZRQ(input_range_auto)(0, 0, 0), ZRQ7010_SUCCESS);
    int16_t status = 0;
    EXPECT_EQ(ZRQ(status_get)(0, &status), ZRQ7010_SUCCESS);
    EXPECT_LT(status, 0);
    int32_t code = 1;
    char text[ZRQ7010_TEXT_SIZE];
    EXPECT_EQ(ZRQ(error_query)(0, &code, text), ZRQ7010_SUCCESS);
    EXPECT_EQ(code, 0);
    int32_t delay = 0;
    EXPECT_EQ(ZRQ(trigger_delay)(0, 12), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(trigger_delay_get)(0, &delay), ZRQ7010_SUCCESS);
    EXPECT_EQ(delay, 12);
}

TEST(SimDriverSession, UnknownHandleIsRefused) {
    int16_t v = 0;
    EXPECT_EQ(ZRQ(diag_reg)(999, 1, 3), ZRQ7010_ERR_SESSION);
    EXPECT_EQ(ZRQ(diag_reg_get)(999, 1, &v), ZRQ7010_ERR_SESSION);
    EXPECT_EQ(ZRQ(input_range)(-5, 3), ZRQ7010_ERR_SESSION);
    EXPECT_EQ(ZRQ(reset)(999), ZRQ7010_ERR_SESSION);
}

TEST(SimDriverJournal, EveryCallIsAppendedAsOneLine) {
    char path[] = "/tmp/zrq7010_journal_XXXXXX";
    const int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    ::close(fd);
    ASSERT_EQ(setenv("ZRQ7010_JOURNAL", path, 1), 0);
    int32_t instr = 0;
    ZRQ(init)("VXI::192", 1, 1, &instr);
    ZRQ(diag_reg)(instr, 1, 1812);
    ZRQ(frequency_center)(instr, 0.1);
    ZRQ(trigger_delay)(instr, -40);
    int16_t value = 0;
    ZRQ(diag_reg_get)(instr, 4, &value);
    ZRQ(input_range_auto)(instr, 0, 0);
    float data[64];
    int16_t overload = 0;
    ZRQ(read)(instr, data, 64, &overload);
    char text[ZRQ7010_TEXT_SIZE];
    ZRQ(error_message)(instr, -1001, text);
    ZRQ(diag_poke)(instr, 7, -769);
    ZRQ(close)(0);
    ZRQ(close)(instr);
    unsetenv("ZRQ7010_JOURNAL");
    ZRQ(close)(0); // not journalled any more

    const std::string h = std::to_string(instr);
    const std::vector<std::string> expected = {
        "zrq7010_init VXI::192 1 1",
        "zrq7010_diag_reg " + h + " 1 1812",
        "zrq7010_frequency_center " + h + " 0.10000000000000001",
        "zrq7010_trigger_delay " + h + " -40",
        "zrq7010_diag_reg_get " + h + " 4",
        "zrq7010_input_range_auto " + h + " 0 0",
        "zrq7010_read " + h + " 64",
        "zrq7010_error_message " + h + " -1001",
        "zrq7010_diag_poke " + h + " 7 -769",
        "zrq7010_close 0",
        "zrq7010_close " + h,
    };
    EXPECT_EQ(readLines(path), expected);
    std::remove(path);
}
