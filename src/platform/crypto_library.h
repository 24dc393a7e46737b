#pragma once

namespace nimbara {

// OpenSSL serves two kinds of threads here: the pool's (hashing, signature checks) and Qt's
// network thread (TLS). Either may end only after main() has returned, after OpenSSL's own
// clean-up at exit, which then never frees what the library keeps for them. So the library is
// told, before anything else uses it, not to clean up at exit: each thread frees its own state
// when it ends, and what the library keeps for the process lasts as long as the process.
// Returns whether the library took the setting (false only when it could not start at all).
// Files whose code uses the library call it from a static initializer, so it runs while the
// program starts, before main().
bool keepCryptoLibraryUntilExit();

} // namespace nimbara
