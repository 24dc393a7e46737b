#pragma once

#include <QByteArray>
#include <QString>

namespace nimbara {

// How much of a property list is read at all. Parsing, freeing and writing a property-list tree
// each descend once per level of nesting, so a file beyond these bounds is refused before it is
// parsed, as unreadable.
struct PropertyListBounds {
    qint64 maxBytes = 0; // the size of the file
    int maxDepth = 64;   // arrays and dictionaries nested in one another, the top level being 1
};

// Why `bytes` go beyond `bounds`, or empty when they keep within them. The XML form is measured
// by its array and dictionary tags; the binary form by its object graph, which is also refused
// when it refers to itself or when its objects, counted once for each reference to them, would
// take more than `bounds.maxBytes`. Works in one pass over the bytes or objects, without
// recursion, whatever their nesting.
QString propertyListBoundsViolation(const QByteArray& bytes, const PropertyListBounds& bounds);

} // namespace nimbara
