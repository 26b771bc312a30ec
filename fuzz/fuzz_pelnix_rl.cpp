// Fuzzes the bounded run-length cores: the BIOS decoder and stream-length scanner on
// arbitrary streams, and the room layer encoder's round trip on arbitrary data.
// Input: one mode byte (destination size choice), then the stream.

#include "FuzzBuffers.h"
#include "pelnix_codecs.h"

#include <algorithm>
#include <vector>

using quarnel::fuzz::ExactBuffer;
using quarnel::fuzz::Require;

namespace {

// The room layer block form, decoded straightforwardly.
bool DecodeLayerBlocks(const uint8_t* blocks, size_t size, std::vector<uint8_t>& out) {
    size_t i = 0;
    while (i < size) {
        const uint8_t count = blocks[i++];
        const size_t length = count & 0x7F;
        if (length == 0) {
            return false;
        }
        if ((count & 0x80) != 0) {
            if (length < 3 || i >= size) {
                return false;
            }
            out.insert(out.end(), length, blocks[i++]);
        } else {
            if (size - i < length) {
                return false;
            }
            out.insert(out.end(), blocks + i, blocks + i + length);
            i += length;
        }
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    auto run = quarnel::fuzz::DecodeChecked(pelnix_rl_decode, data, size);
    const ExactBuffer& stream = run.stream;
    const ExactBuffer& out = run.out;
    const PelnixStatus status = run.status;
    [[maybe_unused]] const uint32_t declared = run.declared;
    [[maybe_unused]] const size_t written = run.written;

    uint32_t length = 0;
    const PelnixStatus scan = pelnix_rl_stream_length(stream.data.get(), stream.size, &length);
    Require(scan != PELNIX_OK || length <= stream.size);

    // The layer encoder: exact worst-case output, and its blocks decode back to the data.
    const uint32_t n = static_cast<uint32_t>(stream.size);
    ExactBuffer encoded(pelnix_rlcomp_max_output(n));
    uint32_t encodedLength = 0;
    Require(pelnix_rl_layer_encode(stream.data.get(), n, encoded.data.get(), encoded.size,
                                   &encodedLength) == PELNIX_OK);
    std::vector<uint8_t> decoded;
    Require(DecodeLayerBlocks(encoded.data.get(), encodedLength, decoded));
    Require(decoded.size() == n);
    Require(std::equal(decoded.begin(), decoded.end(), stream.data.get()));
    return 0;
}
