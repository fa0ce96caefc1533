#include "generator/Random.h"

#include <sys/time.h>

#include <ctime>

namespace kov {

std::uint32_t SeedFromClock() {
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    const std::uint32_t seconds =
        static_cast<std::uint32_t>(local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec);
    return seconds * 1000u + static_cast<std::uint32_t>(now.tv_usec / 1000);
}

}  // namespace kov
