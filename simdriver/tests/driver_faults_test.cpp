// The misbehaviours ZRQ7010_FAULT selects for tests of callers, seen through the calls they
// change (the block faults are tried through the front panel's end-to-end tests).
#include "driver_test_util.h"

#include <cstdlib>

namespace {

struct SimDriverFaults : zrtest::Session {
    void TearDown() override {
        unsetenv("ZRQ7010_FAULT");
        Session::TearDown();
    }
};

TEST_F(SimDriverFaults, ZeroHandleEndlessAutoRangeAndEndlessErrorQueue) {
    setenv("ZRQ7010_FAULT", "open-zero-handle", 1);
    int32_t other = -1;
    EXPECT_EQ(ZRQ(init)("VXI::192", 1, 1, &other), ZRQ7010_SUCCESS);
    EXPECT_EQ(other, 0);

    setenv("ZRQ7010_FAULT", "autorange-endless", 1);
    ASSERT_EQ(ZRQ(input_range_auto)(instr, 0, 0), ZRQ7010_SUCCESS);
    int16_t s = 0;
    for (int i = 0; i < 100; ++i) {
        ZRQ(status_get)(instr, &s);
        ASSERT_GE(s, 0) << "poll " << i; // never idle
    }

    setenv("ZRQ7010_FAULT", "error-queue-endless", 1);
    int32_t code = 0;
    char text[256];
    for (int i = 0; i < 300; ++i) {
        ZRQ(error_query)(instr, &code, text);
        ASSERT_EQ(code, ZRQ7010_ERR_PARAMETER) << "query " << i;
    }
}

} // namespace
