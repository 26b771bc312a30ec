// Fuzzes the bounded LZ77 core: the decoder and the stream-length scanner on arbitrary
// streams, and the encoder's round trip on arbitrary data.
// Input: one mode byte (destination size choice), then the stream.

#include "FuzzBuffers.h"
#include "pelnix_codecs.h"

#include <cstring>

using quarnel::fuzz::ExactBuffer;
using quarnel::fuzz::Require;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) {
        return 0;
    }
    auto run = quarnel::fuzz::DecodeChecked(pelnix_lz77_decode, data, size);
    const ExactBuffer& stream = run.stream;
    const ExactBuffer& out = run.out;
    const PelnixStatus status = run.status;
    [[maybe_unused]] const uint32_t declared = run.declared;
    [[maybe_unused]] const size_t written = run.written;

    uint32_t length = 0;
    const PelnixStatus scan = pelnix_lz77_stream_length(stream.data.get(), stream.size, &length);
    Require(scan != PELNIX_OK || length <= stream.size);
    // A stream that decodes completely is also measured completely.
    Require(status != PELNIX_OK || scan == PELNIX_OK);

    // The encoder: exact worst-case output, and its stream decodes back to the data.
    const uint32_t n = static_cast<uint32_t>(stream.size);
    ExactBuffer encoded(pelnix_lz77_max_stream(n));
    uint32_t encodedLength = 0;
    Require(pelnix_lz77_encode(stream.data.get(), n, encoded.data.get(), encoded.size,
                               &encodedLength) == PELNIX_OK);
    ExactBuffer decoded(n);
    size_t decodedLength = 0;
    Require(pelnix_lz77_decode(encoded.data.get(), encodedLength, decoded.data.get(), decoded.size,
                               &decodedLength) == PELNIX_OK);
    Require(decodedLength == n);
    Require(n == 0 || std::memcmp(decoded.data.get(), stream.data.get(), n) == 0);
    Require(pelnix_lz77_stream_length(encoded.data.get(), encodedLength, &length) == PELNIX_OK);
    Require(length == encodedLength);
    return 0;
}
