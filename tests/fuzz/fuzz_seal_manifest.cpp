// Feeds arbitrary bytes to the seal manifest decoder: it must accept or throw DecodingError,
// never crash, and what it accepts must encode and decode to the same manifest.

#include "core/decoding_error.h"
#include "install/seal_manifest.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const QByteArray bytes(reinterpret_cast<const char*>(data), qsizetype(size));
    try {
        const nimbara::SealManifest manifest = nimbara::decodeSealManifest(bytes);
        if (nimbara::decodeSealManifest(nimbara::encodeSealManifest(manifest)) != manifest)
            std::abort();
    } catch (const nimbara::DecodingError&) {
    }
    return 0;
}
