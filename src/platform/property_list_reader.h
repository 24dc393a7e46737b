#pragma once

#include "platform/property_list_bounds.h"

#include <QByteArray>
#include <QString>
#include <memory>

namespace nimbara {

// Owns a parsed property-list tree. The tree is a node of the property-list library, which only
// this layer sees; the type is opaque to everything else.
void freePropertyListNode(void* node);
using PropertyListNode = std::unique_ptr<void, decltype(&freePropertyListNode)>;

// The top-level dictionary parsed from `bytes` (XML or binary form), or null when they go
// beyond `bounds`, do not parse, or hold anything but a dictionary at the top; `problem` then
// says why.
struct ParsedPropertyList {
    PropertyListNode dictionary{nullptr, &freePropertyListNode};
    QString problem;
};
ParsedPropertyList parsePropertyList(const QByteArray& bytes, const PropertyListBounds& bounds);

// A property-list file, read within bounds. Only a regular file (or a symbolic link to one) is
// opened, and without waiting, so that a FIFO, socket, device or folder at the path can never
// stall the reader.
struct PropertyListFile {
    enum class State {
        absent,         // nothing at the path
        empty,          // a regular file of zero bytes
        notRegularFile, // a folder, FIFO, socket or device
        unreadable,     // cannot be read, too large, too deep, or not a property list
        read,           // `dictionary` holds the top level
    };
    State state = State::absent;
    PropertyListNode dictionary{nullptr, &freePropertyListNode};
    QString problem; // why the file was not read, for notRegularFile and unreadable
};
PropertyListFile readPropertyListFile(const QString& path, const PropertyListBounds& bounds);

} // namespace nimbara
