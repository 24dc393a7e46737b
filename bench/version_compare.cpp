// Measures compareVersions on a mixed set of version pairs against a baseline of the same
// pairs parsed and compared with QVersionNumber (Qt's own, much simpler version ordering).
#include "catalog/version_order.h"

#include <QElapsedTimer>
#include <QStringList>
#include <QTextStream>
#include <QVersionNumber>
#include <algorithm>
#include <cstdio>

using namespace nimbara;

namespace {

QStringList mixedVersions() {
    QStringList versions;
    const QStringList pre = {QString(),
                             QStringLiteral("-beta"),
                             QStringLiteral("-beta.2"),
                             QStringLiteral("-rc.11"),
                             QStringLiteral("-RC1"),
                             QStringLiteral("-alpha.beta-3")};
    const QStringList build = {QString(), QStringLiteral("+build.7")};
    for (int major = 0; major < 4; ++major) {
        for (int minor = 0; minor < 12; minor += 3) {
            for (const QString& p : pre) {
                for (const QString& b : build) {
                    versions << QStringLiteral("%1.%2.%3%4%5")
                                    .arg(major)
                                    .arg(minor)
                                    .arg(minor % 5)
                                    .arg(p, b);
                }
            }
        }
    }
    versions << QStringLiteral("ver2.0") << QStringLiteral("1.x") << QString()
             << QStringLiteral("1..2") << QStringLiteral("2026.05.03");
    return versions;
}

template <typename F> double bestOf(int rounds, F&& run) {
    double best = 1e300;
    for (int r = 0; r < rounds; ++r) {
        QElapsedTimer timer;
        timer.start();
        run();
        best = std::min(best, static_cast<double>(timer.nsecsElapsed()) / 1e9);
    }
    return best;
}

} // namespace

int main() {
    const QStringList versions = mixedVersions();
    constexpr long long comparisons = 1'000'000;
    const auto n = versions.size();

    long long sink = 0;
    const double ours = bestOf(5, [&] {
        for (long long i = 0; i < comparisons; ++i) {
            sink += static_cast<int>(compareVersions(versions[i % n], versions[(i * 7 + 3) % n]));
        }
    });
    const double baseline = bestOf(5, [&] {
        for (long long i = 0; i < comparisons; ++i) {
            sink += QVersionNumber::compare(QVersionNumber::fromString(versions[i % n]),
                                            QVersionNumber::fromString(versions[(i * 7 + 3) % n]));
        }
    });

    QTextStream out(stdout);
    out << "inputs: " << n << " distinct versions, " << comparisons << " comparisons (checksum "
        << sink << ")\n";
    out << "compareVersions: " << ours << " s, " << qRound64(comparisons / ours)
        << " comparisons/s (target >= 1000000)\n";
    out << "QVersionNumber baseline: " << baseline << " s, " << qRound64(comparisons / baseline)
        << " comparisons/s\n";
    out << "ratio: " << ours / baseline << "\n";
    return 0;
}
