#pragma once
// Where the library's shuffles take their chance from. The show uses a
// seeded generator; tests give a scripted one, so every order is known.
#include <cstdint>
#include <random>

namespace qv {

class RandomSource {
public:
    virtual ~RandomSource() = default;
    // A whole number from 0 to bound - 1, each equally likely; bound >= 1.
    virtual std::uint32_t below(std::uint32_t bound) = 0;
};

class SeededRandom : public RandomSource {
public:
    explicit SeededRandom(std::uint64_t seed) : engine_(seed) {}
    std::uint32_t below(std::uint32_t bound) override {
        if (bound <= 1) return 0;
        return std::uniform_int_distribution<std::uint32_t>(0, bound - 1)(engine_);
    }

private:
    std::mt19937_64 engine_;
};

}  // namespace qv
