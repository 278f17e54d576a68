#pragma once
// A random source that always draws the same, for orders worked by hand.
#include <algorithm>
#include <cstdint>

#include "library/RandomSource.h"

namespace qv {

// Always the same draw, cut to the bound: 0 takes the first place offered,
// a large value the last one.
class FixedRandom : public RandomSource {
public:
    explicit FixedRandom(std::uint32_t value) : value_(value) {}
    std::uint32_t below(std::uint32_t bound) override { return std::min(value_, bound - 1); }

private:
    std::uint32_t value_;
};

}  // namespace qv
