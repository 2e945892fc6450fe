// A recording stand-in for the instrument, for tests of the window and its
// handlers. Every call is logged as the line the stand-in driver journals for
// it (zrq7010_32_journal.h), e.g. "zrq7010_read 4097 1024".
// Answers are programmable through the public members; the defaults behave
// like a healthy module that reads back the registers and delay it was told.
//
// RecordingInstrument logs every call of the driver's function list and
// answers success; FakeInstrument adds the calls that answer something or
// keep what they were told.
#pragma once

#include "driver/instrument.h"
#include "zrq7010_32_journal.h"

#include <array>
#include <deque>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace zr {

class RecordingInstrument : public Instrument {
public:
    const std::vector<std::string>& log() const { return log_; }
    void clearLog() { log_.clear(); }
    // Log lines that start with the given function name (e.g. "zrq7010_read").
    std::vector<std::string> callsOf(const std::string& function) const;

    bool libraryMissing = false;            // every call throws LibraryError
    std::set<std::string> missingFunctions; // calls of these throw LibraryError naming them

#define ZR_RECORD_CALL(ret, name, params, args)                                                    \
    ret name params override {                                                                     \
        record("zrq7010_" #name, ZR_UNPARENTHESISED args);                                         \
        return 0;                                                                                  \
    }
#define ZR_UNPARENTHESISED(...) __VA_ARGS__
    ZRQ7010_FUNCTIONS(ZR_RECORD_CALL)
#undef ZR_UNPARENTHESISED
#undef ZR_RECORD_CALL

protected:
    // Throws as a missing library or function would, then logs the call's line.
    template <typename... Args> void record(const char* function, Args... args) {
        throwIfMissing(function);
        log_.push_back(zrq7010::journalLine(function, args...));
    }

private:
    void throwIfMissing(const char* function) const;

    std::vector<std::string> log_;
};

class FakeInstrument : public RecordingInstrument {
public:
    struct InitAnswer {
        int32_t status = 0;
        int32_t handle = 1;
    };
    InitAnswer initDefault;                       // every descriptor
    std::map<int32_t, std::string> errorMessages; // by status; others "Simulated driver error"

    std::deque<int32_t> readStatuses; // consumed one per read; then 0
    // Written by a read with status 0: at most blocklen values (2 x blocklen
    // after data_type 1), the rest of the block is filled with zeros.
    std::vector<float> blockData;
    int16_t overload = 0; // written by a read with status 0

    std::deque<int32_t> measStartStatuses; // consumed one per start; then the default
    int32_t measStartStatusDefault = 0;

    std::deque<int16_t> statusSequence;                   // consumed one per status_get
    int16_t statusDefault = static_cast<int16_t>(0x8000); // idle: sign bit set

    int16_t rangeGetAnswer = 9;                // the range a search ends with
    std::optional<int32_t> triggerDelayAnswer; // unset: the delay set last (initially 0)
    std::map<int16_t, int16_t> diagRegAnswers; // override per register
    int32_t calStamp = 0;                      // diag_cal stores its stamp here
    std::array<double, 33> adccal{};
    std::string selfTestText = "Self test passed";
    std::deque<int32_t> errorQueue; // error_query pops; empty gives code 0
    // false: texts fill all 80 bytes with no terminating code-0 character.
    bool terminateTexts = true;

    // What the fake was told.
    std::map<int16_t, int16_t> diagRegs; // last value written per register
    int16_t dataType = 0;
    int32_t triggerDelay = 0;

    int32_t init(const char* descriptor, int16_t idQuery, int16_t reset, int32_t* instr) override;
    int32_t error_message(int32_t instr, int32_t status, char* text) override;
    int32_t meas_start(int32_t instr) override;
    int32_t read(int32_t instr, float* data, int32_t blocklen, int16_t* overload) override;
    int32_t input_range_get(int32_t instr, int16_t* code) override;
    int32_t status_get(int32_t instr, int16_t* status) override;
    int32_t data_type(int32_t instr, int16_t value) override;
    int32_t data_memsize_get(int32_t instr, int16_t* megabytes) override;
    int32_t trigger_delay(int32_t instr, int32_t samples) override;
    int32_t trigger_delay_get(int32_t instr, int32_t* samples) override;
    int32_t diag_reg(int32_t instr, int16_t reg, int16_t value) override;
    int32_t diag_reg_get(int32_t instr, int16_t reg, int16_t* value) override;
    int32_t diag_adccal_get(int32_t instr, double* table33) override;
    int32_t diag_cal(int32_t instr, int32_t stamp) override;
    int32_t diag_cal_get(int32_t instr, int32_t* stamp) override;
    int32_t self_test(int32_t instr, int16_t* result, char* text) override;
    int32_t error_query(int32_t instr, int32_t* code, char* text) override;
    int32_t revision_query(int32_t instr, char* libraryRev, char* firmwareRev) override;

private:
    void putText(char* buffer, const std::string& text) const;
};

} // namespace zr
