// The one random source of the game, passed to every procedure that draws.
#pragma once

#include <cstdint>
#include <random>

namespace kov {

class RandomSource {
  public:
    virtual ~RandomSource() = default;
    // One fresh value, 0 <= value < 1.
    virtual float Next() = 0;
};

// Int(r x k): a whole number from 0 to k - 1. The product is taken in double, where a float
// below 1 times a small k stays below k.
inline int Scale(float r, int k) {
    return static_cast<int>(static_cast<double>(r) * k);
}

// Draws one value and scales it.
inline int Draw(RandomSource& rng, int k) {
    return Scale(rng.Next(), k);
}

// The game's source: a Mersenne twister whose top 24 bits make the value, so it is a multiple
// of 2^-24 no larger than 1 - 2^-24, exact in a float and never 1.
class SeededRandom final : public RandomSource {
  public:
    explicit SeededRandom(std::uint32_t seed) : engine_(seed) {}
    float Next() override { return static_cast<float>(engine_() >> 8) * (1.0f / 16777216.0f); }

  private:
    std::mt19937 engine_;
};

// The seed for a run: the time of day in milliseconds since local midnight.
std::uint32_t SeedFromClock();
// The same from a time of day a front end has read from its own clock.
std::uint32_t SeedFromTimeOfDay(int hour, int minute, int second, int millisecond);

}  // namespace kov
