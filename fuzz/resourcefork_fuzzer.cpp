#include "import/AppleDouble.h"
#include "import/ResourceFork.h"

#include <cstdlib>

// Forks and the containers that carry them: nothing read may lie beyond the input.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes =
        QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto inner = snapwick::resourceForkOfAppleContainer(bytes);
    for (const QByteArray& candidate : {bytes, inner.value_or(QByteArray())}) {
        const auto fork = snapwick::ResourceFork::parse(candidate);
        if (!fork)
            continue;
        const auto check = [&](const auto& code) {
            for (qsizetype i = 1; i <= fork->count(code); ++i) {
                const auto r = fork->resource(code, i);
                if (!r || r->data.value_or(QByteArray()).size() > candidate.size() ||
                    r->name.value_or(QByteArray()).size() > 255)
                    std::abort();
            }
        };
        check("STMP");
        check("STR ");
    }
    return 0;
}
