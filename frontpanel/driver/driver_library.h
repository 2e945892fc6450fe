// The production instrument: the driver library libzrq7010_32.so
// (zrq7010_32.dll on Windows), loaded at the first call and bound function
// by function, each at its own first call.
#pragma once

#include "driver/instrument.h"
#include "driver/library_loader.h"

#include <QString>

#include <memory>

namespace zr {

// File name of the driver library on this platform.
QString driverLibraryFileName();

// Every call forwards to the driver function of the same name. The first
// call loads the library (environment variable ZRQ7010_DRIVER names a file
// that is used instead of any search; otherwise the loader's normal search,
// then the program's directory, then the private folder the package installs
// the stand-in into, ../lib/<arch>/zrq7010 from the program, so that a real
// driver on the loader's path always wins); the first call of each function binds it.
// A library or function that cannot be found throws LibraryError at that
// call. Use from one thread at a time.
class DriverLibrary final : public Instrument {
public:
    DriverLibrary();
    ~DriverLibrary() override;

    // True once the library has been loaded; the file actually loaded.
    bool isLoaded() const;
    QString loadedFile() const;

    int32_t init(const char* descriptor, int16_t idQuery, int16_t reset, int32_t* instr) override;
    int32_t error_message(int32_t instr, int32_t status, char* text) override;
    int32_t close(int32_t instr) override;
    int32_t reset(int32_t instr) override;

    int32_t meas_start(int32_t instr) override;
    int32_t read(int32_t instr, float* data, int32_t blocklen, int16_t* overload) override;

    int32_t input_range(int32_t instr, int16_t code) override;
    int32_t input_coupling(int32_t instr, int16_t value) override;
    int32_t input_float(int32_t instr, int16_t value) override;
    int32_t input_signal(int32_t instr, int16_t value) override;
    int32_t input_alias_filter(int32_t instr, int16_t value) override;
    int32_t input_autozero(int32_t instr) override;
    int32_t input_range_auto(int32_t instr, int16_t a, int16_t b) override;
    int32_t input_range_get(int32_t instr, int16_t* code) override;
    int32_t status_get(int32_t instr, int16_t* status) override;

    int32_t data_type(int32_t instr, int16_t value) override;
    int32_t data_resolution(int32_t instr, int16_t value) override;
    int32_t data_blocksize(int32_t instr, int32_t samples) override;
    int32_t data_append_status(int32_t instr, int16_t on) override;
    int32_t data_memsize_get(int32_t instr, int16_t* megabytes) override;
    int32_t filter_bw(int32_t instr, int16_t value) override;
    int32_t filter_decimate(int32_t instr, int16_t value) override;
    int32_t frequency_center(int32_t instr, double fraction) override;

    int32_t trigger_type(int32_t instr, int16_t value) override;
    int32_t trigger_slope(int32_t instr, int16_t value) override;
    int32_t trigger_adclevel(int32_t instr, int16_t level) override;
    int32_t trigger_maglevel(int32_t instr, int16_t code) override;
    int32_t trigger_delay(int32_t instr, int32_t samples) override;
    int32_t trigger_delay_get(int32_t instr, int32_t* samples) override;
    int32_t trigger_gen(int32_t instr, int16_t on) override;

    int32_t clock_source(int32_t instr, int16_t value) override;
    int32_t clock_master(int32_t instr, int16_t value) override;
    int32_t clock_multi_sync(int32_t instr, int16_t value) override;
    int32_t clock_dsp(int32_t instr, int16_t value) override;

    int32_t diag_reg(int32_t instr, int16_t reg, int16_t value) override;
    int32_t diag_reg_get(int32_t instr, int16_t reg, int16_t* value) override;
    int32_t diag_poke(int32_t instr, int16_t reg, int32_t value) override;
    int32_t diag_peek(int32_t instr, int16_t reg, int32_t* value) override;
    int32_t diag_adccal_get(int32_t instr, double* table33) override;
    int32_t diag_cal(int32_t instr, int32_t stamp) override;
    int32_t diag_cal_get(int32_t instr, int32_t* stamp) override;
    int32_t self_test(int32_t instr, int16_t* result, char* text) override;
    int32_t error_query(int32_t instr, int32_t* code, char* text) override;
    int32_t revision_query(int32_t instr, char* libraryRev, char* firmwareRev) override;

private:
    struct Bound;
    LazyLibrary library_;
    std::unique_ptr<Bound> bound_;
};

// The instrument the program uses: the driver library, bound lazily.
std::unique_ptr<Instrument> makeDriverLibrary();

} // namespace zr
