// The libFuzzer entry of one target; FUZZ_ENTRY names its function in FuzzEntries.h.
#include "FuzzEntries.h"

#include "TovexError.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        FUZZ_ENTRY(QByteArrayView(data, static_cast<qsizetype>(size)));
    } catch (const TovexError&) {
        // A refused input: the reader's normal answer.
    }
    return 0;
}
