// The libFuzzer entry of one target; FUZZ_ENTRY names its function in FuzzEntries.h.
#include "FuzzEntries.h"

#include "TovexError.h"

#include <QtGlobal>

#include <cstddef>
#include <cstdint>

// Qt's readers warn about every malformed file; millions of warnings would slow the run
// and bury libFuzzer's own report.
extern "C" int LLVMFuzzerInitialize(int*, char***) {
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        FUZZ_ENTRY(QByteArrayView(data, static_cast<qsizetype>(size)));
    } catch (const TovexError&) {
        // A refused input: the reader's normal answer.
    }
    return 0;
}
