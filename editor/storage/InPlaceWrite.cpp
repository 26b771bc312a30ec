#include "storage/InPlaceWrite.h"

#include "common/Hex.h"
#include "rom/RomFile.h"

#include <algorithm>

namespace quarnel {

Result<void, Error> CheckInPlaceWrite(const RomFile& file, const InPlaceWrite& write) {
    if (write.bytes.size() != write.expected.size() || write.bytes.empty()) {
        return Fail(Error{ErrorKind::BadArgument,
                          write.what + " would be rewritten with " +
                              std::to_string(write.bytes.size()) + " bytes instead of its " +
                              std::to_string(write.expected.size()),
                          write.offset});
    }
    if (uint64_t{write.offset} + write.bytes.size() > file.Size()) {
        return Fail(Error{ErrorKind::PointerOutOfRange,
                          write.what + " lies past the end of the file", write.offset});
    }
    if (file.ReadBlock(write.offset, write.expected.size()) != write.expected) {
        return Fail(Error{ErrorKind::VerifyMismatch,
                          write.what + " at 0x" + ToHex(write.offset) +
                              " no longer holds what the editor read there (the file was changed "
                              "since); nothing was written",
                          write.offset});
    }
    return {};
}

bool HoldsWrittenBytes(const RomFile& file, const InPlaceWrite& write) {
    return file.ReadBlock(write.offset, write.bytes.size()) == write.bytes;
}

} // namespace quarnel
