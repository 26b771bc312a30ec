// Fuzzes the bounded Huffman core on arbitrary streams (4-bit and 8-bit, any tree).
// Input: one mode byte (destination size choice), then the stream.

#include "FuzzBuffers.h"
#include "pelnix_codecs.h"

using quarnel::fuzz::ExactBuffer;
using quarnel::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    const ExactBuffer stream(data + 1, size - 1);
    const uint32_t declared = pelnix_declared_size(stream.data.get(), stream.size);
    ExactBuffer out(quarnel::fuzz::DestinationSize(data[0], declared));

    size_t written = 0;
    const PelnixStatus status =
        pelnix_huff_decode(stream.data.get(), stream.size, out.data.get(), out.size, &written);
    Require(written <= out.size);
    Require(status != PELNIX_OK || written == declared);
    Require(status != PELNIX_DESTINATION_TOO_SMALL || written == 0);
    // The decoder reports only its own kinds of failure.
    Require(status != PELNIX_BAD_REFERENCE && status != PELNIX_INPUT_TOO_LARGE);
    return 0;
}
