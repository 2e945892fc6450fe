#include "driver/tests/fake_instrument.h"

#include "driver/library_loader.h"

#include <algorithm>
#include <cstring>
#include <type_traits>

namespace zr {

std::vector<std::string> RecordingInstrument::callsOf(const std::string& function) const {
    std::vector<std::string> out;
    for (const std::string& line : log_) {
        if (line == function || line.rfind(function + " ", 0) == 0) {
            out.push_back(line);
        }
    }
    return out;
}

void RecordingInstrument::throwIfMissing(const char* function) const {
    if (libraryMissing) {
        throw LibraryError("Cannot load the instrument driver library libzrq7010_32.so");
    }
    if (missingFunctions.count(function) != 0) {
        throw LibraryError(std::string("The instrument driver library has no function ") +
                           function);
    }
}

void FakeInstrument::putText(char* buffer, const std::string& text) const {
    if (buffer == nullptr) {
        return;
    }
    if (!terminateTexts) {
        std::memset(buffer, 'X', kDriverTextSize);
        std::memcpy(buffer, text.data(), std::min<std::size_t>(text.size(), kDriverTextSize));
        return;
    }
    const std::size_t n = std::min<std::size_t>(text.size(), kDriverTextSize - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

namespace {

template <typename T> void put(T* out, std::type_identity_t<T> value) {
    if (out != nullptr) {
        *out = value;
    }
}

template <typename T> T popOr(std::deque<T>& queue, T fallback) {
    if (queue.empty()) {
        return fallback;
    }
    T v = queue.front();
    queue.pop_front();
    return v;
}

template <typename T>
T valueAt(const std::map<int16_t, T>& map, int16_t key, std::type_identity_t<T> fallback) {
    auto it = map.find(key);
    return it != map.end() ? it->second : fallback;
}

} // namespace

// Settings the fake stores for a later read-back.
#define ZR_FAKE_STORE(name, T, member)                                                             \
    int32_t FakeInstrument::name(int32_t instr, T value) {                                         \
        record("zrq7010_" #name, instr, value);                                                    \
        member = value;                                                                            \
        return 0;                                                                                  \
    }

// Read-backs with their answer.
#define ZR_FAKE_GET(name, T, answer)                                                               \
    int32_t FakeInstrument::name(int32_t instr, T* out) {                                          \
        record("zrq7010_" #name, instr, out);                                                      \
        put(out, answer);                                                                          \
        return 0;                                                                                  \
    }

int32_t FakeInstrument::init(const char* descriptor, int16_t idQuery, int16_t reset,
                             int32_t* instr) {
    record("zrq7010_init", descriptor, idQuery, reset, instr);
    put(instr, initDefault.status == 0 ? initDefault.handle : 0);
    return initDefault.status;
}

int32_t FakeInstrument::error_message(int32_t instr, int32_t status, char* text) {
    record("zrq7010_error_message", instr, status, text);
    auto it = errorMessages.find(status);
    putText(text, it != errorMessages.end() ? it->second : "Simulated driver error");
    return 0;
}

int32_t FakeInstrument::meas_start(int32_t instr) {
    record("zrq7010_meas_start", instr);
    return popOr(measStartStatuses, measStartStatusDefault);
}

int32_t FakeInstrument::read(int32_t instr, float* data, int32_t blocklen, int16_t* overloadOut) {
    record("zrq7010_read", instr, data, blocklen, overloadOut);
    const int32_t status = popOr(readStatuses, 0);
    if (status == 0 && data != nullptr && blocklen > 0) {
        const std::size_t values = static_cast<std::size_t>(blocklen) * (dataType == 1 ? 2 : 1);
        const std::size_t n = std::min(values, blockData.size());
        std::copy_n(blockData.begin(), n, data);
        std::fill(data + n, data + values, 0.0f);
        put(overloadOut, overload);
    }
    return status;
}

ZR_FAKE_GET(input_range_get, int16_t, rangeGetAnswer)
ZR_FAKE_GET(status_get, int16_t, popOr(statusSequence, statusDefault))

ZR_FAKE_STORE(data_type, int16_t, dataType)
ZR_FAKE_GET(data_memsize_get, int16_t, 64)

ZR_FAKE_STORE(trigger_delay, int32_t, triggerDelay)
ZR_FAKE_GET(trigger_delay_get, int32_t, triggerDelayAnswer.value_or(triggerDelay))

// A register reads back the override if any, else the value written last, else 0.
int32_t FakeInstrument::diag_reg(int32_t instr, int16_t reg, int16_t value) {
    record("zrq7010_diag_reg", instr, reg, value);
    diagRegs[reg] = value;
    return 0;
}
int32_t FakeInstrument::diag_reg_get(int32_t instr, int16_t reg, int16_t* value) {
    record("zrq7010_diag_reg_get", instr, reg, value);
    put(value, valueAt(diagRegAnswers, reg, valueAt(diagRegs, reg, 0)));
    return 0;
}
int32_t FakeInstrument::diag_adccal_get(int32_t instr, double* table33) {
    record("zrq7010_diag_adccal_get", instr, table33);
    if (table33 != nullptr) {
        std::copy(adccal.begin(), adccal.end(), table33);
    }
    return 0;
}
ZR_FAKE_STORE(diag_cal, int32_t, calStamp)
ZR_FAKE_GET(diag_cal_get, int32_t, calStamp)
int32_t FakeInstrument::self_test(int32_t instr, int16_t* result, char* text) {
    record("zrq7010_self_test", instr, result, text);
    put(result, 0);
    putText(text, selfTestText);
    return 0;
}
int32_t FakeInstrument::error_query(int32_t instr, int32_t* code, char* text) {
    record("zrq7010_error_query", instr, code, text);
    const int32_t c = popOr(errorQueue, 0);
    put(code, c);
    putText(text, c == 0 ? std::string("No error") : "Error " + std::to_string(c));
    return 0;
}
int32_t FakeInstrument::revision_query(int32_t instr, char* libraryRev, char* firmwareRev) {
    record("zrq7010_revision_query", instr, libraryRev, firmwareRev);
    putText(libraryRev, "fake driver 1.0");
    putText(firmwareRev, "fake firmware 1.0");
    return 0;
}

} // namespace zr
