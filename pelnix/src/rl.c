/*
 * Run-length codecs: the BIOS run-length stream (type 0x30: decoder and stream-length
 * scanner) and the encoder of the games' headerless room layer block form, which is a
 * different format (counts 1-127, no header).
 */
#include "pelnix_codecs.h"

#define RL_RUN_FLAG 0x80u
#define RL_MIN_RUN 3u        /* BIOS: run block of (F & 0x7F) + 3 bytes */
#define LAYER_MAX_BLOCK 127u /* room layer form: at most 127 bytes per block */

size_t pelnix_rl_max_stream(uint32_t n) {
    return 4u + 2u * (size_t)n;
}

size_t pelnix_rlcomp_max_output(uint32_t n) {
    /* Saturates where size_t is 32 bits wide, so such a size is refused, never wrapped. */
    const size_t blocks = (size_t)n / LAYER_MAX_BLOCK + (n % LAYER_MAX_BLOCK != 0);
    return (size_t)n > SIZE_MAX - blocks ? SIZE_MAX : (size_t)n + blocks;
}

/* Decodes into destination; *out counts the bytes written, also on failure. */
static PelnixStatus rl_decode(const uint8_t* source, size_t source_size, uint8_t* destination,
                              size_t destination_size, size_t* out) {
    if (source_size < 4) {
        return PELNIX_SOURCE_TRUNCATED;
    }
    const uint32_t size = pelnix_declared_size(source, source_size);
    if (size > destination_size) {
        return PELNIX_DESTINATION_TOO_SMALL;
    }
    size_t in = 4;
    size_t o = 0;
    while (o < size) {
        if (in >= source_size) {
            return PELNIX_SOURCE_TRUNCATED;
        }
        const unsigned flag = source[in++];
        if ((flag & RL_RUN_FLAG) == 0) {
            for (unsigned k = (flag & 0x7Fu) + 1u; k > 0 && o < size; --k) {
                if (in >= source_size) {
                    return PELNIX_SOURCE_TRUNCATED;
                }
                destination[o] = source[in++];
                *out = ++o;
            }
        } else {
            if (in >= source_size) {
                return PELNIX_SOURCE_TRUNCATED;
            }
            const uint8_t value = source[in++];
            for (unsigned k = (flag & 0x7Fu) + RL_MIN_RUN; k > 0 && o < size; --k) {
                destination[o++] = value;
            }
            *out = o;
        }
    }
    return PELNIX_OK;
}

PelnixStatus pelnix_rl_decode(const uint8_t* source, size_t source_size, uint8_t* destination,
                              size_t destination_size, size_t* written) {
    size_t out = 0;
    const PelnixStatus status = rl_decode(source, source_size, destination, destination_size, &out);
    if (written != 0) {
        *written = out;
    }
    return status;
}

/* Reads only the flag bytes; a literal block counts at its full width, as the export does. */
static PelnixStatus rl_scan(const uint8_t* stream, size_t stream_size, size_t* index) {
    if (stream_size < 4) {
        return PELNIX_SOURCE_TRUNCATED;
    }
    uint32_t remaining = pelnix_declared_size(stream, stream_size);
    size_t i = 4;
    while (remaining > 0) {
        if (i >= stream_size) {
            *index = i;
            return PELNIX_SOURCE_TRUNCATED;
        }
        const unsigned flag = stream[i];
        uint32_t count;
        if ((flag & RL_RUN_FLAG) != 0) {
            count = (flag & 0x7Fu) + RL_MIN_RUN;
            i += 2;
        } else {
            count = (flag & 0x7Fu) + 1u;
            i += (size_t)count + 1u;
        }
        remaining = count >= remaining ? 0 : remaining - count;
    }
    *index = i;
    return i > stream_size ? PELNIX_SOURCE_TRUNCATED : PELNIX_OK;
}

PelnixStatus pelnix_rl_stream_length(const uint8_t* stream, size_t stream_size, uint32_t* length) {
    size_t index = 4;
    const PelnixStatus status = rl_scan(stream, stream_size, &index);
    if (length != 0) {
        *length = (uint32_t)index;
    }
    return status;
}

PelnixStatus pelnix_rl_layer_encode(const uint8_t* input, uint32_t size, uint8_t* output,
                                    size_t output_size, uint32_t* written) {
    if (written != 0) {
        *written = 0;
    }
    if (output_size < pelnix_rlcomp_max_output(size) || (output == 0 && size > 0)) {
        return PELNIX_DESTINATION_TOO_SMALL;
    }
    size_t p = 0;
    size_t o = 0;
    while (p < size) {
        /* The literal stretch before the next run of three equal bytes, at most 127. */
        size_t k = 0;
        int run = 0;
        while (k < LAYER_MAX_BLOCK) {
            if (p + k >= size) {
                break;
            }
            if (p + k + 2 < size && input[p + k] == input[p + k + 1] &&
                input[p + k] == input[p + k + 2]) {
                run = 1;
                break;
            }
            ++k;
        }
        if (k > 0) {
            output[o++] = (uint8_t)k;
            for (size_t i = 0; i < k; ++i) {
                output[o++] = input[p + i];
            }
            p += k;
        }
        if (run) {
            size_t r = 0;
            while (r < LAYER_MAX_BLOCK && p + r < size && input[p + r] == input[p]) {
                ++r;
            }
            output[o++] = (uint8_t)(RL_RUN_FLAG | r);
            output[o++] = input[p];
            p += r;
        }
    }
    if (written != 0) {
        *written = (uint32_t)o;
    }
    return PELNIX_OK;
}
