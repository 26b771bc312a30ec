/*
 * Pelnix: Game Boy Advance compression codecs over caller-owned memory.
 *
 * Every function works on whole buffers that the caller owns, allocates nothing and keeps
 * no state between calls, so any thread may call any function at any time.
 *
 * On 32-bit Windows the functions use the stdcall convention and Pelnix.dll exports each
 * of them twice: under its plain name and under its decorated name (RLComp and RLComp@12).
 * On Linux libpelnix.so exports the plain names with C linkage.
 *
 * None of the exported functions can check the caller's buffers: their signatures carry no
 * sizes. Each one bounds its reads and writes by what its contract implies (the sizes given
 * below) and stops early on a stream that is corrupt within those bounds, so a well-formed
 * stream with buffers of the documented size is always safe.
 */
#ifndef PELNIX_H
#define PELNIX_H

#include <stdint.h>

#if defined(_WIN32)
#define PELNIX_CALL __stdcall
#if defined(PELNIX_BUILDING)
#define PELNIX_API
#else
#define PELNIX_API __declspec(dllimport)
#endif
#else
#define PELNIX_CALL
#if defined(PELNIX_BUILDING)
#define PELNIX_API __attribute__((visibility("default")))
#else
#define PELNIX_API
#endif
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* The library's version: 256 (0x0100), major version in the high byte. */
PELNIX_API uint32_t PELNIX_CALL PelnixVersion(void);

/*
 * Decodes a BIOS LZ77 stream (type 0x10; the type byte is not checked).
 * source: the stream: a 4-byte header whose bits 8-31 give the decompressed size N, then
 *         groups of one flag byte and up to eight tokens.
 * destination: at least N bytes.
 * A size of 0 writes nothing.
 */
PELNIX_API void PELNIX_CALL LZ77UnComp(const uint8_t* source, uint8_t* destination);

/*
 * Encodes `size` bytes of `input` as a BIOS LZ77 stream into `output` and returns the
 * number of bytes written, header included. `output` must hold 4 + size + ceil(size / 8)
 * bytes, the all-literal worst case. Sizes above 0xFFFFFF do not fit the header.
 * Among equally long matches the farthest distance wins; distance 1 is never used.
 */
PELNIX_API uint32_t PELNIX_CALL LZ77Comp(uint32_t size, const uint8_t* input, uint8_t* output);

/* Length in bytes, header included, of the BIOS LZ77 stream at `stream`. */
PELNIX_API uint32_t PELNIX_CALL LZ77GetCompSize(const uint8_t* stream);

/*
 * Decodes a BIOS run-length stream (type 0x30; not checked) into `destination`, which must
 * hold the decompressed size given in bits 8-31 of the 4-byte header.
 */
PELNIX_API void PELNIX_CALL RLUnComp(const uint8_t* source, uint8_t* destination);

/*
 * Encodes `size` bytes of `input` in the headerless run-length block form of the games'
 * room layers (count byte: bit 7 clear, 1-127 literal bytes follow; bit 7 set, one byte
 * follows, repeated count & 0x7F times). No type byte and no closing 0 are written.
 * `output` must hold size + ceil(size / 127) bytes. Returns the number of bytes written.
 * Note: this is not the format that RLUnComp reads.
 */
PELNIX_API uint32_t PELNIX_CALL RLComp(uint32_t size, const uint8_t* input, uint8_t* output);

/* Length in bytes, header included, of the BIOS run-length stream at `stream`. */
PELNIX_API uint32_t PELNIX_CALL RLGetCompSize(const uint8_t* stream);

/*
 * Decodes a BIOS Huffman stream (type 2; low nibble 8 for 8-bit symbols, anything else for
 * 4-bit symbols) into `destination`, which must hold the decompressed size given in bits
 * 8-31 of the header. The root's children are taken from the two bytes after the root.
 */
PELNIX_API void PELNIX_CALL HuffUnComp(const uint8_t* source, uint8_t* destination);

#ifdef __cplusplus
}
#endif

#endif /* PELNIX_H */
