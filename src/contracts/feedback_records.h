#pragma once

#include <QLatin1StringView>
#include <QString>
#include <QUrl>
#include <optional>

namespace nimbara {

// The kind of a feedback report; the wire values are the case names.
enum class FeedbackType { bug, idea, improvement, other };

// Context sent with every feedback report.
struct FeedbackDiagnostics {
    QString macOSVersion;     // running system, always major.minor.patch
    QString launcherVersion;  // the launcher's CFBundleShortVersionString, or the built version
    QString locale;           // "en", "pl" or "de"
    QString catalogLifecycle; // the lifecycle kind's name
    int visibleAppCount = 0;
    int publishedAppCount = 0;
    int comingSoonAppCount = 0;
    std::optional<QString> selectedAppId;
    std::optional<QString> selectedAppName;
    std::optional<QString> selectedAppVersion;

    bool operator==(const FeedbackDiagnostics&) const = default;
};

// One feedback report as it is sent.
struct FeedbackSubmissionRequest {
    QString clientRequestId; // a fresh upper-case UUID per submission
    FeedbackType type = FeedbackType::bug;
    QString title;       // trimmed
    QString description; // trimmed
    std::optional<QString> appId;
    FeedbackDiagnostics diagnostics;

    bool operator==(const FeedbackSubmissionRequest&) const = default;
};

// The issue the feedback server created.
struct FeedbackIssue {
    QString id;
    std::optional<QString> identifier; // a short human-readable reference, e.g. "FB-12"
    std::optional<QUrl> url;

    bool operator==(const FeedbackIssue&) const = default;
};

// The server's answer to a successful submission.
struct FeedbackSubmissionResponse {
    bool ok = false;
    FeedbackIssue issue;
    std::optional<QString> message;

    bool operator==(const FeedbackSubmissionResponse&) const = default;
};

// The feedback sheet's view of a submission.
struct FeedbackSubmissionState {
    enum class Case { idle, submitting, submitted, failed };

    Case kind = Case::idle;
    FeedbackIssue issue; // submitted
    QString message;     // failed

    static FeedbackSubmissionState idle() { return {}; }
    static FeedbackSubmissionState submitting() { return {Case::submitting, {}, {}}; }
    static FeedbackSubmissionState submitted(FeedbackIssue issue) {
        return {Case::submitted, std::move(issue), {}};
    }
    static FeedbackSubmissionState failed(QString message) {
        return {Case::failed, {}, std::move(message)};
    }

    bool operator==(const FeedbackSubmissionState&) const = default;
};

// The wire value of a feedback type: "bug", "idea", "improvement", "other".
QLatin1StringView feedbackTypeRawValue(FeedbackType type);

} // namespace nimbara
