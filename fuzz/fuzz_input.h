// Reads typed values from a fuzzer's bytes, front to back. When the bytes run
// out every read gives zeros, so a target never needs to check the length.
#pragma once

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <type_traits>

namespace zrfuzz {

class Input {
public:
    Input(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    template <typename T> T take() {
        static_assert(std::is_trivially_copyable_v<T>);
        T value{};
        const std::size_t n = std::min(sizeof(T), size_ - pos_);
        if (n > 0) {
            std::memcpy(&value, data_ + pos_, n);
        }
        pos_ += n;
        return value;
    }
    // A whole number in lo .. hi.
    long range(long lo, long hi) {
        const auto raw = take<std::uint32_t>();
        return lo + static_cast<long>(raw % static_cast<std::uint64_t>(hi - lo + 1));
    }
    bool flag() { return (take<std::uint8_t>() & 1) != 0; }
    // Up to `max` bytes, ended early by a byte 0 (which is consumed).
    std::string text(std::size_t max) {
        std::string s;
        while (pos_ < size_ && s.size() < max) {
            const char c = static_cast<char>(data_[pos_++]);
            if (c == '\0') {
                break;
            }
            s.push_back(c);
        }
        return s;
    }
    std::size_t left() const { return size_ - pos_; }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

} // namespace zrfuzz

// A broken invariant: print it and abort, so the fuzzer keeps the input.
#define ZRFUZZ_CHECK(cond)                                                                         \
    do {                                                                                           \
        if (!(cond)) {                                                                             \
            std::fprintf(stderr, "%s:%d: check failed: %s\n", __FILE__, __LINE__, #cond);          \
            std::abort();                                                                          \
        }                                                                                          \
    } while (false)
