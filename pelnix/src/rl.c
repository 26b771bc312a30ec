#include "pelnix_codecs.h"
/* Placeholder: the codec lands with the Pelnix work. */
size_t pelnix_rl_max_stream(uint32_t n) { return 4u + 2u * (size_t)n; }
size_t pelnix_rlcomp_max_output(uint32_t n) { return (size_t)n + ((size_t)n + 126u) / 127u; }
PelnixStatus pelnix_rl_decode(const uint8_t* s, size_t ss, uint8_t* d, size_t ds, size_t* w) {
    (void)s; (void)ss; (void)d; (void)ds; if (w) *w = 0; return PELNIX_OK; }
PelnixStatus pelnix_rl_stream_length(const uint8_t* s, size_t ss, uint32_t* l) {
    (void)s; (void)ss; *l = 0; return PELNIX_OK; }
PelnixStatus pelnix_rl_layer_encode(const uint8_t* i, uint32_t n, uint8_t* o, size_t os, uint32_t* w) {
    (void)i; (void)n; (void)o; (void)os; *w = 0; return PELNIX_OK; }
