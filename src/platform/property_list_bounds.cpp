#include "platform/property_list_bounds.h"

#include <QByteArrayView>
#include <algorithm>
#include <optional>
#include <vector>

namespace nimbara {

namespace {

QString malformed() {
    return QStringLiteral("it is not a well-formed property list");
}

QString tooDeep(int maxDepth) {
    return QStringLiteral("it nests arrays or dictionaries deeper than %1 levels").arg(maxDepth);
}

// --- XML form ---------------------------------------------------------------------------------

bool endsTagName(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '<' || c == '>';
}

// The position just past the first `marker` at or after `from`; -1 when there is none.
qsizetype skipPast(const QByteArray& bytes, qsizetype from, QByteArrayView marker) {
    const qsizetype found = bytes.indexOf(marker, from);
    return found < 0 ? -1 : found + marker.size();
}

// Follows the nesting of <array> and <dict> elements. Comments, processing instructions,
// CDATA sections and the document type are skipped the way the parser skips them; anything the
// parser would stop at is refused here too, so that no tag goes uncounted.
QString xmlViolation(const QByteArray& bytes, int maxDepth) {
    const QByteArrayView text(bytes);
    int depth = 0;
    qsizetype at = 0;
    while ((at = bytes.indexOf('<', at)) >= 0) {
        ++at;
        const QByteArrayView rest = text.sliced(at);
        if (rest.startsWith("!--")) {
            at = skipPast(bytes, at + 3, "-->");
        } else if (rest.startsWith("![CDATA[")) {
            at = skipPast(bytes, at + 8, "]]>");
        } else if (rest.startsWith("?")) {
            at = skipPast(bytes, at + 1, "?>");
        } else if (rest.startsWith("!DOCTYPE")) {
            const qsizetype subset = bytes.indexOf('[', at);
            const qsizetype close = bytes.indexOf('>', at);
            at = subset >= 0 && (close < 0 || subset < close) ? skipPast(bytes, subset, "]>")
                                                              : skipPast(bytes, at, ">");
        } else if (rest.startsWith("!")) {
            return malformed();
        } else {
            const bool closing = rest.startsWith("/");
            const qsizetype nameStart = at + (closing ? 1 : 0);
            qsizetype nameEnd = nameStart;
            while (nameEnd < text.size() && !endsTagName(text[nameEnd])) {
                ++nameEnd;
            }
            const qsizetype close = nameEnd < text.size() ? bytes.indexOf('>', nameEnd) : -1;
            const qsizetype nextOpen = bytes.indexOf('<', nameEnd);
            if (close < 0 || (nextOpen >= 0 && nextOpen < close)) {
                return malformed();
            }
            const bool empty = text[close - 1] == '/';
            QByteArrayView name = text.sliced(nameStart, nameEnd - nameStart);
            if (empty && name.endsWith('/')) {
                name.chop(1);
            }
            if (name == "array" || name == "dict") {
                if (closing) {
                    if (--depth < 0) {
                        return malformed();
                    }
                } else if (++depth > maxDepth) {
                    return tooDeep(maxDepth);
                } else if (empty) {
                    --depth;
                }
            }
            at = close + 1;
        }
        if (at < 0) {
            return malformed();
        }
    }
    return {};
}

// --- binary form ------------------------------------------------------------------------------

constexpr qsizetype kHeaderSize = 8; // "bplist00"
constexpr qsizetype kTrailerSize = 32;

quint64 bigEndian(QByteArrayView bytes, quint64 at, quint64 width) {
    quint64 value = 0;
    for (quint64 i = 0; i < width; ++i) {
        value = value << 8 | static_cast<uchar>(bytes[static_cast<qsizetype>(at + i)]);
    }
    return value;
}

// Where one object lies and which objects it refers to.
struct BinaryObject {
    quint64 length = 0;     // bytes taken by the object itself
    quint64 references = 0; // how many object references follow its header
    quint64 firstReference = 0;
    bool container = false; // an array, set or dictionary, even an empty one
};

// The objects of a binary property list, through its trailer and offset table. Every object
// is checked to lie within the object area before it is used.
class BinaryObjects {
public:
    explicit BinaryObjects(QByteArrayView bytes) : bytes_(bytes) {}

    bool readTrailer() {
        const quint64 size = static_cast<quint64>(bytes_.size());
        if (size < kHeaderSize + kTrailerSize) {
            return false;
        }
        const quint64 trailer = size - kTrailerSize;
        offsetSize_ = static_cast<uchar>(bytes_[static_cast<qsizetype>(trailer + 6)]);
        referenceSize_ = static_cast<uchar>(bytes_[static_cast<qsizetype>(trailer + 7)]);
        count_ = bigEndian(bytes_, trailer + 8, 8);
        root_ = bigEndian(bytes_, trailer + 16, 8);
        tableOffset_ = bigEndian(bytes_, trailer + 24, 8);
        return offsetSize_ >= 1 && offsetSize_ <= 8 && referenceSize_ >= 1 && referenceSize_ <= 8 &&
               count_ >= 1 && count_ <= size && root_ < count_ && tableOffset_ >= kHeaderSize &&
               tableOffset_ <= trailer && count_ * offsetSize_ <= trailer - tableOffset_;
    }

    quint64 count() const { return count_; }
    quint64 root() const { return root_; }

