#include "platform/crypto_library.h"

#include <openssl/crypto.h>

namespace nimbara {

bool keepCryptoLibraryUntilExit() {
    return OPENSSL_init_crypto(OPENSSL_INIT_NO_ATEXIT, nullptr) == 1;
}

} // namespace nimbara
