// Stand-in instrument driver of the ZRQ7010 digitizer: a virtual module.
//
// Every setting and diagnostic register is kept per module and read back
// from there; a measurement started with zrq7010_meas_start yields exactly
// one block, which zrq7010_read synthesises from the settings in force: a
// 1 V peak, 20 kHz cosine with a small input offset and uniform ADC noise,
// band-limited by the filter, mixed down by the centre frequency for zoom
// data and flagged as overload when the input exceeds the range.
// See simdriver/README.md for the behaviour in detail.
#include "zrq7010_32.h"
#include "zrq7010_32_journal.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <limits>
#include <utility>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>
#include <string>
#include <vector>

namespace {

// ---- Journal ---------------------------------------------------------------

// Appends one line per call to the file named by ZRQ7010_JOURNAL, opened and
// closed for every line so that the file is complete whenever it is read.
void appendToJournal(const char* path, const std::string& line) {
    static std::mutex journalMutex;
    std::lock_guard<std::mutex> lock(journalMutex);
    if (std::FILE* f = std::fopen(path, "a")) {
        std::fputs(line.c_str(), f);
        std::fputc('\n', f);
        std::fclose(f);
    }
}

// Journals a call: its function name (pass __func__) and all its arguments;
// the line leaves the outputs out.
template <typename... Args> void journal(const char* function, Args... args) {
    const char* path = std::getenv("ZRQ7010_JOURNAL");
    if (path != nullptr && *path != '\0') {
        appendToJournal(path, zrq7010::journalLine(function, args...));
    }
}

// ---- Text helpers ----------------------------------------------------------

void putText(char* buffer, const std::string& text) {
    if (buffer == nullptr) {
        return;
    }
    const std::size_t n = std::min<std::size_t>(text.size(), ZRQ7010_TEXT_SIZE - 1);
    std::memcpy(buffer, text.data(), n);
    buffer[n] = '\0';
}

std::string trimmed(const std::string& s) {
    std::size_t b = 0;
    std::size_t e = s.size();
    while (b < e && std::isspace(static_cast<unsigned char>(s[b]))) {
        ++b;
    }
    while (e > b && std::isspace(static_cast<unsigned char>(s[e - 1]))) {
        --e;
    }
    return s.substr(b, e - b);
}

std::string upper(std::string s) {
    for (char& c : s) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    return s;
}

// ---- Module model ----------------------------------------------------------

constexpr double kToneFrequency = 20000.0; // Hz
constexpr double kToneAmplitude = 1.0;     // V peak
constexpr int kRegisterCount = 32;         // diagnostic registers 0..31
constexpr int kPokeCount = 256;            // 32-bit module registers 0..255
constexpr int kRangePolls = 3;             // busy answers of an automatic range search
constexpr std::size_t kErrorQueueLimit = 32;
constexpr int32_t kMaxBlock = 32768;
constexpr int32_t kMinDelay = -32768;
constexpr int32_t kMaxDelay = 16777215;
constexpr int16_t kMemoryMegabytes = 64;

struct Settings {
    int16_t range = 9; // 10.24 V
    int16_t coupling = 0;
    int16_t floating = 0;
    int16_t signal = 1;
    int16_t alias = 1;
    int16_t dataType = 0;
    int16_t resolution = 0;
    int32_t blocksize = 1024;
    int16_t appendStatus = 0;
    int16_t bandwidth = 0;
    int16_t decimate = 0;
    double center = 0.0;
    int16_t trigType = 4; // immediate
    int16_t trigSlope = 0;
    int16_t adcLevel = 0;
    int16_t magLevel = -159;
    int32_t trigDelay = 0;
    int16_t trigGen = 0;
    int16_t clockSource = 0;
    int16_t clockMaster = 0;
    int16_t clockSync = 0;
    int16_t clockDsp = 1;
};

struct Registers {
    std::array<int16_t, kRegisterCount> reg{};
    // The input offset trims (registers 2 and 3) hold one value per range.
    std::array<int16_t, 10> offsetFine{};
    std::array<int16_t, 10> offsetCoarse{};
    std::array<int32_t, kPokeCount> poke{};
};

Registers factoryRegisters() {
    Registers r;
    r.reg.fill(0);
    r.reg[1] = 0x0714;
    for (int i = 4; i <= 9; ++i) {
        r.reg[static_cast<std::size_t>(i)] = 128;
    }
    r.reg[13] = 1;
    for (int c = 0; c < 10; ++c) {
        const auto range = static_cast<std::size_t>(c);
        r.offsetFine[range] = static_cast<int16_t>(123 + (c * 7) % 11);
        r.offsetCoarse[range] = static_cast<int16_t>(132 - (c * 5) % 9);
    }
    return r;
}

// Packs a date and time the way the module stamps its power-on settings.
int32_t packStamp(int year, int month, int day, int hour, int minute) {
    return ((((year * 16 + month) * 32 + day) * 32 + hour) * 64 + minute);
}

struct Module {
    std::string address; // descriptor in upper case, the module's identity
    Settings settings;
    Settings powerOn;
    Registers regs = factoryRegisters();
    int32_t calStamp = packStamp(2026, 1, 15, 10, 30);
    std::array<double, 33> adccal{};
    bool armed = false;
    bool autozeroed = false;
    int rangePolls = 0; // > 0 while an automatic range search runs
    int16_t lastOverload = 0;
    bool blockReady = false;
    std::deque<int32_t> errors;
    uint64_t rng = 0x9E3779B97F4A7C15ull;

