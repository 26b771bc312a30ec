/*
 * The exported entry points. Their signatures carry no sizes, so each bounds its bounded
 * core by what the function's contract implies: the destination holds the declared size,
 * and a stream is never longer than the longest stream that can declare that size.
 */
#include "pelnix.h"
#include "pelnix_codecs.h"

/* Reads the 4-byte header of a stream whose length the caller does not tell. */
static uint32_t declared_size(const uint8_t* source) { return pelnix_declared_size(source, 4); }

uint32_t PELNIX_CALL PelnixVersion(void) { return 0x0100; }

void PELNIX_CALL LZ77UnComp(const uint8_t* source, uint8_t* destination) {
    const uint32_t size = declared_size(source);
    (void)pelnix_lz77_decode(source, pelnix_lz77_max_stream(size), destination, size, 0);
}

uint32_t PELNIX_CALL LZ77Comp(uint32_t size, const uint8_t* input, uint8_t* output) {
    uint32_t written = 0;
    if (pelnix_lz77_encode(input, size, output, pelnix_lz77_max_stream(size), &written) !=
        PELNIX_OK) {
        return 0;
    }
    return written;
}

uint32_t PELNIX_CALL LZ77GetCompSize(const uint8_t* stream) {
    const uint32_t size = declared_size(stream);
    uint32_t length = 0;
    (void)pelnix_lz77_stream_length(stream, pelnix_lz77_max_stream(size), &length);
    return length;
}

void PELNIX_CALL RLUnComp(const uint8_t* source, uint8_t* destination) {
    const uint32_t size = declared_size(source);
    (void)pelnix_rl_decode(source, pelnix_rl_max_stream(size), destination, size, 0);
}

uint32_t PELNIX_CALL RLComp(uint32_t size, const uint8_t* input, uint8_t* output) {
    uint32_t written = 0;
    if (pelnix_rl_layer_encode(input, size, output, pelnix_rlcomp_max_output(size), &written) !=
        PELNIX_OK) {
        return 0;
    }
    return written;
}

uint32_t PELNIX_CALL RLGetCompSize(const uint8_t* stream) {
    const uint32_t size = declared_size(stream);
    uint32_t length = 0;
    (void)pelnix_rl_stream_length(stream, pelnix_rl_max_stream(size), &length);
    return length;
}

void PELNIX_CALL HuffUnComp(const uint8_t* source, uint8_t* destination) {
    const uint32_t size = declared_size(source);
    (void)pelnix_huff_decode(source, pelnix_huff_max_stream(size), destination, size, 0);
}
