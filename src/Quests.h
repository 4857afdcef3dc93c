// Quest state and the story's quest scripts.
#pragma once

#include <cstdint>

#include "CMap.h"
#include "GameState.h"

// The story's progress: one word of flag bits; each quest number is one bit.
class CQuests {
public:
    uint64_t flags = 0;

    // Runs the script for this quest number; a number with no script does nothing.
    void ProcessQuest(int number);
};

// Quest bits with a meaning outside their own script.
constexpr uint64_t QF_COMPANION = 0x1;

// Whether a data-file quest mask (sign-extended to 64 bits) shares a bit with the flags.
inline bool quest_bit_set(int mask) { return (quest.flags & (uint64_t)(int64_t)mask) != 0; }
