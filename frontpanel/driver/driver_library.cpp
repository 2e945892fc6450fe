#include "driver/driver_library.h"

#include "zrq7010_32.h"

namespace zr {

// Every function of the driver that the program calls.
#define ZR_DRIVER_FUNCTIONS(X)                                                                     \
    X(init)                                                                                        \
    X(error_message)                                                                               \
    X(close)                                                                                       \
    X(reset)                                                                                       \
    X(meas_start)                                                                                  \
    X(read)                                                                                        \
    X(input_range)                                                                                 \
    X(input_coupling)                                                                              \
    X(input_float)                                                                                 \
    X(input_signal)                                                                                \
    X(input_alias_filter)                                                                          \
    X(input_autozero)                                                                              \
    X(input_range_auto)                                                                            \
    X(input_range_get)                                                                             \
    X(status_get)                                                                                  \
    X(data_type)                                                                                   \
    X(data_resolution)                                                                             \
    X(data_blocksize)                                                                              \
    X(data_append_status)                                                                          \
    X(data_memsize_get)                                                                            \
    X(filter_bw)                                                                                   \
    X(filter_decimate)                                                                             \
    X(frequency_center)                                                                            \
    X(trigger_type)                                                                                \
    X(trigger_slope)                                                                               \
    X(trigger_adclevel)                                                                            \
    X(trigger_maglevel)                                                                            \
    X(trigger_delay)                                                                               \
    X(trigger_delay_get)                                                                           \
    X(trigger_gen)                                                                                 \
    X(clock_source)                                                                                \
    X(clock_master)                                                                                \
    X(clock_multi_sync)                                                                            \
    X(clock_dsp)                                                                                   \
    X(diag_reg)                                                                                    \
    X(diag_reg_get)                                                                                \
    X(diag_poke)                                                                                   \
    X(diag_peek)                                                                                   \
    X(diag_adccal_get)                                                                             \
    X(diag_cal)                                                                                    \
    X(diag_cal_get)                                                                                \
    X(self_test)                                                                                   \
    X(error_query)                                                                                 \
    X(revision_query)

// One cached pointer per function, null until its first call.
struct DriverLibrary::Bound {
#define ZR_DECLARE_POINTER(name) decltype(&::zrq7010_##name) name = nullptr;
    ZR_DRIVER_FUNCTIONS(ZR_DECLARE_POINTER)
#undef ZR_DECLARE_POINTER
};

QString driverLibraryFileName() {
#if defined(_WIN32)
    return QStringLiteral("zrq7010_32.dll");
#else
    return QStringLiteral("libzrq7010_32.so");
#endif
}

DriverLibrary::DriverLibrary()
    : library_(LibrarySearch{QStringLiteral("ZRQ7010_DRIVER"), driverLibraryFileName(),
                             QStringLiteral("instrument driver library"),
                             QStringLiteral(ZR_BIN_TO_LIBDIR "/zrq7010")}),
      bound_(std::make_unique<Bound>()) {}

DriverLibrary::~DriverLibrary() = default;

bool DriverLibrary::isLoaded() const {
    return library_.isLoaded();
}

QString DriverLibrary::loadedFile() const {
    return library_.loadedFile();
}

// The bound function `name`, binding it on first use.
#define ZR_FN(name)                                                                                \
    (bound_->name != nullptr ? bound_->name                                                        \
                             : (bound_->name = reinterpret_cast<decltype(&::zrq7010_##name)>(      \
                                    library_.resolve("zrq7010_" #name))))

int32_t DriverLibrary::init(const char* descriptor, int16_t idQuery, int16_t reset,
                            int32_t* instr) {
    return ZR_FN(init)(descriptor, idQuery, reset, instr);
}
int32_t DriverLibrary::error_message(int32_t instr, int32_t status, char* text) {
    return ZR_FN(error_message)(instr, status, text);
}
int32_t DriverLibrary::close(int32_t instr) {
    return ZR_FN(close)(instr);
}
int32_t DriverLibrary::reset(int32_t instr) {
    return ZR_FN(reset)(instr);
}

int32_t DriverLibrary::meas_start(int32_t instr) {
    return ZR_FN(meas_start)(instr);
}
int32_t DriverLibrary::read(int32_t instr, float* data, int32_t blocklen, int16_t* overload) {
    return ZR_FN(read)(instr, data, blocklen, overload);
}

int32_t DriverLibrary::input_range(int32_t instr, int16_t code) {
    return ZR_FN(input_range)(instr, code);
}
int32_t DriverLibrary::input_coupling(int32_t instr, int16_t value) {
    return ZR_FN(input_coupling)(instr, value);
}
int32_t DriverLibrary::input_float(int32_t instr, int16_t value) {
    return ZR_FN(input_float)(instr, value);
}
int32_t DriverLibrary::input_signal(int32_t instr, int16_t value) {
    return ZR_FN(input_signal)(instr, value);
}
int32_t DriverLibrary::input_alias_filter(int32_t instr, int16_t value) {
    return ZR_FN(input_alias_filter)(instr, value);
}
int32_t DriverLibrary::input_autozero(int32_t instr) {
    return ZR_FN(input_autozero)(instr);
}
int32_t DriverLibrary::input_range_auto(int32_t instr, int16_t a, int16_t b) {
    return ZR_FN(input_range_auto)(instr, a, b);
}
int32_t DriverLibrary::input_range_get(int32_t instr, int16_t* code) {
    return ZR_FN(input_range_get)(instr, code);
}
int32_t DriverLibrary::status_get(int32_t instr, int16_t* status) {
    return ZR_FN(status_get)(instr, status);
}

int32_t DriverLibrary::data_type(int32_t instr, int16_t value) {
    return ZR_FN(data_type)(instr, value);
}
int32_t DriverLibrary::data_resolution(int32_t instr, int16_t value) {
    return ZR_FN(data_resolution)(instr, value);
}
int32_t DriverLibrary::data_blocksize(int32_t instr, int32_t samples) {
    return ZR_FN(data_blocksize)(instr, samples);
}
int32_t DriverLibrary::data_append_status(int32_t instr, int16_t on) {
    return ZR_FN(data_append_status)(instr, on);
}
int32_t DriverLibrary::data_memsize_get(int32_t instr, int16_t* megabytes) {
    return ZR_FN(data_memsize_get)(instr, megabytes);
}
int32_t DriverLibrary::filter_bw(int32_t instr, int16_t value) {
    return ZR_FN(filter_bw)(instr, value);
}
int32_t DriverLibrary::filter_decimate(int32_t instr, int16_t value) {
    return ZR_FN(filter_decimate)(instr, value);
}
int32_t DriverLibrary::frequency_center(int32_t instr, double fraction) {
    return ZR_FN(frequency_center)(instr, fraction);
}

int32_t DriverLibrary::trigger_type(int32_t instr, int16_t value) {
    return ZR_FN(trigger_type)(instr, value);
}
int32_t DriverLibrary::trigger_slope(int32_t instr, int16_t value) {
    return ZR_FN(trigger_slope)(instr, value);
}
int32_t DriverLibrary::trigger_adclevel(int32_t instr, int16_t level) {
    return ZR_FN(trigger_adclevel)(instr, level);
}
int32_t DriverLibrary::trigger_maglevel(int32_t instr, int16_t code) {
    return ZR_FN(trigger_maglevel)(instr, code);
}
int32_t DriverLibrary::trigger_delay(int32_t instr, int32_t samples) {
    return ZR_FN(trigger_delay)(instr, samples);
}
int32_t DriverLibrary::trigger_delay_get(int32_t instr, int32_t* samples) {
    return ZR_FN(trigger_delay_get)(instr, samples);
}
int32_t DriverLibrary::trigger_gen(int32_t instr, int16_t on) {
    return ZR_FN(trigger_gen)(instr, on);
}

int32_t DriverLibrary::clock_source(int32_t instr, int16_t value) {
    return ZR_FN(clock_source)(instr, value);
}
int32_t DriverLibrary::clock_master(int32_t instr, int16_t value) {
    return ZR_FN(clock_master)(instr, value);
}
int32_t DriverLibrary::clock_multi_sync(int32_t instr, int16_t value) {
    return ZR_FN(clock_multi_sync)(instr, value);
}
int32_t DriverLibrary::clock_dsp(int32_t instr, int16_t value) {
    return ZR_FN(clock_dsp)(instr, value);
}

int32_t DriverLibrary::diag_reg(int32_t instr, int16_t reg, int16_t value) {
    return ZR_FN(diag_reg)(instr, reg, value);
}
int32_t DriverLibrary::diag_reg_get(int32_t instr, int16_t reg, int16_t* value) {
    return ZR_FN(diag_reg_get)(instr, reg, value);
}
int32_t DriverLibrary::diag_poke(int32_t instr, int16_t reg, int32_t value) {
    return ZR_FN(diag_poke)(instr, reg, value);
}
int32_t DriverLibrary::diag_peek(int32_t instr, int16_t reg, int32_t* value) {
    return ZR_FN(diag_peek)(instr, reg, value);
}
int32_t DriverLibrary::diag_adccal_get(int32_t instr, double* table33) {
    return ZR_FN(diag_adccal_get)(instr, table33);
}
int32_t DriverLibrary::diag_cal(int32_t instr, int32_t stamp) {
    return ZR_FN(diag_cal)(instr, stamp);
}
int32_t DriverLibrary::diag_cal_get(int32_t instr, int32_t* stamp) {
    return ZR_FN(diag_cal_get)(instr, stamp);
}
int32_t DriverLibrary::self_test(int32_t instr, int16_t* result, char* text) {
    return ZR_FN(self_test)(instr, result, text);
}
int32_t DriverLibrary::error_query(int32_t instr, int32_t* code, char* text) {
    return ZR_FN(error_query)(instr, code, text);
}
int32_t DriverLibrary::revision_query(int32_t instr, char* libraryRev, char* firmwareRev) {
    return ZR_FN(revision_query)(instr, libraryRev, firmwareRev);
}

#undef ZR_FN

std::unique_ptr<Instrument> makeDriverLibrary() {
    return std::make_unique<DriverLibrary>();
}

} // namespace zr
