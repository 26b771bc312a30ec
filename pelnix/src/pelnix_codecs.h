/*
 * The bounded codec cores behind Pelnix's exports.
 *
 * Each function takes the size of every buffer it touches and never reads or writes
 * outside them. A stream that is truncated or corrupt within those bounds ends the call
 * with an error status; what was written up to that point stays written. For well-formed
 * input with large enough buffers the results are byte-identical to the exports.
 */
#ifndef PELNIX_CODECS_H
#define PELNIX_CODECS_H

#include <stddef.h>
#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef enum PelnixStatus {
    PELNIX_OK = 0,
    PELNIX_SOURCE_TRUNCATED,      /* the stream ends before its declared size is reached */
    PELNIX_DESTINATION_TOO_SMALL, /* the declared size does not fit the destination */
    PELNIX_BAD_REFERENCE,         /* an LZ77 reference points before the start of the output */
    PELNIX_BAD_TREE,              /* a Huffman node leads outside the tree table */
    PELNIX_INPUT_TOO_LARGE        /* an encoder's input size does not fit the 24-bit header */
} PelnixStatus;

/* Human-readable name of a status, for messages. */
const char* pelnix_status_text(PelnixStatus status);

/* Decompressed size from a 4-byte BIOS header (bits 8-31); 0 when fewer than 4 bytes. */
uint32_t pelnix_declared_size(const uint8_t* source, size_t source_size);

/* The largest stream the export contracts allow for a declared size of `n` bytes. */
size_t pelnix_lz77_max_stream(uint32_t n);   /* 4 + n + ceil(n / 8) */
size_t pelnix_rl_max_stream(uint32_t n);     /* 4 + 2n */
size_t pelnix_huff_max_stream(uint32_t n);   /* tree table + 256 bits per output nibble */
size_t pelnix_rlcomp_max_output(uint32_t n); /* n + ceil(n / 127) */

/*
 * Decoders. *written (may be NULL) receives the number of output bytes produced. The
 * destination must hold the declared size, else PELNIX_DESTINATION_TOO_SMALL and nothing
 * is written.
 */
PelnixStatus pelnix_lz77_decode(const uint8_t* source, size_t source_size, uint8_t* destination,
                                size_t destination_size, size_t* written);
PelnixStatus pelnix_rl_decode(const uint8_t* source, size_t source_size, uint8_t* destination,
                              size_t destination_size, size_t* written);
PelnixStatus pelnix_huff_decode(const uint8_t* source, size_t source_size, uint8_t* destination,
                                size_t destination_size, size_t* written);

/*
 * Size scanners: *length receives the stream length, header included. They read only the
 * bytes the length depends on (flag bytes, the first byte of each LZ77 reference) and
 * count every block at its full width, as the exports do; a length beyond stream_size, or
 * a flag byte outside it, gives PELNIX_SOURCE_TRUNCATED with the length reached so far.
 */
PelnixStatus pelnix_lz77_stream_length(const uint8_t* stream, size_t stream_size, uint32_t* length);
PelnixStatus pelnix_rl_stream_length(const uint8_t* stream, size_t stream_size, uint32_t* length);

/*
 * Encoders. *written receives the number of bytes written. The output must hold the
 * worst case (pelnix_lz77_max_stream(size), pelnix_rlcomp_max_output(size)), else
 * PELNIX_DESTINATION_TOO_SMALL and nothing is written. The LZ77 encoder refuses sizes
 * above 0xFFFFFF with PELNIX_INPUT_TOO_LARGE (nothing written). Both use no heap; the LZ77
 * encoder keeps about 24 KiB of match tables on the stack.
 */
PelnixStatus pelnix_lz77_encode(const uint8_t* input, uint32_t size, uint8_t* output,
                                size_t output_size, uint32_t* written);
PelnixStatus pelnix_rl_layer_encode(const uint8_t* input, uint32_t size, uint8_t* output,
                                    size_t output_size, uint32_t* written);

#ifdef __cplusplus
}
#endif

#endif /* PELNIX_CODECS_H */
