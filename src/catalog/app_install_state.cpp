#include "catalog/app_install_state.h"

#include "core/decoding_error.h"
#include "core/json_reader.h"
#include "text/nimbara_copy.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace nimbara {

namespace {

constexpr std::array<QLatin1StringView, 5> kCaseNames = {
    QLatin1StringView("notInstalled"), QLatin1StringView("installing"),
    QLatin1StringView("installed"), QLatin1StringView("updateAvailable"),
    QLatin1StringView("failed")};

const QLatin1StringView kProgress("progress");
const QLatin1StringView kVersion("version");
const QLatin1StringView kInstalledVersion("installedVersion");
const QLatin1StringView kLatestVersion("latestVersion");
const QLatin1StringView kMessage("message");

// Whole percent, truncated toward zero; values the store never produces (outside 0...1, not
// finite) are held to 0...100. The fraction is first taken to millionths, so that a binary
// fraction just below its decimal value (0.29 is 0.28999...) counts as that value.
QString percent(double progress) {
    if (!std::isfinite(progress)) {
        return QStringLiteral("0");
    }
    const double millionths = std::round(std::clamp(progress, 0.0, 1.0) * 1e6);
    return QString::number(static_cast<int>(std::trunc(millionths / 1e4)));
}

} // namespace

double AppInstallState::progress() const {
    const auto* state = std::get_if<Installing>(&value_);
    return state ? state->progress : 0.0;
}

QString AppInstallState::version() const {
    const auto* state = std::get_if<Installed>(&value_);
    return state ? state->version : QString();
}

QString AppInstallState::installedVersion() const {
    const auto* state = std::get_if<UpdateAvailable>(&value_);
    return state ? state->installedVersion : QString();
}

QString AppInstallState::latestVersion() const {
    const auto* state = std::get_if<UpdateAvailable>(&value_);
    return state ? state->latestVersion : QString();
}

QString AppInstallState::message() const {
    const auto* state = std::get_if<Failed>(&value_);
    return state ? state->message : QString();
}

QString AppInstallState::label(NimbaraLocale locale) const {
    switch (kind()) {
    case Case::notInstalled:
        return NimbaraCopy::text(CopyKey::installNotInstalled, locale);
    case Case::installing:
        return NimbaraCopy::text(CopyKey::installInstalling, locale,
                                 {{QStringLiteral("progress"), percent(progress())}});
    case Case::installed:
        return NimbaraCopy::text(CopyKey::installInstalled, locale,
                                 {{QStringLiteral("version"), version()}});
    case Case::updateAvailable:
        return NimbaraCopy::text(CopyKey::installUpdateAvailable, locale,
                                 {{QStringLiteral("installed"), installedVersion()},
                                  {QStringLiteral("latest"), latestVersion()}});
    case Case::failed:
        return NimbaraCopy::text(CopyKey::installFailed, locale);
    }
    return {};
}

QJsonObject AppInstallState::toJson() const {
    QJsonObject payload;
    switch (kind()) {
    case Case::notInstalled:
        break;
    case Case::installing:
        payload.insert(kProgress, progress());
        break;
    case Case::installed:
        payload.insert(kVersion, version());
        break;
    case Case::updateAvailable:
        payload.insert(kInstalledVersion, installedVersion());
        payload.insert(kLatestVersion, latestVersion());
        break;
    case Case::failed:
        payload.insert(kMessage, message());
        break;
    }
    return QJsonObject{{kCaseNames[static_cast<std::size_t>(kind())], payload}};
}

AppInstallState AppInstallState::fromJson(const QJsonObject& json) {
    std::optional<std::size_t> found;
    int count = 0;
    for (std::size_t i = 0; i < kCaseNames.size(); ++i) {
        if (json.contains(kCaseNames[i])) {
            found = i;
            ++count;
        }
    }
    if (count != 1) {
        throw DecodingError(DecodingError::Kind::typeMismatch, QString(),
                            QStringLiteral("Invalid number of keys found, expected one."));
    }

    const JsonReader outer(json);
    const QLatin1StringView caseName = kCaseNames[*found];
    const JsonPath payloadPath = outer.path().member(caseName);
    const JsonReader payload(outer.requiredObject(caseName), payloadPath);
    switch (static_cast<Case>(*found)) {
    case Case::notInstalled:
        return notInstalled();
    case Case::installing:
        return installing(payload.requiredNumber(kProgress));
    case Case::installed:
        return installed(payload.requiredString(kVersion));
    case Case::updateAvailable:
        return updateAvailable(payload.requiredString(kInstalledVersion),
                               payload.requiredString(kLatestVersion));
    case Case::failed:
        return failed(payload.requiredString(kMessage));
    }
    return {};
}

} // namespace nimbara
