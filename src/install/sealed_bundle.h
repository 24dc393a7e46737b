#pragma once

#include "install/bundle_tree.h"
#include "install/seal_manifest.h"
#include "install/seal_signature.h"

#include <QString>

namespace nimbara {

// A bundle whose seal holds: its signature verifies over its manifest, the manifest lists
// exactly the bundle's files (with their hashes and execute bits) and symlinks (with their
// targets, each resolving inside the bundle), and every nested bundle's seal holds the same way.
struct SealedBundle {
    SealSignature signature;
    SealManifest manifest;
};

// Checks the seal of the bundle folder `root` as above. Reads each file once, never follows a
// symlink and never opens a fifo or device; writes nothing. Throws SealFault (invalidSignature)
// naming the first fault found.
SealedBundle verifySealedBundle(const QString& root);

// The manifest of the bundle folder `root` as it is now: every regular file and symlink except
// the seal's own two files, all hashed. Throws SealFault for what no seal may list (a fifo,
// device or socket, an unreadable folder, a name that is not UTF-8).
SealManifest describeBundle(const QString& root, const QString& identifier);

} // namespace nimbara
