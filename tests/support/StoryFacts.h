// Facts about the story's quest scripts that the content tests check the lists and maps against.
#pragma once

#include <set>

// Quest numbers that have a script (CQuests::ProcessQuest does something for them).
inline const std::set<int>& scripted_quests() {
    static const std::set<int> numbers = {0x2,    0x4,     0x8,     0x40,     0x100,    0x200,    0x400,   0x800,
                                          0x4000, 0x8000,  0x10000, 0x20000,  0x100000, 0x200000, 0x400000};
    return numbers;
}
