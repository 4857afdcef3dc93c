// Fuzzing the map file decoder: any bytes either decode into a well-formed map within its limits or are refused with a reason.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzSupport.h"
#include "MapFile.h"

namespace {

void check(bool ok) {
    if (!ok) abort();
}

// What every decoded map keeps: the limits, and tiles shaped to the stated size.
void check_shape(const MapFileData& d) {
    check(map_file_problem(d).empty());
    check(d.tiles.size() == d.layers);
    for (const auto& layer : d.tiles) {
        check(layer.size() == d.height);
        for (const auto& row : layer) check(row.size() == d.width);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    CFuzzHost& quiet = fuzz_setup();
    int messages = quiet.messages;

    MapFileData d;
    std::string error;
    bool ok = decode_map_file(data, size, d, error);
    check(quiet.messages == messages);  // the decoder says nothing itself
    if (!ok) {
        check(!error.empty());
        return 0;
    }
    check(error.empty());
    check_shape(d);

    // What decodes encodes, and the encoding decodes and encodes to the same bytes.
    std::string saved;
    check(encode_map_file(d, saved, error));
    MapFileData again;
    check(decode_map_file((const unsigned char*)saved.data(), saved.size(), again, error));
    check_shape(again);
    std::string twice;
    check(encode_map_file(again, twice, error) && twice == saved);
    return 0;
}
