#include "vnc_keyboard.h"

#include <QtEndian>

namespace nimbara::test {

namespace {

// Generous guard against a hung peer; nothing depends on how fast it answers.
constexpr int kWaitMs = 30000;

quint32 bigEndian32(const QByteArray& bytes) {
    return qFromBigEndian<quint32>(bytes.constData());
}

} // namespace

bool VncKeyboard::fail(const QString& problem) {
    problem_ = problem;
    return false;
}

QByteArray VncKeyboard::read(qsizetype count) {
    QByteArray bytes;
    while (bytes.size() < count) {
        if (socket_.bytesAvailable() == 0 && !socket_.waitForReadyRead(kWaitMs))
            return {};
        bytes += socket_.read(count - bytes.size());
    }
    return bytes;
}

bool VncKeyboard::connect(quint16 port) {
    socket_.connectToHost(QStringLiteral("127.0.0.1"), port);
    if (!socket_.waitForConnected(kWaitMs))
        return fail(socket_.errorString());
    // The server names its protocol version; the client answers with the same one.
    const QByteArray version = read(12);
    if (!version.startsWith("RFB 003."))
        return fail(QStringLiteral("not an RFB server: ") + QString::fromLatin1(version));
    socket_.write(version);
    const int minor = version.mid(8, 3).toInt();
    if (minor < 7) {
        // The server decides: 1 is no authentication.
        if (const QByteArray type = read(4); type.size() != 4 || bigEndian32(type) != 1)
            return fail(QStringLiteral("the server asks for authentication"));
    } else {
        const QByteArray count = read(1);
        const QByteArray types = count.isEmpty() ? QByteArray() : read(quint8(count.at(0)));
        if (!types.contains('\x01'))
            return fail(QStringLiteral("the server offers no access without authentication"));
        socket_.write(QByteArray(1, '\x01'));
        if (minor >= 8) {
            if (const QByteArray result = read(4); result.size() != 4 || bigEndian32(result) != 0)
                return fail(QStringLiteral("the server refused the session"));
        }
    }
    socket_.write(QByteArray(1, '\x01')); // share the desktop
    // Width, height, pixel format, then the desktop's name.
    const QByteArray init = read(24);
    if (init.size() != 24 ||
        read(bigEndian32(init.right(4))).size() != qsizetype(bigEndian32(init.right(4))))
        return fail(QStringLiteral("no server initialisation arrived"));
    return true;
}

void VncKeyboard::send(quint32 keysym, bool down) {
    QByteArray event(8, '\0');
    event[0] = 4; // KeyEvent
    event[1] = down ? 1 : 0;
    qToBigEndian(keysym, event.data() + 4);
    socket_.write(event);
    socket_.waitForBytesWritten(kWaitMs);
}

void VncKeyboard::press(quint32 keysym, bool control) {
    if (control)
        send(kControl, true);
    send(keysym, true);
    send(keysym, false);
    if (control)
        send(kControl, false);
}

void VncKeyboard::type(const QString& text) {
    for (const QChar ch : text)
        press(ch.unicode());
}

} // namespace nimbara::test
