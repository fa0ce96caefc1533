#include "generator/Random.h"

#include <chrono>
#include <ctime>

namespace kov {

std::uint32_t SeedFromClock() {
    using namespace std::chrono;
    const system_clock::time_point now = system_clock::now();
    const std::time_t whole = system_clock::to_time_t(now);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &whole);
#else
    localtime_r(&whole, &local);
#endif
    const auto ms = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    return SeedFromTimeOfDay(local.tm_hour, local.tm_min, local.tm_sec,
                             static_cast<int>(ms < 0 ? ms + 1000 : ms));
}

std::uint32_t SeedFromTimeOfDay(int hour, int minute, int second, int millisecond) {
    const auto seconds = static_cast<std::uint32_t>(hour * 3600 + minute * 60 + second);
    return seconds * 1000u + static_cast<std::uint32_t>(millisecond);
}

}  // namespace kov
