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
    auto run = quarnel::fuzz::DecodeChecked(pelnix_huff_decode, data, size);
    const ExactBuffer& stream = run.stream;
    const ExactBuffer& out = run.out;
    const PelnixStatus status = run.status;
    [[maybe_unused]] const uint32_t declared = run.declared;
    [[maybe_unused]] const size_t written = run.written;
    // The decoder reports only its own kinds of failure.
    Require(status != PELNIX_BAD_REFERENCE && status != PELNIX_INPUT_TOO_LARGE);
    return 0;
}
