// The libFuzzer entry point of one target, chosen when it is built
// (NANAHOSHI_FUZZ_TARGET, the target's name). The workspace is made once.
#include "fuzz_targets.h"

#include <QString>

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const fuzz::Target *target = [] {
        const char *dir = std::getenv("NANAHOSHI_FUZZ_WORKDIR");
        fuzz::setUpWorkspace(dir ? QString::fromLocal8Bit(dir) : QString());
        const fuzz::Target *t = fuzz::findTarget(QStringLiteral(NANAHOSHI_FUZZ_TARGET));
        if (!t)
            std::abort();
        return t;
    }();
    fuzz::runOne(*target, QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