    double uniform() { // [0, 1)
        rng ^= rng >> 12;
        rng ^= rng << 25;
        rng ^= rng >> 27;
        return static_cast<double>((rng * 0x2545F4914F6CDD1Dull) >> 11) * 0x1.0p-53;
    }
    void queue(int32_t code) {
        if (errors.size() < kErrorQueueLimit) {
            errors.push_back(code);
        }
    }
};

std::array<double, 33> calibrationTable(const std::string& address) {
    // Binary-weighted DAC segments measured against their nominal weight:
    // values close to 1 with small, module-specific deviations.
    unsigned seed = 0;
    for (char c : address) {
        seed = seed * 31u + static_cast<unsigned char>(c);
    }
    const double p = (seed % 1000) / 1000.0;
    std::array<double, 33> t{};
    for (int i = 0; i < 28; ++i) {
        t[static_cast<std::size_t>(i)] =
            1.0 + 0.0021 * std::sin(1.7 * i + 6.0 * p) - 0.0004 * std::cos(0.9 * i);
    }
    t[28] = 0.998437 + 0.0005 * p; // gain adjust
    return t;
}

double rangeVolts(int code) {
    return 0.02 * std::ldexp(1.0, code);
}

double externalClock() {
    const char* text = std::getenv("ZRQ7010_EXT_CLOCK");
    if (text != nullptr) {
        const double v = std::strtod(text, nullptr);
        if (v >= 1.0 && v <= 20480000.0) {
            return v;
        }
    }
    return 20480000.0;
}

double clockHz(const Settings& s) {
    switch (s.clockSource) {
    case 1:
    case 3:
        return 20000000.0;
    case 2:
    case 4:
    case 5:
        return externalClock();
    default:
        return 20480000.0;
    }
}

// Output sample rate: the clock halved once per filter step beyond the first
// digital bandwidth, and once more with decimation.
double sampleRate(const Settings& s) {
    const int k = s.bandwidth > 0 ? s.bandwidth - 1 : 0;
    return clockHz(s) / std::ldexp(1.0, k + (s.decimate >= 1 ? 1 : 0));
}

// Highest frequency the filter passes (one-sided).
double passband(const Settings& s) {
    const double clock = clockHz(s);
    double edge = s.bandwidth == 0 ? (s.alias == 1 ? 8.0e6 : 40.0e6)
                                   : 0.390625 * clock / std::ldexp(1.0, s.bandwidth);
    return std::min(edge, sampleRate(s) / 2.0);
}

double inputOffset(const Module& m, int rangeCode) {
    if (m.settings.coupling == 1 || m.autozeroed) {
        return 0.0;
    }
    return 0.00015 * rangeVolts(rangeCode);
}

double toneAmplitude(const Module& m) {
    return m.settings.signal == 1 ? kToneAmplitude : 0.0;
}

double noisePeak(int rangeCode) {
    return 0.0007 * rangeVolts(rangeCode) / 2.0;
}

double inputPeak(const Module& m, int rangeCode) {
    return std::fabs(inputOffset(m, rangeCode)) + toneAmplitude(m) + noisePeak(rangeCode);
}

// The most sensitive range that keeps the input peak below 90 % of full scale.
int16_t autoRangeChoice(const Module& m) {
    for (int c = 0; c <= 9; ++c) {
        if (inputPeak(m, c) <= 0.9 * rangeVolts(c)) {
            return static_cast<int16_t>(c);
        }
    }
    return 9;
}

// ---- Faults ----------------------------------------------------------------

// A misbehaving driver on request, for tests of the caller: ZRQ7010_FAULT
// names one fault (read at each call, so a test can change it).
enum class Fault {
    None,
    OpenZeroHandle,    // init succeeds but hands back handle 0
    OpenLongText,      // init fails; the message fills all 80 characters, no code 0
    ReadError,         // every read fails with ZRQ7010_ERR_HARDWARE
    NeverReady,        // every read answers 2 (not ready)
    AutorangeEndless,  // the range search never reports idle
    ErrorQueueEndless, // the error queue never empties
    NonFinite,         // blocks carry NaN and infinities
    ReadOversize,      // a read writes more values than asked
};

Fault activeFault() {
    static const std::pair<const char*, Fault> names[] = {
        {"open-zero-handle", Fault::OpenZeroHandle},
        {"open-long-text", Fault::OpenLongText},
        {"read-error", Fault::ReadError},
        {"never-ready", Fault::NeverReady},
        {"autorange-endless", Fault::AutorangeEndless},
        {"error-queue-endless", Fault::ErrorQueueEndless},
        {"non-finite", Fault::NonFinite},
        {"read-oversize", Fault::ReadOversize},
    };
    const char* wanted = std::getenv("ZRQ7010_FAULT");
    if (wanted != nullptr) {
        for (const auto& [name, fault] : names) {
            if (std::strcmp(wanted, name) == 0) {
                return fault;
            }
        }
    }
    return Fault::None;
}

// Values written past the asked block by ReadOversize.
constexpr int32_t kOversize = 256;

// ---- Sessions --------------------------------------------------------------

std::mutex g_mutex;
std::map<std::string, std::unique_ptr<Module>> g_modules; // by address
std::map<int32_t, Module*> g_sessions;                    // by handle
int32_t g_nextHandle = 4097;
std::string g_lastFailedDescriptor;
constexpr std::size_t kMaxSessions = 16;

// Handle 0 is the front panel's "no instrument" session: calls succeed and
// keep their settings here, but no module measures anything.
Module& offlineModule() {
    static Module m;
    return m;
}

std::vector<std::string> knownDescriptors() {
    std::vector<std::string> list{"VXI::192"};
    if (const char* extra = std::getenv("ZRQ7010_DESCRIPTORS")) {
        std::string rest = extra;
        std::size_t pos = 0;
        while (pos <= rest.size()) {
            const std::size_t comma = rest.find(',', pos);
            const std::string item = trimmed(
                rest.substr(pos, comma == std::string::npos ? std::string::npos : comma - pos));
            if (!item.empty()) {
                list.push_back(item);
            }
            if (comma == std::string::npos) {
                break;
            }
            pos = comma + 1;
        }
    }
    return list;
}

void resetModule(Module& m) {
    m.settings = m.powerOn;
    m.regs = factoryRegisters();
    m.armed = false;
    m.blockReady = false;
    m.autozeroed = false;
    m.rangePolls = 0;
    m.lastOverload = 0;
    m.errors.clear();
}

// Looks up the module of a handle; handle 0 gives the offline module.
Module* moduleOf(int32_t instr) {
    if (instr == 0) {
        return &offlineModule();
    }
    auto it = g_sessions.find(instr);
    return it == g_sessions.end() ? nullptr : it->second;
}

// The storage of a diagnostic register; the two input-offset trims
// (registers 2 and 3) are kept per input range.
int16_t& registerSlot(Module& m, int16_t reg) {
    const auto range = static_cast<std::size_t>(m.settings.range);
    if (reg == 2) {
        return m.regs.offsetFine[range];
    }
    if (reg == 3) {
        return m.regs.offsetCoarse[range];
    }
    return m.regs.reg[static_cast<std::size_t>(reg)];
}

// A call's session: its handle and the module it talks to.
struct Session {
    int32_t handle;
    Module& module;

