#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace pylons {

// A text field of exactly N single-byte characters (Windows-1252). A value is stored left-aligned,
// padded with spaces and cut at N; reading gives all N characters, padding included.
template <std::size_t N> class FixedText {
public:
    FixedText() { bytes_.fill(' '); }
    explicit FixedText(std::string_view value) : FixedText() { Assign(value); }

    void Assign(std::string_view value) {
        bytes_.fill(' ');
        std::copy_n(value.begin(), std::min(N, value.size()), bytes_.begin());
    }
    // Every character code 0, as in a table that was cleared before a short file was read.
    void Clear() { bytes_.fill('\0'); }

    std::string_view View() const { return {bytes_.data(), N}; }
    std::string Str() const { return std::string(View()); }
    static constexpr std::size_t size() { return N; }
    char* data() { return bytes_.data(); }
    const char* data() const { return bytes_.data(); }

    friend bool operator==(const FixedText&, const FixedText&) = default;

private:
    std::array<char, N> bytes_;
};

} // namespace pylons
