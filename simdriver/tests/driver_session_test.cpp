// Sessions, error texts and the no-instrument handle 0 (the journal of every
// call is compared with the front panel's recording fake in its driver tests).
#include "driver_test_util.h"

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

TEST(SimDriverSession, OpenAndCloseGiveDistinctHandlesAndClosedOnesAreRefused) {
    int32_t a = 0;
    int32_t b = 0;
    ASSERT_EQ(ZRQ(init)("VXI::192", 1, 1, &a), ZRQ7010_SUCCESS);
    ASSERT_EQ(ZRQ(init)("  vxi::192 ", 1, 0, &b), ZRQ7010_SUCCESS);
    EXPECT_NE(a, 0);
    EXPECT_NE(a, b);
    EXPECT_EQ(ZRQ(close)(a), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(close)(b), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(close)(a), ZRQ7010_ERR_SESSION);
    EXPECT_EQ(ZRQ(meas_start)(a), ZRQ7010_ERR_SESSION);
}

TEST(SimDriverSession, FailedOpensGiveNoHandleAndAReadableMessage) {
    const struct {
        const char* descriptor;
        int32_t status;
        const char* text;
    } cases[] = {
        {"VXI0::12::INSTR", ZRQ7010_ERR_NO_MODULE, "No module answers at VXI address 12"},
        {"nonsense", ZRQ7010_ERR_DESCRIPTOR, "Resource descriptor not recognised: nonsense"},
    };
    for (const auto& c : cases) {
        int32_t instr = 77;
        EXPECT_EQ(ZRQ(init)(c.descriptor, 1, 1, &instr), c.status);
        EXPECT_EQ(instr, 0);
        EXPECT_EQ(message(c.status), c.text);
    }
    int32_t instr = 0;
    EXPECT_EQ(ZRQ(init)(nullptr, 1, 1, &instr), ZRQ7010_ERR_DESCRIPTOR);
    EXPECT_EQ(ZRQ(init)("VXI::192", 1, 1, nullptr), ZRQ7010_ERR_NULL_POINTER);
    EXPECT_EQ(message(-4242), "Unknown status code -4242");
}

TEST(SimDriverSession, HandleZeroCallsSucceedWithoutAModule) {
    EXPECT_EQ(ZRQ(input_range)(0, 99), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(meas_start)(0), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(close)(0), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(reset)(0), ZRQ7010_SUCCESS); // still usable after its "close"
    float data[32];
    int16_t overload = 5;
    EXPECT_EQ(ZRQ(read)(0, data, 32, &overload), ZRQ7010_NOT_READY);
    EXPECT_EQ(overload, 5);
    // A range search ends at once, so a caller polling for the sign bit stops.
    EXPECT_EQ(ZRQ(input_range_auto)(0, 0, 0), ZRQ7010_SUCCESS);
    int16_t status = 0;
    EXPECT_EQ(ZRQ(status_get)(0, &status), ZRQ7010_SUCCESS);
    EXPECT_LT(status, 0);
    int32_t delay = 0;
    EXPECT_EQ(ZRQ(trigger_delay)(0, 12), ZRQ7010_SUCCESS);
    EXPECT_EQ(ZRQ(trigger_delay_get)(0, &delay), ZRQ7010_SUCCESS);
    EXPECT_EQ(delay, 12);
}
