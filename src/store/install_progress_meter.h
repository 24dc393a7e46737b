#pragma once

#include "contracts/collaborator_records.h"

#include <QtGlobal>
#include <optional>
#include <utility>

namespace nimbara {

// How a running download fares, as the screens show it.
struct InstallTransfer {
    qint64 receivedBytes = 0;
    std::optional<qint64> totalBytes;
    // The average since the download's first report; none until time has passed.
    std::optional<double> bytesPerSecond;

    bool operator==(const InstallTransfer&) const = default;
};

// Turns one install's reports into the fraction done that the store publishes: it starts at
// kStart, never goes back, stays at most kCap until the install ends, and changes at most once
// per kMinimumInterval milliseconds (reports in between are dropped; the next one counts in
// full). The download takes most of the way; without a known size it still moves, ever more
// slowly, and the later phases take fixed steps.
class InstallProgressMeter {
public:
    static constexpr double kStart = 0.04;
    static constexpr double kCap = 0.99;
    static constexpr qint64 kMinimumInterval = 100;

    // `startedAt`: when the install began, which counts as the first change.
    explicit InstallProgressMeter(qint64 startedAt);

    // Takes one report made at `now` (milliseconds of a steady clock). True when the published
    // fraction or transfer changed.
    bool take(const InstallProgress& report, qint64 now);

    double fraction() const { return fraction_; }
    // While downloading: the download's figures as last published.
    const std::optional<InstallTransfer>& transfer() const { return transfer_; }
    // The phase of the latest report, published or not.
    InstallProgress::Phase phase() const { return phase_; }

    // The fraction a report stands for on its own.
    static double fractionFor(const InstallProgress& report);

private:
    double fraction_ = kStart;
    std::optional<InstallTransfer> transfer_;
    InstallProgress::Phase phase_ = InstallProgress::Phase::downloading;
    qint64 lastChange_;
    // The first download report: when, and how many bytes had arrived.
    std::optional<std::pair<qint64, qint64>> downloadStart_;
};

} // namespace nimbara
