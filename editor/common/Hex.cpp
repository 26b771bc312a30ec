#include "common/Hex.h"

namespace quarnel {

namespace {

std::string_view Trim(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) {
        text.remove_prefix(1);
    }
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) {
        text.remove_suffix(1);
    }
    return text;
}

std::optional<uint64_t> ParseDigits(std::string_view text, unsigned base) {
    if (text.empty() || text.size() > 16) {
        return std::nullopt;
    }
    uint64_t value = 0;
    for (char c : text) {
        unsigned digit;
        if (c >= '0' && c <= '9') {
            digit = static_cast<unsigned>(c - '0');
        } else if (c >= 'a' && c <= 'f') {
            digit = static_cast<unsigned>(c - 'a' + 10);
        } else if (c >= 'A' && c <= 'F') {
            digit = static_cast<unsigned>(c - 'A' + 10);
        } else {
            return std::nullopt;
        }
        if (digit >= base) {
            return std::nullopt;
        }
        value = value * base + digit;
    }
    return value;
}

} // namespace

std::string ToHex(uint64_t value) {
    static const char kDigits[] = "0123456789ABCDEF";
    std::string text;
    do {
        text.insert(text.begin(), kDigits[value & 0xF]);
        value >>= 4;
    } while (value != 0);
    return text;
}

std::string ToHexWidth(uint64_t value, int width) {
    std::string text = std::string(static_cast<size_t>(width), '0') + ToHex(value);
    return text.substr(text.size() - static_cast<size_t>(width));
}

std::optional<uint32_t> ParseHex(std::string_view text) {
    const auto value = ParseDigits(Trim(text), 16);
    if (!value || *value > 0xFFFFFFFFu) {
        return std::nullopt;
    }
    return static_cast<uint32_t>(*value);
}

std::optional<uint64_t> ParseNumber(std::string_view text) {
    text = Trim(text);
    if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
        return ParseDigits(text.substr(2), 16);
    }
    return ParseDigits(text, 10);
}

} // namespace quarnel
