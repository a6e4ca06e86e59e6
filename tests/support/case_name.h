#pragma once

#include <cctype>
#include <string>

namespace pylons::testing {

// A table row's description as a test name: "onto a wider ring" gives onto_a_wider_ring.
inline std::string CaseName(std::string what) {
    for (char& c : what) {
        c = std::isalnum(static_cast<unsigned char>(c)) ? c : '_';
    }
    return what;
}

// For INSTANTIATE_TEST_SUITE_P, with rows that have a `what`.
struct ByWhat {
    template <typename Info> std::string operator()(const Info& row) const {
        return CaseName(row.param.what);
    }
};

} // namespace pylons::testing
