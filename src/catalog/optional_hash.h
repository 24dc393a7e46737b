#pragma once

#include <QHashFunctions>

#include <optional>

namespace nimbara {

// Hash of an optional value, so that records with optional fields can use qHashMulti: a
// present value hashes as itself, no value as a fixed marker.
template <typename T>
size_t qHashOptional(const std::optional<T>& value, size_t seed = 0) {
    using ::qHash;
    return value ? qHash(*value, seed) : qHash(-1, seed);
}

} // namespace nimbara
