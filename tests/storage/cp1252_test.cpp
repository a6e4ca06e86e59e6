#include "storage/cp1252.h"

#include <gtest/gtest.h>

namespace pylons {
namespace {

TEST(Cp1252, EveryByteSurvivesARoundTrip) {
    for (int byte = 0; byte < 256; ++byte) {
        const auto c = static_cast<unsigned char>(byte);
        EXPECT_EQ(UnicodeToCp1252(Cp1252ToUnicode(c)), c) << byte;
    }
}

TEST(Cp1252, MapsTheSpecialRangeAndReplacesWhatItLacks) {
    EXPECT_EQ(Cp1252ToUnicode(0x80), U'\u20AC');
    EXPECT_EQ(Cp1252ToUnicode(0xE9), U'\u00E9');
    EXPECT_EQ(UnicodeToCp1252(U'\u0153'), 0x9C);
    EXPECT_EQ(U32ToCp1252(U"Ren\u00E9 \u65E5!"), "Ren\xE9 ?!");
    EXPECT_EQ(U32ToCp1252(U"\U0001F600"), "?");
    EXPECT_EQ(Cp1252ToU32("Zo\xEB"), U"Zo\u00EB");
}

} // namespace
} // namespace pylons
