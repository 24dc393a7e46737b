#pragma once

#include <QByteArray>
#include <QString>
#include <QTcpSocket>

namespace nimbara::test {

// Types into a program that runs on Qt's VNC platform, as a remote user would: an RFB client
// that connects to the program's port, asks for no authentication and sends key events.
class VncKeyboard {
public:
    // False, with the reason in problem(), when the handshake did not complete.
    bool connect(quint16 port);
    const QString& problem() const { return problem_; }

    // Presses and releases `keysym`, with Control held when `control`.
    void press(quint32 keysym, bool control = false);
    // Presses and releases one key per character of plain ASCII text.
    void type(const QString& text);

    static constexpr quint32 kReturn = 0xff0d;
    static constexpr quint32 kControl = 0xffe3;

private:
    bool fail(const QString& problem);
    QByteArray read(qsizetype count);
    void send(quint32 keysym, bool down);

    QTcpSocket socket_;
    QString problem_;
};

} // namespace nimbara::test
