#include "pelnix_codecs.h"
/* Placeholder: the codec lands with the Pelnix work. */
size_t pelnix_huff_max_stream(uint32_t n) { return 6u + 512u + 64u * (size_t)n + 4u; }
PelnixStatus pelnix_huff_decode(const uint8_t* s, size_t ss, uint8_t* d, size_t ds, size_t* w) {
    (void)s; (void)ss; (void)d; (void)ds; if (w) *w = 0; return PELNIX_OK; }
