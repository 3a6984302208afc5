// QuorlixConfig::decode on arbitrary bytes. Whatever decodes must survive encode and decode
// unchanged: the stored record is rewritten from what was read.
#include "app/QuorlixConfig.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArray json(reinterpret_cast<const char*>(data), qsizetype(size));
    const auto config = quorlix::QuorlixConfig::decode(json);
    if (!config)
        return 0;
    const auto again = quorlix::QuorlixConfig::decode(config->encode());
    if (!again || *again != *config)
        std::abort();
    return 0;
}
