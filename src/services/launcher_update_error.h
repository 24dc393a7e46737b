#pragma once

#include "core/error.h"

#include <QStringList>

namespace nimbara {

// Why the launcher could not check for or install an update of itself. Descriptions are fixed
// English texts; the update dialog shows them as the reason of its own localised sentence.
class LauncherUpdateError : public Error {
public:
    enum class Case {
        insecureFeed,
        feedUnavailable,
        emptyFeed,
        malformedFeed,
        noUsableItem,
        notInAppBundle,
    };

    // "The update feed must be an https address: <url>"
    static LauncherUpdateError insecureFeed(const QString& url);
    // "The update feed answered with HTTP status <status>."
    static LauncherUpdateError feedUnavailable(int status);
    // "The update feed is empty."
    static LauncherUpdateError emptyFeed();
    // "The update feed could not be read: <detail>"
    static LauncherUpdateError malformedFeed(const QString& detail);
    // "The update feed lists no usable update (<reasons joined by "; ">)."
    static LauncherUpdateError noUsableItem(const QStringList& reasons);
    // "This copy of Nimbara does not run from an app bundle, so it cannot replace itself."
    static LauncherUpdateError notInAppBundle();

    Case kind() const noexcept { return kind_; }

private:
    LauncherUpdateError(Case kind, const QString& description, const QString& payload);

    Case kind_;
};

} // namespace nimbara
