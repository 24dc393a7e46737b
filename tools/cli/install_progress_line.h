#pragma once

#include "catalog/app_manifest_item.h"

#include <QObject>
#include <QString>

namespace nimbara {
class LauncherStore;
}

namespace nimbara::cli {

class CliOutput;

// Shows on standard error how one install of `app` fares while the object lives, from the
// store's install state and download figures. On a terminal it is one line redrawn in place
// ("Downloading Lumen Notes 42% · 1.2 MB of 3 MB · …") and cleared at the end; elsewhere (a pipe,
// a file) only finished steps get a line of their own, so logs stay short.
class InstallProgressLine : public QObject {
    Q_OBJECT

public:
    InstallProgressLine(const LauncherStore& store, AppManifestItem app, const CliOutput& output,
                        bool terminal);
    ~InstallProgressLine() override;

private:
    void refresh();

    const LauncherStore& store_;
    AppManifestItem app_;
    const CliOutput& output_;
    bool terminal_;
    QString shown_;
    bool downloadSeen_ = false;
    bool downloadReported_ = false;
};

} // namespace nimbara::cli
