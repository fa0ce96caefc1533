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
    const std::uint32_t seconds =
        static_cast<std::uint32_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
    return seconds * 1000u + static_cast<std::uint32_t>(ms < 0 ? ms + 1000 : ms);
}

}  // namespace kov
