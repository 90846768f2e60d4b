// Reading the local time zone once must not change what any local time is.
#include "sheet/local_time_zone.h"

#include <cstdlib>
#include <ctime>
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <unistd.h>

namespace sheet {
namespace {

std::optional<std::string> environmentTz() {
    const char* value = std::getenv("TZ");
    return value ? std::optional<std::string>(value) : std::nullopt;
}

void restoreTz(const std::optional<std::string>& value) {
    if (value)
        ::setenv("TZ", value->c_str(), 1);
    else
        ::unsetenv("TZ");
    tzset();
}

std::string localTimeOf(std::time_t when) {
    std::tm local{};
    localtime_r(&when, &local);
    char text[64];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S %z %Z", &local);
    return text;
}

TEST(LocalTimeZone, EveryLocalTimeStaysAsItWasAndAGivenZoneIsKept) {
    const std::optional<std::string> saved = environmentTz();
    // Midwinter, midsummer and now: a zone with summer time shows both offsets.
    const std::time_t moments[] = {1767225600, 1782864000, std::time(nullptr)};

    ::unsetenv("TZ");
    tzset();
    std::string before[3];
    for (int i = 0; i < 3; ++i)
        before[i] = localTimeOf(moments[i]);
    readLocalTimeZoneOnce();
    tzset();
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(localTimeOf(moments[i]), before[i]);
    if (::access("/etc/localtime", R_OK) == 0) {
        EXPECT_NE(environmentTz(), std::nullopt);
    }

    ::setenv("TZ", "Asia/Seoul", 1);
    readLocalTimeZoneOnce();
    EXPECT_EQ(environmentTz(), std::optional<std::string>("Asia/Seoul"));
    restoreTz(saved);
}

} // namespace
} // namespace sheet
