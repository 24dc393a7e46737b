#include "platform/property_list_reader.h"

#include <QFile>
#include <array>
#include <cerrno>
#include <fcntl.h>
#include <plist/plist.h>
#include <sys/stat.h>
#include <unistd.h>

namespace nimbara {

namespace {

QString systemError(const char* what) {
    return QStringLiteral("%1: %2").arg(QLatin1StringView(what), qt_error_string(errno));
}

QString tooLarge(qint64 maxBytes) {
    return QStringLiteral("it is larger than %1 bytes").arg(maxBytes);
}

class OpenFile {
public:
    explicit OpenFile(int descriptor) : descriptor_(descriptor) {}
    ~OpenFile() {
        if (descriptor_ >= 0) {
            ::close(descriptor_);
        }
    }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;
    int descriptor() const { return descriptor_; }

private:
    int descriptor_;
};

} // namespace

void freePropertyListNode(void* node) {
    if (node != nullptr) {
        plist_free(node);
    }
}

ParsedPropertyList parsePropertyList(const QByteArray& bytes, const PropertyListBounds& bounds) {
    ParsedPropertyList result;
    result.problem = propertyListBoundsViolation(bytes, bounds);
    if (!result.problem.isEmpty()) {
        return result;
    }
    plist_t root = nullptr;
    plist_from_memory(bytes.constData(), static_cast<uint32_t>(bytes.size()), &root);
    PropertyListNode parsed(root, &freePropertyListNode);
    if (parsed == nullptr) {
        result.problem = QStringLiteral("it is not a property list");
    } else if (plist_get_node_type(parsed.get()) != PLIST_DICT) {
        result.problem = QStringLiteral("its top level is not a dictionary");
    } else {
        result.dictionary = std::move(parsed);
    }
    return result;
}

PropertyListFile readPropertyListFile(const QString& path, const PropertyListBounds& bounds) {
    PropertyListFile file;
    const QByteArray name = QFile::encodeName(path);
    struct stat status {};
    if (::stat(name.constData(), &status) != 0) {
        if (errno != ENOENT) {
            file.state = PropertyListFile::State::unreadable;
            file.problem = systemError("cannot examine it");
        }
        return file;
    }
    // Opening a FIFO or a device could wait or act on the device: only regular files are
    // opened, and without blocking, in case the path changes in between.
    const auto notRegular = [&file] {
        file.state = PropertyListFile::State::notRegularFile;
        file.problem = QStringLiteral("it is not a regular file");
        return std::move(file);
    };
    if (!S_ISREG(status.st_mode)) {
        return notRegular();
    }
    const OpenFile opened(::open(name.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC));
    file.state = PropertyListFile::State::unreadable;
    if (opened.descriptor() < 0) {
        file.problem = systemError("cannot open it");
        return file;
    }
    if (::fstat(opened.descriptor(), &status) != 0 || !S_ISREG(status.st_mode)) {
        return notRegular();
    }
    if (status.st_size > bounds.maxBytes) {
        file.problem = tooLarge(bounds.maxBytes);
        return file;
    }
    QByteArray bytes;
    std::array<char, 64 * 1024> chunk{};
    for (;;) {
        const ssize_t count = ::read(opened.descriptor(), chunk.data(), chunk.size());
        if (count < 0 && errno == EINTR) {
            continue;
        }
        if (count < 0) {
            file.problem = systemError("cannot read it");
            return file;
        }
        if (count == 0) {
            break;
        }
        bytes.append(chunk.data(), static_cast<qsizetype>(count));
        if (bytes.size() > bounds.maxBytes) { // it grew while being read
            file.problem = tooLarge(bounds.maxBytes);
            return file;
        }
    }
    if (bytes.isEmpty()) {
        file.state = PropertyListFile::State::empty;
        return file;
    }
    ParsedPropertyList parsed = parsePropertyList(bytes, bounds);
    file.problem = parsed.problem;
    if (parsed.dictionary != nullptr) {
        file.state = PropertyListFile::State::read;
        file.dictionary = std::move(parsed.dictionary);
    }
    return file;
}

} // namespace nimbara
