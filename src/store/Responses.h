#pragma once

#include <array>
#include <cstdint>
#include <vector>

namespace store {

// The candidate's response to one item of the running exam.
struct ItemResponse {
    std::array<bool, 6> Choice{}; // a..f; e and f carry a simulation's outcome
    bool Marked = false;
    bool Correct = false;
    std::int32_t Section = 0;
};

// One element per current-set record: element k - 1 for item k.
using Responses = std::vector<ItemResponse>;

} // namespace store
