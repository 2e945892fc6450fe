// A recording instrument for the shell's tests: every call is logged as a
// line "zrq7010_<name> <instr> <args...>" (the stand-in driver's journal
// format); init answers from a script of statuses; any operation can be set
// to throw LibraryError, as a missing library does at its first call.
#pragma once

#include "driver/instrument.h"
#include "driver/library_loader.h"

#include <cstring>
#include <deque>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace zr::test {

class RecordingInstrument : public Instrument {
public:
    std::vector<std::string> calls;
    std::deque<int32_t> initStatus; // answers of init; 0 when empty
    int32_t handle = 4097;          // session handle init writes on success
    std::set<std::string> missing;  // operations that throw LibraryError

    int count(const std::string& line) const {
        int n = 0;
        for (const auto& c : calls) {
            n += (c == line);
        }
        return n;
    }
    int countPrefix(const std::string& prefix) const {
        int n = 0;
        for (const auto& c : calls) {
            n += (c.rfind(prefix, 0) == 0);
        }
        return n;
    }

    int32_t init(const char* descriptor, int16_t idQuery, int16_t reset, int32_t* instr) override {
        log("init", descriptor, idQuery, reset);
        int32_t status = 0;
        if (!initStatus.empty()) {
            status = initStatus.front();
            initStatus.pop_front();
        }
        if (status == 0) {
            *instr = handle;
        }
        return status;
    }
    int32_t error_message(int32_t instr, int32_t status, char* text) override {
        log("error_message", instr, status);
        // The caller's buffer must arrive cleared.
        bool cleared = true;
        for (int i = 0; i < kDriverTextSize; ++i) {
            cleared = cleared && text[i] == '\0';
        }
        bufferWasCleared = bufferWasCleared && cleared;
        const std::string msg = "Resource not found (status " + std::to_string(status) + ")";
        std::strncpy(text, msg.c_str(), kDriverTextSize - 1);
        return 0;
    }
    bool bufferWasCleared = true;

#define ZR_REC0(name)                                                                              \
    int32_t name(int32_t instr) override {                                                         \
        log(#name, instr);                                                                         \
        return 0;                                                                                  \
    }
#define ZR_REC1(name, T)                                                                           \
    int32_t name(int32_t instr, T a) override {                                                    \
        log(#name, instr, a);                                                                      \
        return 0;                                                                                  \
    }
#define ZR_REC1P(name, T)                                                                          \
    int32_t name(int32_t instr, T* a) override {                                                   \
        log(#name, instr);                                                                         \
        *a = 0;                                                                                    \
        return 0;                                                                                  \
    }
    ZR_REC0(close)
    ZR_REC0(reset)
    ZR_REC0(meas_start)
    ZR_REC0(input_autozero)
    int32_t read(int32_t instr, float*, int32_t blocklen, int16_t* overload) override {
        log("read", instr, blocklen);
        *overload = 0;
        return 2;
    }
    ZR_REC1(input_range, int16_t)
    ZR_REC1(input_coupling, int16_t)
    ZR_REC1(input_float, int16_t)
    ZR_REC1(input_signal, int16_t)
    ZR_REC1(input_alias_filter, int16_t)
    int32_t input_range_auto(int32_t instr, int16_t a, int16_t b) override {
        log("input_range_auto", instr, a, b);
        return 0;
    }
    ZR_REC1P(input_range_get, int16_t)
    ZR_REC1P(status_get, int16_t)
    ZR_REC1(data_type, int16_t)
    ZR_REC1(data_resolution, int16_t)
    ZR_REC1(data_blocksize, int32_t)
    ZR_REC1(data_append_status, int16_t)
    ZR_REC1P(data_memsize_get, int16_t)
    ZR_REC1(filter_bw, int16_t)
    ZR_REC1(filter_decimate, int16_t)
    ZR_REC1(frequency_center, double)
    ZR_REC1(trigger_type, int16_t)
    ZR_REC1(trigger_slope, int16_t)
    ZR_REC1(trigger_adclevel, int16_t)
    ZR_REC1(trigger_maglevel, int16_t)
    ZR_REC1(trigger_delay, int32_t)
    ZR_REC1P(trigger_delay_get, int32_t)
    ZR_REC1(trigger_gen, int16_t)
    ZR_REC1(clock_source, int16_t)
    ZR_REC1(clock_master, int16_t)
    ZR_REC1(clock_multi_sync, int16_t)
    ZR_REC1(clock_dsp, int16_t)
    int32_t diag_reg(int32_t instr, int16_t reg, int16_t value) override {
        log("diag_reg", instr, reg, value);
        return 0;
    }
    int32_t diag_reg_get(int32_t instr, int16_t reg, int16_t* value) override {
        log("diag_reg_get", instr, reg);
        *value = 0;
        return 0;
    }
    int32_t diag_poke(int32_t instr, int16_t reg, int32_t value) override {
        log("diag_poke", instr, reg, value);
        return 0;
    }
    int32_t diag_peek(int32_t instr, int16_t reg, int32_t* value) override {
        log("diag_peek", instr, reg);
        *value = 0;
        return 0;
    }
    int32_t diag_adccal_get(int32_t instr, double* table33) override {
        log("diag_adccal_get", instr);
        for (int i = 0; i < 33; ++i) {
            table33[i] = 0;
        }
        return 0;
    }
    ZR_REC1(diag_cal, int32_t)
    ZR_REC1P(diag_cal_get, int32_t)
    int32_t self_test(int32_t instr, int16_t* result, char* text) override {
        log("self_test", instr);
        *result = 0;
        text[0] = '\0';
        return 0;
    }
    int32_t error_query(int32_t instr, int32_t* code, char* text) override {
        log("error_query", instr);
        *code = 0;
        text[0] = '\0';
        return 0;
    }
    int32_t revision_query(int32_t instr, char* a, char* b) override {
        log("revision_query", instr);
        a[0] = b[0] = '\0';
        return 0;
    }
#undef ZR_REC0
#undef ZR_REC1
#undef ZR_REC1P

private:
    template <typename... A> void log(const std::string& name, const A&... args) {
        if (missing.count(name) != 0) {
            throw LibraryError("cannot load the instrument driver library libzrq7010_32.so "
                               "(function zrq7010_" +
                               name + ")");
        }
        std::ostringstream line;
        line << "zrq7010_" << name;
        ((line << ' ' << args), ...);
        calls.push_back(line.str());
    }
};

} // namespace zr::test
