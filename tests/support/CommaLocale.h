#pragma once
// The C library's locale set to German for one test, as both programs set it
// from the environment at start (decimal comma for strtod, printf and
// iostreams), and restored afterwards. Qt's system locale is read once per
// process and stays as it was; tests that need it German run a child process
// with LC_ALL set.
#include <clocale>
#include <string>

namespace gyro::test {

inline constexpr const char* CommaLocaleName = "de_DE.UTF-8";

class CommaCLocale {
public:
    CommaCLocale() : previous_(std::setlocale(LC_ALL, nullptr))
    {
        set_ = std::setlocale(LC_ALL, CommaLocaleName) != nullptr && *std::localeconv()->decimal_point == ',';
    }
    ~CommaCLocale() { std::setlocale(LC_ALL, previous_.c_str()); }
    CommaCLocale(const CommaCLocale&) = delete;
    CommaCLocale& operator=(const CommaCLocale&) = delete;

    // False when the system lacks the locale (scripts/install-deps.sh generates it):
    // the test is then skipped with missingText().
    bool isSet() const { return set_; }
    static const char* missingText()
    {
        return "the de_DE.UTF-8 locale is missing: run scripts/install-deps.sh to generate it";
    }

private:
    std::string previous_;
    bool set_ = false;
};

// Qt's system locale can only be German when the process starts so. When it is
// not, runs the current test again in a child process under LC_ALL=de_DE.UTF-8,
// checks that it passed there and returns true; in that child it returns false
// and the test goes on.
bool RanUnderCommaLocaleInAChild();

// Opens a test that needs the whole program in the decimal-comma locale: skips
// it where the system lacks the locale, and where Qt's locale is not German runs
// it again in a German child and ends here with the child's verdict.
// clang-format off
#define GYRO_UNDER_COMMA_LOCALE()                                  \
    const ::gyro::test::CommaCLocale commaLocale;                  \
    if (!commaLocale.isSet())                                      \
        GTEST_SKIP() << commaLocale.missingText();                 \
    if (::gyro::test::RanUnderCommaLocaleInAChild())               \
        return
// clang-format on

} // namespace gyro::test
