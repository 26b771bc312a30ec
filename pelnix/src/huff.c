/*
 * The BIOS Huffman decoder (type 2; 4-bit or 8-bit symbols).
 *
 * Layout: header (4), tree size T (1), root node (1), T pairs of child nodes, then the bit
 * stream at 2T + 6 as little-endian 32-bit words read from bit 31 down. A node byte holds
 * the offset to its children's pair (bits 0-5) and which of them are leaves (bit 7: child
 * 0, bit 6: child 1); the root's children are the pair right after it, at 6 and 7.
 */
#include "pelnix_codecs.h"

#define HUFF_OFFSET_MASK 0x3Fu
#define HUFF_LEAF0 0x80u
#define HUFF_LEAF1 0x40u
#define HUFF_ROOT_AT 5u
#define HUFF_ROOT_PAIR 6u

/* 6 + 512 covers the largest tree table (2 * 255 + 6); a symbol takes at most 255 bits,
 * since every step moves to a later pair of the table. */
size_t pelnix_huff_max_stream(uint32_t n) {
    return 6u + 512u + 64u * (size_t)n + 4u;
}

static uint32_t read_word(const uint8_t* at) {
    return (uint32_t)at[0] | (uint32_t)at[1] << 8 | (uint32_t)at[2] << 16 | (uint32_t)at[3] << 24;
}

/* Decodes into destination; *out counts the bytes written, also on failure. */
static PelnixStatus huff_decode(const uint8_t* source, size_t source_size, uint8_t* destination,
                                size_t destination_size, size_t* out) {
    if (source_size < 4) {
        return PELNIX_SOURCE_TRUNCATED;
    }
    const uint32_t size = pelnix_declared_size(source, source_size);
    if (size > destination_size) {
        return PELNIX_DESTINATION_TOO_SMALL;
    }
    if (size == 0) {
        return PELNIX_OK;
    }
    if (source_size < 5) {
        return PELNIX_SOURCE_TRUNCATED;
    }
    const int eight_bit = (source[0] & 0x0F) == 8;
    const size_t bits_at = 2u * (size_t)source[4] + 6u; /* also the end of the tree table */
    if (bits_at > source_size) {
        return PELNIX_SOURCE_TRUNCATED;
    }
    const uint8_t root = source[HUFF_ROOT_AT];
    size_t word_at = bits_at;
    uint32_t word = 0;
    uint32_t mask = 0; /* the next word is loaded when a bit is needed */
    uint8_t node = root;
    size_t pair = 0; /* 0: at the root */
    unsigned low_nibble = 0;
    int have_low = 0;
    size_t o = 0;
    while (o < size) {
        pair = pair == 0 ? HUFF_ROOT_PAIR : pair + (size_t)(node & HUFF_OFFSET_MASK) * 2u + 2u;
        if (pair + 2u > bits_at) {
            return PELNIX_BAD_TREE;
        }
        if (mask == 0) {
            if (source_size - word_at < 4) {
                return PELNIX_SOURCE_TRUNCATED;
            }
            word = read_word(source + word_at);
            word_at += 4;
            mask = 0x80000000u;
        }
        int leaf;
        if ((word & mask) != 0) {
            leaf = (node & HUFF_LEAF1) != 0;
            node = source[pair + 1u];
        } else {
            leaf = (node & HUFF_LEAF0) != 0;
            node = source[pair];
        }
        mask >>= 1;
        if (!leaf) {
            continue;
        }
        if (eight_bit) {
            destination[o] = node;
            *out = ++o;
        } else if (!have_low) {
            low_nibble = node & 0x0Fu;
            have_low = 1;
        } else {
            destination[o] = (uint8_t)(low_nibble | (node & 0x0Fu) << 4);
            *out = ++o;
            have_low = 0;
        }
        node = root;
        pair = 0;
    }
    return PELNIX_OK;
}

PelnixStatus pelnix_huff_decode(const uint8_t* source, size_t source_size, uint8_t* destination,
                                size_t destination_size, size_t* written) {
    size_t out = 0;
    const PelnixStatus status =
        huff_decode(source, source_size, destination, destination_size, &out);
    if (written != 0) {
        *written = out;
    }
    return status;
}
