// Where this core decides differently from the chip the reference data was
// taken from: each test, by file and name, with the rule that explains it.
#pragma once
#include <cstring>

struct known_difference {
    const char* file;
    const char* name;
    const char* rule;
};

inline const known_difference known_differences[] = {
    {"", "", ""},
};

// Families whose cycle counts follow the core's own flat or fixed values.
inline bool is_cycle_rule_family(const char* family) {
    static const char* const rules[] = {"MULU", "MULS", "DIVU", "DIVS", "CLR.b", "CLR.w", "CLR.l",
                                        "TRAP", "TRAPV"};
    for (const char* r : rules)
        if (std::strcmp(r, family) == 0) return true;
    return false;
}
