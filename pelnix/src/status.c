#include "pelnix_codecs.h"

const char* pelnix_status_text(PelnixStatus status) {
    switch (status) {
    case PELNIX_OK:
        return "ok";
    case PELNIX_SOURCE_TRUNCATED:
        return "the stream ends before its declared size";
    case PELNIX_DESTINATION_TOO_SMALL:
        return "the output does not fit the destination";
    case PELNIX_BAD_REFERENCE:
        return "a reference points before the start of the output";
    case PELNIX_BAD_TREE:
        return "a tree node leads outside the tree table";
    case PELNIX_INPUT_TOO_LARGE:
        return "the input is larger than the header can declare";
    }
    return "unknown status";
}

uint32_t pelnix_declared_size(const uint8_t* source, size_t source_size) {
    if (source == 0 || source_size < 4) {
        return 0;
    }
    return (uint32_t)source[1] | ((uint32_t)source[2] << 8) | ((uint32_t)source[3] << 16);
}
