/*
 * The BIOS LZ77 codec (type 0x10): decoder, stream-length scanner and encoder.
 *
 * The encoder gives exactly the output of the format's exhaustive reference search (every
 * distance from the farthest down to 2, the first strictly longer match kept, the search
 * ended by a match of 18) but finds its candidates through hash chains of 3-byte prefixes
 * that it walks from the oldest position to the newest, so the farthest match still wins.
 */
#include "pelnix_codecs.h"

#include <string.h>

#define LZ77_MIN_MATCH 3u
#define LZ77_MAX_MATCH 18u
#define LZ77_WINDOW 4096u       /* the farthest distance: D field 4095 */
#define LZ77_MAX_SIZE 0xFFFFFFu /* the largest size the 24-bit header holds */
#define LZ77_HASH_BITS 12u
#define LZ77_BUCKETS (1u << LZ77_HASH_BITS)
#define LZ77_RING LZ77_WINDOW /* the chains hold the last 4096 inserted positions */
#define LZ77_NONE 0xFFFFu

size_t pelnix_lz77_max_stream(uint32_t n) {
    return 4u + (size_t)n + ((size_t)n + 7u) / 8u;
}

/* Decodes into destination; *out counts the bytes written, also on failure. */
static PelnixStatus lz77_decode(const uint8_t* source, size_t source_size, uint8_t* destination,
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
        const uint8_t flags = source[in++];
        for (unsigned bit = 0x80; bit != 0 && o < size; bit >>= 1) {
            if ((flags & bit) == 0) {
                if (in >= source_size) {
                    return PELNIX_SOURCE_TRUNCATED;
                }
                destination[o] = source[in++];
                *out = ++o;
                continue;
            }
            if (source_size - in < 2) {
                return PELNIX_SOURCE_TRUNCATED;
            }
            const size_t length = (size_t)(source[in] >> 4) + LZ77_MIN_MATCH;
            const size_t back = ((size_t)(source[in] & 0x0F) << 8 | source[in + 1]) + 1u;
            in += 2;
            if (back > o) {
                return PELNIX_BAD_REFERENCE;
            }
            for (size_t k = 0; k < length && o < size; ++k, ++o) {
                destination[o] = destination[o - back];
            }
            *out = o;
        }
    }
    return PELNIX_OK;
}

PelnixStatus pelnix_lz77_decode(const uint8_t* source, size_t source_size, uint8_t* destination,
                                size_t destination_size, size_t* written) {
    size_t out = 0;
    const PelnixStatus status =
        lz77_decode(source, source_size, destination, destination_size, &out);
    if (written != 0) {
        *written = out;
    }
    return status;
}

/*
 * Scans like the export: only flag bytes and the first byte of each reference are read,
 * and *index advances by each token's full width, so it may end beyond stream_size (the
 * last token runs past the buffer: reported as truncated, with the length it implies).
 */
static PelnixStatus lz77_scan(const uint8_t* stream, size_t stream_size, size_t* index) {
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
        const uint8_t flags = stream[i++];
        for (unsigned bit = 0x80; bit != 0 && remaining > 0; bit >>= 1) {
            if ((flags & bit) == 0) {
                i += 1;
                remaining -= 1;
                continue;
            }
            if (i >= stream_size) {
                *index = i;
                return PELNIX_SOURCE_TRUNCATED;
            }
            const uint32_t count = (uint32_t)(stream[i] >> 4) + LZ77_MIN_MATCH;
            i += 2;
            remaining = count >= remaining ? 0 : remaining - count;
        }
    }
    *index = i;
    return i > stream_size ? PELNIX_SOURCE_TRUNCATED : PELNIX_OK;
}

PelnixStatus pelnix_lz77_stream_length(const uint8_t* stream, size_t stream_size,
                                       uint32_t* length) {
    size_t index = 4;
    const PelnixStatus status = lz77_scan(stream, stream_size, &index);
    if (length != 0) {
        *length = (uint32_t)index;
    }
    return status;
}

/*
 * Candidate positions by 3-byte prefix. Every bucket is a forward chain from its oldest
 * position (head) to its newest (tail); next[] is a ring indexed by position mod 4096, so
 * it holds exactly the last 4096 inserted positions, and a chain entry is a ring slot from
 * which the position is recovered relative to the newest inserted one. Before a slot is
 * reused, its old position (the oldest in the ring, hence the head of its bucket) leaves
 * its chain. About 24 KiB, on the caller's stack.
 */
typedef struct MatchFinder {
    const uint8_t* input;
    uint32_t size;
    uint32_t inserted; /* positions [0, inserted) are in the chains */
    uint16_t head[LZ77_BUCKETS];
    uint16_t tail[LZ77_BUCKETS];
    uint16_t next[LZ77_RING];
} MatchFinder;

