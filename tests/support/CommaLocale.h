#pragma once
// Puts the process into a decimal-comma LC_NUMERIC, as a host does that adopts a German user's
// settings, for the life of the object. An installed comma locale is used when there is one;
// otherwise a minimal one is built with localedef in the test's temporary folder (a few
// milliseconds). isActive() is false when neither works: the test should skip.
#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string>

class ScopedCommaLocale {
public:
    ScopedCommaLocale()
    {
        for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "nl_NL.UTF-8"})
            if (use(name))
                return;
        const std::string dir = ::testing::TempDir() + "kv_comma_locale";
        std::filesystem::create_directories(dir);
        std::ofstream(dir + "/comma.src") << "LC_NUMERIC\ndecimal_point \",\"\nthousands_sep \".\"\n"
                                             "grouping 3;3\nEND LC_NUMERIC\n";
        const std::string make = "localedef -c -i " + dir + "/comma.src -f ANSI_X3.4-1968 " + dir +
                                 "/xx_XX >/dev/null 2>&1";
        (void) std::system(make.c_str()); // warns about the categories left out, and builds anyway
        setenv("LOCPATH", dir.c_str(), 1);
        builtLocale = true;
        use("xx_XX");
    }

    ~ScopedCommaLocale()
    {
        std::setlocale(LC_NUMERIC, "C");
        if (builtLocale)
            unsetenv("LOCPATH");
    }

    bool isActive() const { return active; }

private:
    bool use(const char* name)
    {
        active = std::setlocale(LC_NUMERIC, name) != nullptr && std::strcmp(std::localeconv()->decimal_point, ",") == 0;
        if (!active)
            std::setlocale(LC_NUMERIC, "C");
        return active;
    }

    bool active = false;
    bool builtLocale = false;
};
