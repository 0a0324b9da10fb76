// tovex-settings: writes and checks the scrambled values of a tovex settings file.
//   tovex-settings write FILE SECTION KEY VALUE
//   tovex-settings read FILE SECTION KEY
// Values are stored as the exact bytes given and printed back as those bytes.

#include "IniFile.h"
#include "IniScrambledValue.h"
#include "TovexError.h"

#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstring>

namespace {

constexpr int ExitUsage = 2;
constexpr int ExitFailure = 1;

int usage(const char* problem) {
    std::fprintf(stderr,
                 "tovex-settings: %s\n"
                 "usage: tovex-settings write FILE SECTION KEY VALUE\n"
                 "       tovex-settings read FILE SECTION KEY\n",
                 problem);
    return ExitUsage;
}

int fail(const QString& message) {
    std::fprintf(stderr, "tovex-settings: %s\n", message.toLocal8Bit().constData());
    return ExitFailure;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2)
        return usage("missing command");
    const bool write = std::strcmp(argv[1], "write") == 0;
    const bool read = std::strcmp(argv[1], "read") == 0;
    if (!write && !read)
        return usage("unknown command");
    const int wanted = write ? 6 : 5;
    if (argc < wanted)
        return usage("missing argument");
    if (argc > wanted)
        return usage("too many arguments");

    const QString file = QString::fromLocal8Bit(argv[2]);
    const QString section = QString::fromLocal8Bit(argv[3]);
    const QString key = QString::fromLocal8Bit(argv[4]);
    if (file.isEmpty())
        return usage("empty file name");
    if (!IsIniSectionName(section))
        return usage("section must be a plain name (no surrounding spaces, ']' or line break)");
    if (!IsIniKeyName(key))
        return usage("key must be a plain name (no surrounding spaces, '=' or line break)");

    try {
        QByteArray result;
        if (write) {
            IniScrambledValue(file, 1, section, key, QByteArray(argv[5]), result);
            return 0;
        }
        IniScrambledValue(file, 0, section, key, QByteArray(), result);
        result.append('\n');
        std::fwrite(result.constData(), 1, static_cast<size_t>(result.size()), stdout);
        return std::fflush(stdout) == 0 ? 0 : ExitFailure;
    } catch (const TovexError& error) {
        return fail(error.message());
    }
}
