#pragma once

#include "text/nimbara_locale.h"

#include <QJsonObject>
#include <QString>
#include <variant>

namespace nimbara {

// The install state of one catalog app, as every screen shows it. A plain value: two states
// are equal when they are the same case with equal payloads.
class AppInstallState {
public:
    // Cases in declaration order (also the order of the JSON case keys).
    enum class Case { notInstalled, installing, installed, updateAvailable, failed };

    // The default state is notInstalled: an app without an entry counts as not installed.
    AppInstallState() = default;

    static AppInstallState notInstalled() { return {}; }
    static AppInstallState installing(double progress) {
        return AppInstallState(Installing{progress});
    }
    static AppInstallState installed(QString version) {
        return AppInstallState(Installed{std::move(version)});
    }
    static AppInstallState updateAvailable(QString installedVersion, QString latestVersion) {
        return AppInstallState(
            UpdateAvailable{std::move(installedVersion), std::move(latestVersion)});
    }
    static AppInstallState failed(QString message) {
        return AppInstallState(Failed{std::move(message)});
    }

    Case kind() const noexcept { return static_cast<Case>(value_.index()); }

    // Payloads; each is empty (or 0) for cases that do not carry it.
    double progress() const;          // installing
    QString version() const;          // installed
    QString installedVersion() const; // updateAvailable
    QString latestVersion() const;    // updateAvailable
    QString message() const;          // failed

    // The short display text, e.g. "Installing 42%" or "1.0 -> 1.1".
    QString label(NimbaraLocale locale) const;

    // {"<case>": {<payload fields>}}; notInstalled is written with an empty object.
    QJsonObject toJson() const;
    // Reads the JSON form; throws DecodingError when the object does not hold exactly one case
    // key ("Invalid number of keys found, expected one.") or a payload field is missing or
    // mistyped. Keys that are not case names are ignored.
    static AppInstallState fromJson(const QJsonObject& json);

    bool operator==(const AppInstallState&) const = default;

private:
    struct NotInstalled {
        bool operator==(const NotInstalled&) const = default;
    };
    struct Installing {
        double progress = 0;
        bool operator==(const Installing&) const = default;
    };
    struct Installed {
        QString version;
        bool operator==(const Installed&) const = default;
    };
    struct UpdateAvailable {
        QString installedVersion;
        QString latestVersion;
        bool operator==(const UpdateAvailable&) const = default;
    };
    struct Failed {
        QString message;
        bool operator==(const Failed&) const = default;
    };
    using Value = std::variant<NotInstalled, Installing, Installed, UpdateAvailable, Failed>;

    explicit AppInstallState(Value value) : value_(std::move(value)) {}

    Value value_;
};

} // namespace nimbara