    std::optional<BinaryObject> object(quint64 index) const {
        const quint64 offset = bigEndian(bytes_, tableOffset_ + index * offsetSize_, offsetSize_);
        if (offset < kHeaderSize || offset >= tableOffset_) {
            return std::nullopt;
        }
        const uchar marker = static_cast<uchar>(bytes_[static_cast<qsizetype>(offset)]);
        const int type = marker >> 4;
        const int low = marker & 0xf;
        quint64 header = 1;
        quint64 count = static_cast<quint64>(low);
        const bool counted = type == 0x4 || type == 0x5 || type == 0x6 || type >= 0xa;
        if (counted && low == 0xf) {
            if (offset + 2 > tableOffset_) {
                return std::nullopt;
            }
            const uchar countMarker =
                static_cast<uchar>(bytes_[static_cast<qsizetype>(offset + 1)]);
            const quint64 width = quint64(1) << (countMarker & 0xf);
            if (countMarker >> 4 != 0x1 || width > 8 || offset + 2 + width > tableOffset_) {
                return std::nullopt;
            }
            count = bigEndian(bytes_, offset + 2, width);
            header = 2 + width;
        }
        if (count > static_cast<quint64>(bytes_.size())) {
            return std::nullopt;
        }
        BinaryObject object;
        quint64 payload = 0;
        switch (type) {
        case 0x0:
            break; // null, Booleans, fill
        case 0x1:
        case 0x2:
            payload = quint64(1) << low;
            break; // integer, real
        case 0x3:
            payload = 8;
            break; // date
        case 0x4:
        case 0x5:
            payload = count;
            break; // data, ASCII string
        case 0x6:
            payload = count * 2;
            break; // UTF-16 string
        case 0x8:
            payload = static_cast<quint64>(low) + 1;
            break; // UID
        case 0xa:
        case 0xc:
            object.references = count;
            break; // array, set
        case 0xd:
            object.references = count * 2;
            break; // dictionary: keys, values
        default:
            return std::nullopt;
        }
        object.container = type >= 0xa;
        payload += object.references * referenceSize_;
        object.firstReference = offset + header;
        object.length = header + payload;
        if (object.length > tableOffset_ - offset) {
            return std::nullopt;
        }
        return object;
    }

    quint64 reference(const BinaryObject& object, quint64 i) const {
        return bigEndian(bytes_, object.firstReference + i * referenceSize_, referenceSize_);
    }

private:
    QByteArrayView bytes_;
    quint64 offsetSize_ = 0;
    quint64 referenceSize_ = 0;
    quint64 count_ = 0;
    quint64 root_ = 0;
    quint64 tableOffset_ = 0;
};

// Walks the object graph from the root depth first with a stack of its own, at most
// `maxDepth` deep. Each object's height (containers on its longest path down) and expanded size
// are worked out once, however often it is referred to.
QString binaryViolation(const QByteArray& bytes, const PropertyListBounds& bounds) {
    BinaryObjects objects(bytes);
    if (!objects.readTrailer()) {
        return malformed();
    }
    constexpr quint8 unvisited = 0xff;
    constexpr quint8 onPath = 0xfe;
    // Sizes are kept in 32 bits, depths in 8.
    const quint64 sizeLimit = static_cast<quint64>(std::min<qint64>(bounds.maxBytes, 0x7fffffff));
    const int maxDepth = std::min(bounds.maxDepth, 0xf0);
    std::vector<quint8> heights(objects.count(), unvisited);
    std::vector<quint32> sizes(objects.count(), 0);

    struct Frame {
        quint64 index;
        BinaryObject object;
        quint64 next = 0;
        int childHeight = 0;
        quint64 size = 0;
    };
    std::vector<Frame> path;
    std::optional<BinaryObject> root = objects.object(objects.root());
    if (!root) {
        return malformed();
    }
    path.push_back({objects.root(), *root, 0, 0, root->length});
    heights[objects.root()] = onPath;
    while (!path.empty()) {
        Frame& frame = path.back();
        quint64 height = 0;
        quint64 size = 0;
        if (frame.next < frame.object.references) {
            const quint64 child = objects.reference(frame.object, frame.next++);
            if (child >= objects.count()) {
                return malformed();
            }
            if (heights[child] == onPath) {
                return QStringLiteral("it refers to itself");
            }
            if (heights[child] == unvisited) {
                const std::optional<BinaryObject> object = objects.object(child);
                if (!object) {
                    return malformed();
                }
                if (object->container) {
                    if (path.size() >= static_cast<size_t>(maxDepth)) {
                        return tooDeep(maxDepth);
                    }
                    heights[child] = onPath;
                    path.push_back({child, *object, 0, 0, object->length});
                    continue;
                }
                heights[child] = 0;
                sizes[child] = static_cast<quint32>(std::min(object->length, sizeLimit + 1));
            }
            height = heights[child];
            size = sizes[child];
        } else {
            // Every child is done: so is this object.
            height = static_cast<quint64>(frame.childHeight) + 1;
            size = frame.size;
            heights[frame.index] = static_cast<quint8>(height);
            sizes[frame.index] = static_cast<quint32>(size);
            path.pop_back();
            if (path.empty()) {
                break;
            }
        }
        if (height > static_cast<quint64>(maxDepth)) {
            return tooDeep(maxDepth);
        }
        Frame& parent = path.back();
        parent.childHeight = std::max(parent.childHeight, static_cast<int>(height));
        parent.size = std::min(parent.size + size, sizeLimit + 1);
        if (parent.size > sizeLimit) {
            return QStringLiteral("it would take more than %1 bytes once read").arg(sizeLimit);
        }
    }
    return {};
}

} // namespace

QString propertyListBoundsViolation(const QByteArray& bytes, const PropertyListBounds& bounds) {
    if (bytes.size() > bounds.maxBytes) {
        return QStringLiteral("it is larger than %1 bytes").arg(bounds.maxBytes);
    }
    return bytes.startsWith("bplist00") ? binaryViolation(bytes, bounds)
                                        : xmlViolation(bytes, bounds.maxDepth);
}

} // namespace nimbara
