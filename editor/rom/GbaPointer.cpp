#include "rom/GbaPointer.h"

#include "common/Hex.h"

namespace quarnel {

Result<uint32_t, Error> ResolvePointer(uint32_t pointer, uint64_t fileSize, const std::string& what,
                                       uint32_t minimumBytes) {
    if (pointer < kGbaRomBase) {
        return Fail(Error{ErrorKind::PointerOutOfRange,
                          what + " pointer 0x" + ToHex(pointer) + " is below 0x8000000",
                          {}});
    }
    const uint64_t offset = pointer - kGbaRomBase;
    if (offset + minimumBytes > fileSize) {
        return Fail(Error{ErrorKind::PointerOutOfRange,
                          what + " pointer 0x" + ToHex(pointer) + " lies past the end of the file",
                          {}});
    }
    return static_cast<uint32_t>(offset);
}

} // namespace quarnel
