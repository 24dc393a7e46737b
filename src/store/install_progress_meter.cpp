#include "store/install_progress_meter.h"

#include <algorithm>
#include <cmath>

namespace nimbara {

namespace {

// Where the download ends and each later phase stands.
constexpr double kDownloaded = 0.75;
constexpr double kChecking = 0.77;
constexpr double kUnpacking = 0.80;
constexpr double kValidating = 0.88;
constexpr double kPlacing = 0.95;
// A download of unknown size has come 63% of its way after this many bytes.
constexpr double kUnknownSizeScale = 20.0 * 1000 * 1000;

} // namespace

InstallProgressMeter::InstallProgressMeter(qint64 startedAt) : lastChange_(startedAt) {}

double InstallProgressMeter::fractionFor(const InstallProgress& report) {
    using Phase = InstallProgress::Phase;
    switch (report.phase) {
    case Phase::downloading: {
        const double received = double(std::max<qint64>(report.receivedBytes, 0));
        const double done = report.totalBytes && *report.totalBytes > 0
                                ? std::min(1.0, received / double(*report.totalBytes))
                                : 1.0 - std::exp(-received / kUnknownSizeScale);
        return kStart + (kDownloaded - kStart) * done;
    }
    case Phase::checking:
        return kChecking;
    case Phase::unpacking:
        return kUnpacking;
    case Phase::validating:
        return kValidating;
    case Phase::placing:
        return kPlacing;
    }
    return kStart;
}

bool InstallProgressMeter::take(const InstallProgress& report, qint64 now) {
    phase_ = report.phase;
    const bool downloading = report.phase == InstallProgress::Phase::downloading;
    if (downloading && !downloadStart_) {
        downloadStart_ = std::pair(now, report.receivedBytes);
    }
    if (now - lastChange_ < kMinimumInterval) {
        return false;
    }
    const double fraction = std::min(kCap, std::max(fraction_, fractionFor(report)));
    std::optional<InstallTransfer> transfer;
    if (downloading) {
        transfer = InstallTransfer{report.receivedBytes, report.totalBytes, std::nullopt};
        const auto [since, sinceBytes] = *downloadStart_;
        if (now > since) {
            transfer->bytesPerSecond = std::max(0.0, double(report.receivedBytes - sinceBytes) *
                                                         1000.0 / double(now - since));
        }
    }
    if (fraction == fraction_ && transfer == transfer_) {
        return false;
    }
    fraction_ = fraction;
    transfer_ = std::move(transfer);
    lastChange_ = now;
    return true;
}

} // namespace nimbara
