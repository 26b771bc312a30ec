#include "common/Error.h"

#include "common/Hex.h"

namespace quarnel {

namespace {

const char* Summary(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::FileOpen:
        return "Cannot open file";
    case ErrorKind::FileRead:
        return "Cannot read file";
    case ErrorKind::FileWrite:
        return "Cannot write file";
    case ErrorKind::NotARom:
        return "Not a Zero Mission or Fusion ROM";
    case ErrorKind::RomTooSmall:
        return "Too small for the game's tables";
    case ErrorKind::PointerOutOfRange:
        return "Pointer outside the ROM";
    case ErrorKind::BadLayer:
        return "Bad room layer";
    case ErrorKind::BadSpriteList:
        return "Bad sprite list";
    case ErrorKind::BadDoorTable:
        return "Bad door table";
    case ErrorKind::BadTileset:
        return "Bad tileset";
    case ErrorKind::BadArgument:
        return "Invalid value";
    case ErrorKind::StorageExhausted:
        return "Free space is exhausted";
    case ErrorKind::LibraryMissing:
        return "Pelnix library not found";
    case ErrorKind::VerifyMismatch:
        return "Verification failed";
    case ErrorKind::BadPatch:
        return "Bad patch";
    }
    return "Error";
}

} // namespace

std::string Describe(const Error& error) {
    std::string text = Summary(error.kind);
    if (!error.detail.empty()) {
        text += ": ";
        text += error.detail;
    }
    if (error.offset) {
        text += " (at ROM offset 0x" + ToHex(*error.offset) + ")";
    }
    return text;
}

} // namespace quarnel
