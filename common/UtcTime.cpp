#include "common/UtcTime.h"

#include <cstdio>

namespace common {

namespace {

std::string Format(std::chrono::system_clock::time_point when, bool withMilliseconds) {
    using namespace std::chrono;
    const auto ms = floor<milliseconds>(when);
    const auto day = floor<days>(ms);
    const year_month_day date{day};
    const hh_mm_ss time{ms - day};
    char text[40];
    std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02d:%02d:%02d", int(date.year()),
                  unsigned(date.month()), unsigned(date.day()), int(time.hours().count()),
                  int(time.minutes().count()), int(time.seconds().count()));
    std::string out = text;
    if (withMilliseconds) {
        std::snprintf(text, sizeof text, ".%03d", int(time.subseconds().count()));
        out += text;
    }
    return out + "Z";
}

}  // namespace

std::string UtcSeconds(std::chrono::system_clock::time_point when) {
    return Format(when, false);
}

std::string UtcMilliseconds(std::chrono::system_clock::time_point when) {
    return Format(when, true);
}

}  // namespace common
