#pragma once

#include "services/login_item_service_adapting.h"

#include <QString>

namespace nimbara {

// Launch at login through the XDG autostart entry $XDG_CONFIG_HOME/autostart/nimbara.desktop,
// which desktop sessions start when the user logs in.
//
// The launcher counts as registered while the entry exists and its [Desktop Entry] group says
// neither Hidden=true nor X-GNOME-Autostart-enabled=false. Registering (re)writes the entry
// atomically, replacing one that was hidden; unregistering removes it. Sessions never ask the
// user to approve an entry, so requiresApproval does not occur.
class XdgAutostartLoginItemAdapter : public LoginItemServiceAdapting {
public:
    // `executable` is what the entry starts; by default the running launcher's executable.
    explicit XdgAutostartLoginItemAdapter(QString executable = {});

    // $XDG_CONFIG_HOME/autostart, read from the environment at each call.
    static QString autostartFolder();
    static QString entryPath();

    // The entry's text for `executable`: a valid desktop entry whose Exec starts it.
    static QByteArray entryContent(const QString& executable);
    // `executable` as the one word of an Exec value, quoted and escaped so that a session that
    // reads the entry gets exactly `executable` back.
    static QString execValue(const QString& executable);

    // Creates the autostart folder and shows it in the file manager, so the user can see what
    // starts at login. Failures are logged; nothing is thrown.
    static void openAutostartFolder();

    LoginItemServiceStatus status() const override;
    void registerItem() override;
    void unregisterItem() override;

private:
    QString executable_;
};

} // namespace nimbara
