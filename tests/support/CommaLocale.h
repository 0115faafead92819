// Switches the process to a locale with a decimal comma, as a toolkit does
// when it adopts the user's environment, so that tests can show what does
// not follow it. Builds the locale with localedef into the temporary folder
// when none is installed.
#pragma once

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

namespace test_support {

// False when the machine cannot provide such a locale (the caller skips).
inline bool UseCommaLocale() {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8"}) {
        if (std::setlocale(LC_ALL, name)) return std::localeconv()->decimal_point[0] == ',';
    }
    const std::string dir = ::testing::TempDir() + "pq_locales";
    ::setenv("LOCPATH", dir.c_str(), 1);
    if (std::setlocale(LC_ALL, "de_DE.UTF-8")) return std::localeconv()->decimal_point[0] == ',';
    const std::string cmd =
        "mkdir -p '" + dir + "' && localedef -i de_DE -f UTF-8 '" + dir + "/de_DE.UTF-8' >/dev/null 2>&1";
    if (std::system(cmd.c_str()) != 0) return false;
    if (!std::setlocale(LC_ALL, "de_DE.UTF-8")) return false;
    return std::localeconv()->decimal_point[0] == ',';
}

inline void RestoreCLocale() {
    std::setlocale(LC_ALL, "C");
    ::unsetenv("LOCPATH");
}

}  // namespace test_support
