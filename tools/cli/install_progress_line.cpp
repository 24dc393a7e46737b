#include "install_progress_line.h"

#include "cli_output.h"
#include "presentation/transfer_text.h"
#include "store/launcher_store.h"

#include <cmath>

namespace nimbara::cli {

namespace {

using namespace Qt::StringLiterals;

// Carriage return, and erase to the end of the line: the next text replaces the shown one.
constexpr char16_t kRedraw[] = u"\r\x1b[K";

} // namespace

InstallProgressLine::InstallProgressLine(const LauncherStore& store, AppManifestItem app,
                                         const CliOutput& output, bool terminal)
    : store_(store), app_(std::move(app)), output_(output), terminal_(terminal) {
    connect(&store, &LauncherStore::runningInstallsChanged, this, &InstallProgressLine::refresh);
    connect(&store, &LauncherStore::installStatesChanged, this, &InstallProgressLine::refresh);
    refresh();
}

InstallProgressLine::~InstallProgressLine() {
    if (terminal_ && !shown_.isEmpty()) {
        output_.progress(QString::fromUtf16(kRedraw));
    }
}

void InstallProgressLine::refresh() {
    const AppInstallState state = store_.state(app_.id);
    const std::optional<InstallTransfer> transfer = store_.installTransfer(app_.id);
    const bool installing = state.kind() == AppInstallState::Case::installing;
    downloadSeen_ = downloadSeen_ || transfer.has_value();
    if (!terminal_) {
        // The download is over once its figures are gone (or the install has ended).
        if (downloadSeen_ && !transfer && !downloadReported_ &&
            state.kind() != AppInstallState::Case::failed) {
            downloadReported_ = true;
            output_.complain(CopyKey::cliDownloaded, {{u"app"_s, app_.name}});
        }
        return;
    }
    if (!installing) {
        return;
    }
    const CopyValues values{
        {u"app"_s, app_.name},
        {u"progress"_s, QString::number(static_cast<int>(std::floor(state.progress() * 100)))}};
    QString text;
    if (transfer) {
        text = output_.text(CopyKey::cliDownloading, values);
        const QString detail = downloadDetail(transfer->receivedBytes, transfer->totalBytes,
                                              transfer->bytesPerSecond, output_.locale());
        if (!detail.isEmpty()) {
            text += u" · "_s + detail;
        }
    } else {
        text = output_.text(CopyKey::cliInstallingProgress, values);
    }
    if (text != shown_) {
        shown_ = text;
        output_.progress(QString::fromUtf16(kRedraw) + text);
    }
}

} // namespace nimbara::cli
