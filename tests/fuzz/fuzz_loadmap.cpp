// Fuzzing the map file decoder: any bytes either decode into a well-formed map within its limits or are refused with a reason.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "MapFile.h"

namespace {

// What every decoded map keeps: the limits, and tiles shaped to the stated size.
void check_shape(const MapFileData& d) {
    fuzz_check(map_file_problem(d).empty());
    fuzz_check(d.tiles.size() == d.layers);
    for (const auto& layer : d.tiles) {
        fuzz_check(layer.size() == d.height);
        for (const auto& row : layer) fuzz_check(row.size() == d.width);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzHost& quiet = fuzz_setup();
    int messages = quiet.messages;

    MapFileData d;
    std::string error;
    bool ok = decode_map_file(data, size, d, error);
    fuzz_check(quiet.messages == messages);  // the decoder says nothing itself
    if (!ok) {
        fuzz_check(!error.empty());
        return 0;
    }
    fuzz_check(error.empty());
    check_shape(d);

    // What decodes encodes, and the encoding decodes and encodes to the same bytes.
    std::string saved;
    fuzz_check(encode_map_file(d, saved, error));
    MapFileData again;
    fuzz_check(decode_map_file((const unsigned char*)saved.data(), saved.size(), again, error));
    check_shape(again);
    std::string twice;
    fuzz_check(encode_map_file(again, twice, error) && twice == saved);
    return 0;
}
