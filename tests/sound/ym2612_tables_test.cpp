#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "sound/ym2612_internal.h"

namespace {

constexpr double level_db = 0.0234375;

struct table_check {
    int wrong = 0, first_wrong = -1;
    long double nearest = 1;  // smallest distance of an entry from a whole number, relative
    void entry(int index, int32_t built, long double exact) {
        if (built != static_cast<int32_t>(exact)) {
            if (!wrong++) first_wrong = index;
        }
        const long double whole = std::floor(exact);
        const long double apart = std::fmin(exact - whole, whole + 1 - exact);
        if (apart != 0) nearest = std::fmin(nearest, apart / exact);
    }
};

}  // namespace

// The level, sine and envelope tables come from pow, log10 and sin, whose
// last bits differ between C libraries. Each entry is the whole part of a
// value that lies far from any whole number (those that are whole, at zero
// attenuation and a half-level envelope step, come out exact in any
// library), so every library gives the same tables and the same sound on
// every system: the same formulas in long double must agree entry for entry.
TEST(FmTables, EntriesHoldWhateverTheMathLibrary) {
    ASSERT_TRUE(ym::build_shared_tables());
    table_check level, sine, envelope;
    for (int t = 0; t < ym::tl_silent; t++) {
        const long double power = std::pow(10.0L, static_cast<long double>(level_db * t / 20.0));
        level.entry(t, ym::tl_table[t], 67108863.0L / power);
        EXPECT_EQ(ym::tl_table[ym::tl_half + t], -ym::tl_table[t]);
    }
    for (int t = ym::tl_silent; t < ym::tl_half; t++) EXPECT_EQ(ym::tl_table[t], 0);
    for (int s = 1; s <= 512; s++) {
        const double angle = 2.0 * std::numbers::pi * s / 2048.0;
        const long double db = 20.0L * std::log10(1.0L / std::sin(static_cast<long double>(angle)));
        const long double steps = db / level_db;
        // The quietest steps are clamped to silence.
        sine.entry(s, ym::sin_table[s], steps < ym::tl_silent ? steps : ym::tl_silent + 0.5L);
    }
    for (int i = 0; i < 4096; i++) {
        const double x = (4095.0 - i) / 4096.0;
        envelope.entry(i, ym::env_curve[i], std::pow(static_cast<long double>(x), 8.0L) * 4096.0L);
    }
    ym::free_shared_tables();
    EXPECT_EQ(level.wrong, 0) << "first at " << level.first_wrong;
    EXPECT_EQ(sine.wrong, 0) << "first at " << sine.first_wrong;
    EXPECT_EQ(envelope.wrong, 0) << "first at " << envelope.first_wrong;
    // Thousands of times a double's rounding (1.1e-16) away from a change.
    EXPECT_GT(static_cast<double>(level.nearest), 5e-12);
    EXPECT_GT(static_cast<double>(sine.nearest), 5e-12);
    EXPECT_GT(static_cast<double>(envelope.nearest), 5e-12);
}
