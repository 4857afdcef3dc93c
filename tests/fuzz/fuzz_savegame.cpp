// Fuzzing the saved game reader: any bytes are either refused with a reason or decode into a
// save that encodes to a file of the right size and decodes again to the same bytes.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "SaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SavedGame s;
    std::string problem;
    if (!decode_save(data, size, s, problem)) {
        fuzz_check(!problem.empty());
        return 0;
    }
    for (const SavedMember& m : s.member) {
        fuzz_check(m.facing >= 0 && m.facing <= 4);
        fuzz_check(m.stats[SS_LEVEL] >= 1 && m.stats[SS_LEVEL] <= MAX_LEVEL);
        fuzz_check(m.won_battles.size() == (size_t)m.stats[SS_NUM_WON]);
    }
    // The input was read whole: re-encoded it has the same size (only padding and the ignored
    // bytes may differ), and that encoding is a fixed point.
    const std::string bytes = encode_save(s);
    fuzz_check(bytes.size() == size);
    fuzz_check(bytes.size() == save_member_size(s.member[0].won_battles.size()) +
                              save_member_size(s.member[1].won_battles.size()) +
                              save_world_size(s.played.size(), s.event_checks.size()));
    SavedGame again;
    fuzz_check(decode_save((const unsigned char*)bytes.data(), bytes.size(), again, problem));
    fuzz_check(encode_save(again) == bytes);
    return 0;
}