static uint32_t prefix_hash(const uint8_t* at) {
    const uint32_t key = (uint32_t)at[0] << 16 | (uint32_t)at[1] << 8 | at[2];
    return (key * 2654435761u) >> (32u - LZ77_HASH_BITS);
}

/* Appends position q (which has 3 bytes of input) to its bucket's chain. */
static void finder_insert(MatchFinder* f, uint32_t q) {
    const uint16_t slot = (uint16_t)(q & (LZ77_RING - 1u));
    if (q >= LZ77_RING) {
        const uint32_t evicted = prefix_hash(f->input + (q - LZ77_RING));
        if (f->head[evicted] == slot) {
            f->head[evicted] = f->next[slot];
        }
    }
    f->next[slot] = LZ77_NONE;
    const uint32_t bucket = prefix_hash(f->input + q);
    if (f->head[bucket] == LZ77_NONE) {
        f->head[bucket] = slot;
    } else {
        f->next[f->tail[bucket]] = slot;
    }
    f->tail[bucket] = slot;
}

/*
 * The match the reference search picks at p: the farthest distance (2 to the window) with
 * the longest match, lengths capped at 18 and at the end of the input. Returns its length
 * (0 when shorter than 3) and stores its distance in *distance.
 */
static uint32_t finder_find(MatchFinder* f, uint32_t p, uint32_t* distance) {
    const uint32_t left = f->size - p;
    const uint32_t limit = left < LZ77_MAX_MATCH ? left : LZ77_MAX_MATCH;
    if (p < 2 || limit < LZ77_MIN_MATCH) {
        return 0;
    }
    while (f->inserted <= p - 2) {
        finder_insert(f, f->inserted++);
    }
    const uint32_t newest = p - 2;
    const uint32_t oldest = p > LZ77_WINDOW ? p - LZ77_WINDOW : 0;
    const uint8_t* here = f->input + p;
    uint32_t best = LZ77_MIN_MATCH - 1u;
    uint32_t best_at = 0;
    for (uint16_t slot = f->head[prefix_hash(here)]; slot != LZ77_NONE; slot = f->next[slot]) {
        const uint32_t q = newest - ((newest - slot) & (LZ77_RING - 1u));
        if (q < oldest) {
            continue; /* the one ring position just outside the window */
        }
        const uint8_t* there = f->input + q;
        /* Only a strictly longer match can win, and it must agree at index best: checking
         * that byte first rejects most candidates, equally long ones included. */
        if (there[best] != here[best] || there[0] != here[0] || there[1] != here[1] ||
            there[2] != here[2]) {
            continue;
        }
        uint32_t length = LZ77_MIN_MATCH;
        while (length < limit && there[length] == here[length]) {
            ++length;
        }
        if (length > best) {
            best = length;
            best_at = q;
            if (best == limit) {
                break;
            }
        }
    }
    if (best < LZ77_MIN_MATCH) {
        return 0;
    }
    *distance = p - best_at;
    return best;
}

PelnixStatus pelnix_lz77_encode(const uint8_t* input, uint32_t size, uint8_t* output,
                                size_t output_size, uint32_t* written) {
    if (written != 0) {
        *written = 0;
    }
    if (size > LZ77_MAX_SIZE) {
        return PELNIX_INPUT_TOO_LARGE;
    }
    if (output == 0 || output_size < pelnix_lz77_max_stream(size)) {
        return PELNIX_DESTINATION_TOO_SMALL;
    }
    MatchFinder finder;
    finder.input = input;
    finder.size = size;
    finder.inserted = 0;
    memset(finder.head, 0xFF, sizeof finder.head);

    output[0] = 0x10;
    output[1] = (uint8_t)(size & 0xFF);
    output[2] = (uint8_t)((size >> 8) & 0xFF);
    output[3] = (uint8_t)((size >> 16) & 0xFF);
    size_t out = 4;
    uint32_t p = 0;
    while (p < size) {
        const size_t flag_at = out++;
        unsigned flags = 0;
        for (unsigned bit = 0x80; bit != 0 && p < size; bit >>= 1) {
            uint32_t distance = 0;
            const uint32_t length = finder_find(&finder, p, &distance);
            if (length == 0) {
                output[out++] = input[p++];
                continue;
            }
            const uint32_t field = distance - 1u;
            flags |= bit;
            output[out++] = (uint8_t)((length - LZ77_MIN_MATCH) << 4 | field >> 8);
            output[out++] = (uint8_t)(field & 0xFF);
            p += length;
        }
        output[flag_at] = (uint8_t)flags;
    }
    if (written != 0) {
        *written = (uint32_t)out;
    }
    return PELNIX_OK;
}