    // Handle 0 keeps its settings, but no module measures, resets or calibrates.
    bool offline() const { return handle == 0; }

    // A value the module cannot take: queued as an error for a real session;
    // the offline module accepts anything silently.
    int32_t refuse() {
        if (offline()) {
            return ZRQ7010_SUCCESS;
        }
        module.queue(ZRQ7010_ERR_PARAMETER);
        return ZRQ7010_ERR_PARAMETER;
    }

    // A short setting: range check, then store.
    int32_t set(int16_t value, int lo, int hi, int16_t Settings::*field) {
        if (value < lo || value > hi) {
            return refuse();
        }
        module.settings.*field = value;
        return ZRQ7010_SUCCESS;
    }
};

// True when none of a call's output pointers is null.
template <typename... T> bool allSet(T*... outputs) {
    return ((outputs != nullptr) && ...);
}

// The start that every call on a session shares: a null output is refused
// first; then, under the driver's lock, a handle that names no open session.
// `body` runs with the session, still under the lock, and gives the status.
template <typename Body> int32_t withSession(int32_t instr, bool outputsSet, Body&& body) {
    if (!outputsSet) {
        return ZRQ7010_ERR_NULL_POINTER;
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    Module* m = moduleOf(instr);
    if (m == nullptr) {
        return ZRQ7010_ERR_SESSION;
    }
    Session session{instr, *m};
    return body(session);
}

template <typename Body> int32_t withSession(int32_t instr, Body&& body) {
    return withSession(instr, true, std::forward<Body>(body));
}

int32_t setShort(int32_t instr, int16_t value, int lo, int hi, int16_t Settings::*field) {
    return withSession(instr, [&](Session& s) { return s.set(value, lo, hi, field); });
}

std::string messageFor(int32_t status) {
    switch (status) {
    case ZRQ7010_SUCCESS:
        return "No error";
    case ZRQ7010_NOT_READY:
        return "No data ready: start a measurement and wait for the trigger";
    case ZRQ7010_ERR_NO_MODULE: {
        const std::string d = g_lastFailedDescriptor;
        const std::size_t sep = d.find("::");
        if (sep != std::string::npos) {
            std::string address = d.substr(sep + 2);
            const std::size_t end = address.find("::");
            if (end != std::string::npos) {
                address = address.substr(0, end);
            }
            return "No module answers at VXI address " + address;
        }
        return "No module answers at the given address";
    }
    case ZRQ7010_ERR_DESCRIPTOR:
        return g_lastFailedDescriptor.empty()
                   ? std::string("Resource descriptor is empty")
                   : "Resource descriptor not recognised: " + g_lastFailedDescriptor;
    case ZRQ7010_ERR_SESSION:
        return "Invalid session handle";
    case ZRQ7010_ERR_PARAMETER:
        return "Parameter out of range";
    case ZRQ7010_ERR_BAD_SETUP:
        return "Bad setup: block size or centre frequency cannot be acquired";
    case ZRQ7010_ERR_NULL_POINTER:
        return "Null pointer argument";
    case ZRQ7010_ERR_TOO_MANY_SESSIONS:
        return "Too many open sessions";
    case ZRQ7010_ERR_HARDWARE:
        return "The module failed to deliver the block";
    default:
        return "Unknown status code " + std::to_string(status);
    }
}

bool isPowerOfTwoBlock(int32_t n) {
    return n >= 32 && n <= kMaxBlock && (n & (n - 1)) == 0;
}

// Trigger timing of the next block. Returns false when the trigger cannot
// fire with the present signal; otherwise sets the phase of the tone at the
// trigger instant.
bool triggerPhase(Module& m, double& phase) {
    const Settings& s = m.settings;
    const double R = rangeVolts(s.range);
    const double A = toneAmplitude(m);
    const double off = inputOffset(m, s.range);
    switch (s.trigType) {
    case 1: { // ADC level, on the input before the digital filter
        const double level = s.adcLevel / 256.0 * R;
        if (A <= 0.0 || std::fabs(level - off) > A) {
            return false;
        }
        const double a = std::acos((level - off) / A);
        phase = s.trigSlope == 0 ? -a : a;
        return true;
    }
    case 2: // external: nothing is connected to the trigger input
        return false;
    case 3: { // magnitude of the filtered data, in dB below full scale
        const double B = passband(s);
        const double fc = s.center * clockHz(s);
        double mag = 0.0;
        if (s.dataType == 0) {
            mag = (kToneFrequency <= B ? A : 0.0) + std::fabs(off);
        } else {
            mag = (std::fabs(kToneFrequency - fc) <= B ? A / 2 : 0.0) +
                  (std::fabs(kToneFrequency + fc) <= B ? A / 2 : 0.0) +
                  (std::fabs(fc) <= B ? std::fabs(off) : 0.0);
        }
        const double levelDb = s.magLevel * 0.376287495;
        if (mag <= 0.0 || 20.0 * std::log10(mag / R) < levelDb) {
            return false;
        }
        phase = 0.0;
        return true;
    }
    default: // software (the start itself triggers) and immediate: free running
        phase = 2.0 * std::numbers::pi * m.uniform();
        return true;
    }
}

void synthesise(Module& m, float* data, int32_t count, double phase) {
    const Settings& s = m.settings;
    const double R = rangeVolts(s.range);
    const double fs = sampleRate(s);
    const double B = passband(s);
    const double fc = s.center * clockHz(s);
    const double A = toneAmplitude(m);
    const double off = inputOffset(m, s.range);
    const int k = s.bandwidth > 0 ? s.bandwidth - 1 : 0;
    double noise = 0.0007 * R / std::sqrt(std::ldexp(1.0, k));
    const double q = s.resolution == 1 ? R / 32768.0 : 0.0;
    const auto quantise = [q](double v) { return q > 0.0 ? std::nearbyint(v / q) * q : v; };
    const double twoPi = 2.0 * std::numbers::pi;
    const double delay = s.trigDelay;
    if (s.dataType == 0) {
        const double a1 = kToneFrequency <= B ? A : 0.0;
        for (int32_t n = 0; n < count; ++n) {
            const double t = (n + delay) / fs;
            double v = off + a1 * std::cos(phase + twoPi * kToneFrequency * t);
            v += noise * (m.uniform() - 0.5);
            data[n] = static_cast<float>(quantise(v));
        }
        return;
    }
    noise /= std::sqrt(2.0);
    const double a0 = std::fabs(fc) <= B ? off : 0.0;
    const double aUp = std::fabs(kToneFrequency - fc) <= B ? A / 2 : 0.0;
    const double aLo = std::fabs(kToneFrequency + fc) <= B ? A / 2 : 0.0;
    for (int32_t n = 0; n < count; ++n) {
        const double t = (n + delay) / fs;
        const double w0 = -twoPi * fc * t;
        const double wUp = phase + twoPi * (kToneFrequency - fc) * t;
        const double wLo = -phase + twoPi * (-kToneFrequency - fc) * t;
        double re = a0 * std::cos(w0) + aUp * std::cos(wUp) + aLo * std::cos(wLo);
        double im = a0 * std::sin(w0) + aUp * std::sin(wUp) + aLo * std::sin(wLo);
        re += noise * (m.uniform() - 0.5);
        im += noise * (m.uniform() - 0.5);
        data[2 * n] = static_cast<float>(quantise(re));
        data[2 * n + 1] = static_cast<float>(quantise(im));
    }
}

} // namespace

// ---- Exported functions ------------------------------------------------------

extern "C" {

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_init(const char* descriptor, int16_t id_query,
                                              int16_t reset, int32_t* instr) {
    journal(__func__, descriptor, id_query, reset, instr);
    if (instr == nullptr) {
        return ZRQ7010_ERR_NULL_POINTER;
    }
    *instr = 0;
    std::lock_guard<std::mutex> lock(g_mutex);
    const std::string wanted = descriptor ? trimmed(descriptor) : std::string();
    if (activeFault() == Fault::OpenZeroHandle) {
        return ZRQ7010_SUCCESS;
    }
    if (activeFault() == Fault::OpenLongText) {
        return ZRQ7010_ERR_NO_MODULE;
    }
    if (wanted.empty()) {
        g_lastFailedDescriptor.clear();
        return ZRQ7010_ERR_DESCRIPTOR;
    }
    bool known = false;
    for (const std::string& d : knownDescriptors()) {
        known = known || upper(d) == upper(wanted);
    }
    if (!known) {
        g_lastFailedDescriptor = wanted;
        return wanted.find("::") != std::string::npos ? ZRQ7010_ERR_NO_MODULE
                                                      : ZRQ7010_ERR_DESCRIPTOR;
    }
    if (g_sessions.size() >= kMaxSessions) {
        return ZRQ7010_ERR_TOO_MANY_SESSIONS;
    }
    const std::string address = upper(wanted);
    auto& slot = g_modules[address];
    if (!slot) {
        slot = std::make_unique<Module>();
        slot->address = address;
        slot->adccal = calibrationTable(address);
    }
    if (reset != 0) {
        resetModule(*slot);
    }
    const int32_t handle = g_nextHandle++;
    g_sessions[handle] = slot.get();
    *instr = handle;
    return ZRQ7010_SUCCESS;
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_error_message(int32_t instr, int32_t status, char* text) {
    journal(__func__, instr, status, text);
    if (text == nullptr) {
        return ZRQ7010_ERR_NULL_POINTER;
    }
    if (activeFault() == Fault::OpenLongText) {
        std::string full = "The module did not answer at all";
        full.resize(ZRQ7010_TEXT_SIZE, '.');
        std::memcpy(text, full.data(), full.size()); // all 80 characters, no code 0
        return ZRQ7010_SUCCESS;
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    putText(text, messageFor(status));
    return ZRQ7010_SUCCESS;
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_close(int32_t instr) {
    journal(__func__, instr);
    if (instr == 0) {
        return ZRQ7010_SUCCESS;
    }
    std::lock_guard<std::mutex> lock(g_mutex);
    return g_sessions.erase(instr) == 1 ? ZRQ7010_SUCCESS : ZRQ7010_ERR_SESSION;
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_reset(int32_t instr) {
    journal(__func__, instr);
    return withSession(instr, [&](Session& s) {
        if (!s.offline()) {
            resetModule(s.module);
        }
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_meas_start(int32_t instr) {
    journal(__func__, instr);
    if (instr == 0) {
        return ZRQ7010_SUCCESS;
    }
    return withSession(instr, [&](Session& s) {
        Module& m = s.module;
        if (!isPowerOfTwoBlock(m.settings.blocksize) ||
            (m.settings.dataType == 1 && std::fabs(m.settings.center) > 0.5)) {
            m.armed = false;
            m.queue(ZRQ7010_ERR_BAD_SETUP);
            return ZRQ7010_ERR_BAD_SETUP;
        }
        m.armed = true;
        m.blockReady = false;
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_read(int32_t instr, float* data, int32_t blocklen,
                                              int16_t* overload) {
    journal(__func__, instr, data, blocklen, overload);
    if (instr == 0) {
        return ZRQ7010_NOT_READY; // no module, so never a block
    }
    // Unlike the other calls, the session is checked before the outputs.
    return withSession(instr, [&](Session& s) {
        Module& m = s.module;
        if (!allSet(data, overload)) {
            return ZRQ7010_ERR_NULL_POINTER;
        }
        if (blocklen < 1 || blocklen > kMaxBlock) {
            m.queue(ZRQ7010_ERR_PARAMETER);
            return ZRQ7010_ERR_PARAMETER;
        }
        const Fault fault = activeFault();
        if (fault == Fault::ReadError) {
            m.queue(ZRQ7010_ERR_HARDWARE);
            return ZRQ7010_ERR_HARDWARE;
        }
        if (fault == Fault::NeverReady || !m.armed || m.rangePolls > 0) {
            return ZRQ7010_NOT_READY;
        }
        double phase = 0.0;
        if (!triggerPhase(m, phase)) {
            return ZRQ7010_NOT_READY; // waiting for a trigger that does not come
        }
        synthesise(m, data, blocklen, phase);
        const int32_t values = m.settings.dataType == 1 ? 2 * blocklen : blocklen;
        if (fault == Fault::NonFinite) {
            for (int32_t i = 0; i < values; i += 5) {
                data[i] = i % 3 == 0   ? std::numeric_limits<float>::quiet_NaN()
                          : i % 3 == 1 ? std::numeric_limits<float>::infinity()
                                       : -std::numeric_limits<float>::infinity();
            }
        }
        if (fault == Fault::ReadOversize) {
            std::fill(data + values, data + values + kOversize, 1.0e30f);
        }
        m.lastOverload = inputPeak(m, m.settings.range) > rangeVolts(m.settings.range) ? 1 : 0;
        *overload = m.lastOverload;
        m.armed = false;
        m.blockReady = true;
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_range(int32_t instr, int16_t code) {
    journal(__func__, instr, code);
    return withSession(instr, [&](Session& s) {
        const int32_t status = s.set(code, 0, 9, &Settings::range);
        if (status == ZRQ7010_SUCCESS && !s.offline()) {
            s.module.autozeroed = false; // the offset of the new range is not yet nulled
        }
        return status;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_coupling(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 1, &Settings::coupling);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_float(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 1, &Settings::floating);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_signal(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 1, &Settings::signal);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_alias_filter(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 1, &Settings::alias);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_autozero(int32_t instr) {
    journal(__func__, instr);
    return withSession(instr, [&](Session& s) {
        if (!s.offline()) {
            s.module.autozeroed = true;
        }
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_range_auto(int32_t instr, int16_t a, int16_t b) {
    journal(__func__, instr, a, b);
    return withSession(instr, [&](Session& s) {
        if (!s.offline()) {
            s.module.rangePolls = kRangePolls;
            s.module.armed = false;
        }
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_input_range_get(int32_t instr, int16_t* code) {
    journal(__func__, instr, code);
    return withSession(instr, allSet(code), [&](Session& s) {
        *code = s.module.settings.range;
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_status_get(int32_t instr, int16_t* status) {
    journal(__func__, instr, status);
    return withSession(instr, allSet(status), [&](Session& s) {
        Module& m = s.module;
        int word = 0;
        if (activeFault() == Fault::AutorangeEndless && m.rangePolls > 0) {
            // busy for ever
        } else if (m.rangePolls > 0) {
            // The search settles on the range after its last busy answer.
            if (--m.rangePolls == 0) {
                m.settings.range = autoRangeChoice(m);
                m.autozeroed = false;
            }
        } else {
            word |= ZRQ7010_STATUS_IDLE;
        }
        if (m.armed) {
            word |= ZRQ7010_STATUS_ARMED;
        }
        if (m.blockReady) {
            word |= ZRQ7010_STATUS_BLOCK_READY;
        }
        if (m.lastOverload != 0) {
            word |= ZRQ7010_STATUS_OVERLOAD;
        }
        *status = static_cast<int16_t>(static_cast<uint16_t>(word));
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_data_type(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 1, &Settings::dataType);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_data_resolution(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 1, &Settings::resolution);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_data_blocksize(int32_t instr, int32_t samples) {
    journal(__func__, instr, samples);
    return withSession(instr, [&](Session& s) {
        // Any count is stored; one the memory cannot acquire is refused by the
        // next measurement start as a bad setup.
        s.module.settings.blocksize = samples;
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_data_append_status(int32_t instr, int16_t on) {
    journal(__func__, instr, on);
    return setShort(instr, on, 0, 1, &Settings::appendStatus);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_data_memsize_get(int32_t instr, int16_t* megabytes) {
    journal(__func__, instr, megabytes);
    return withSession(instr, allSet(megabytes), [&](Session& s) {
        *megabytes = s.offline() ? 0 : kMemoryMegabytes;
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_filter_bw(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 23, &Settings::bandwidth);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_filter_decimate(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 1, &Settings::decimate);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_frequency_center(int32_t instr, double fraction) {
    journal(__func__, instr, fraction);
    return withSession(instr, [&](Session& s) {
        if (!std::isfinite(fraction)) {
            return s.refuse();
        }
        s.module.settings.center = fraction;
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_type(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 4, &Settings::trigType);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_slope(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 1, &Settings::trigSlope);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_adclevel(int32_t instr, int16_t level) {
    journal(__func__, instr, level);
    return setShort(instr, level, -256, 255, &Settings::adcLevel);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_maglevel(int32_t instr, int16_t code) {
    journal(__func__, instr, code);
    return setShort(instr, code, -349, 19, &Settings::magLevel);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_delay(int32_t instr, int32_t samples) {
    journal(__func__, instr, samples);
    return withSession(instr, [&](Session& s) {
        // The module accepts the nearest delay it can realise; the read-back
        // reports what is in force.
        s.module.settings.trigDelay = std::clamp(samples, kMinDelay, kMaxDelay);
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_delay_get(int32_t instr, int32_t* samples) {
    journal(__func__, instr, samples);
    return withSession(instr, allSet(samples), [&](Session& s) {
        *samples = s.module.settings.trigDelay;
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_trigger_gen(int32_t instr, int16_t on) {
    journal(__func__, instr, on);
    return setShort(instr, on, 0, 1, &Settings::trigGen);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_clock_source(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 5, &Settings::clockSource);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_clock_master(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 2, &Settings::clockMaster);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_clock_multi_sync(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 2, &Settings::clockSync);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_clock_dsp(int32_t instr, int16_t value) {
    journal(__func__, instr, value);
    return setShort(instr, value, 0, 1, &Settings::clockDsp);
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_reg(int32_t instr, int16_t reg, int16_t value) {
    journal(__func__, instr, reg, value);
    return withSession(instr, [&](Session& s) {
        if (reg < 0 || reg >= kRegisterCount) {
            return s.refuse();
        }
        registerSlot(s.module, reg) = value;
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_reg_get(int32_t instr, int16_t reg, int16_t* value) {
    journal(__func__, instr, reg, value);
    return withSession(instr, allSet(value), [&](Session& s) {
        if (reg < 0 || reg >= kRegisterCount) {
            *value = 0;
            return s.refuse();
        }
        *value = registerSlot(s.module, reg);
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_poke(int32_t instr, int16_t reg, int32_t value) {
    journal(__func__, instr, reg, value);
    return withSession(instr, [&](Session& s) {
        if (reg < 0 || reg >= kPokeCount) {
            return s.refuse();
        }
        s.module.regs.poke[static_cast<std::size_t>(reg)] = value;
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_peek(int32_t instr, int16_t reg, int32_t* value) {
    journal(__func__, instr, reg, value);
    return withSession(instr, allSet(value), [&](Session& s) {
        if (reg < 0 || reg >= kPokeCount) {
            *value = 0;
            return s.refuse();
        }
        *value = s.module.regs.poke[static_cast<std::size_t>(reg)];
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_adccal_get(int32_t instr, double* table) {
    journal(__func__, instr, table);
    return withSession(instr, allSet(table), [&](Session& s) {
        std::copy(s.module.adccal.begin(), s.module.adccal.end(), table);
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_cal(int32_t instr, int32_t stamp) {
    journal(__func__, instr, stamp);
    return withSession(instr, [&](Session& s) {
        if (!s.offline()) {
            // The settings in force become the power-on settings.
            s.module.powerOn = s.module.settings;
            s.module.calStamp = stamp;
        }
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_diag_cal_get(int32_t instr, int32_t* stamp) {
    journal(__func__, instr, stamp);
    return withSession(instr, allSet(stamp), [&](Session& s) {
        *stamp = s.offline() ? 0 : s.module.calStamp;
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_self_test(int32_t instr, int16_t* result, char* text) {
    journal(__func__, instr, result, text);
    return withSession(instr, allSet(result, text), [&](Session& s) {
        *result = 0;
        putText(text, s.offline() ? "No module: self test not run" : "Self test passed");
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_error_query(int32_t instr, int32_t* code, char* text) {
    journal(__func__, instr, code, text);
    return withSession(instr, allSet(code, text), [&](Session& s) {
        Module& m = s.module;
        *code = 0;
        if (activeFault() == Fault::ErrorQueueEndless) {
            m.queue(ZRQ7010_ERR_PARAMETER);
        }
        if (!m.errors.empty()) {
            *code = m.errors.front();
            m.errors.pop_front();
        }
        putText(text, messageFor(*code));
        return ZRQ7010_SUCCESS;
    });
}

ZRQ7010_API int32_t ZRQ7010_CALL zrq7010_revision_query(int32_t instr, char* library_rev,
                                                        char* firmware_rev) {
    journal(__func__, instr, library_rev, firmware_rev);
    return withSession(instr, allSet(library_rev, firmware_rev), [&](Session& s) {
        putText(library_rev, "zrq7010_32 stand-in 1.0.0");
        putText(firmware_rev, s.offline() ? "" : "Virtual module, firmware 1.00, board rev. A");
        return ZRQ7010_SUCCESS;
    });
}

} // extern "C"
