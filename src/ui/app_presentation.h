#pragma once

#include "catalog/app_manifest_item.h"
#include "text/nimbara_locale.h"

#include <QObject>
#include <QString>
#include <QtQmlIntegration>

namespace nimbara {

// The fields of an app that screens draw: the accent as its raw name, the icon address empty
// without one, the release status as its label in the store's locale. Default: no app.
struct AppPresentation {
    Q_GADGET
    QML_VALUE_TYPE(appPresentation)
    Q_PROPERTY(QString id MEMBER id)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(QString tagline MEMBER tagline)
    Q_PROPERTY(QString category MEMBER category)
    Q_PROPERTY(QString description MEMBER description)
    Q_PROPERTY(QString privacyNote MEMBER privacyNote)
    Q_PROPERTY(QString accent MEMBER accent)
    Q_PROPERTY(QString symbolName MEMBER symbolName)
    Q_PROPERTY(QString iconUrl MEMBER iconUrl)
    Q_PROPERTY(QString releaseStatus MEMBER releaseStatus)

public:
    QString id;
    QString name;
    QString tagline;
    QString category;
    QString description;
    QString privacyNote;
    QString accent;
    QString symbolName;
    QString iconUrl;
    QString releaseStatus;

    bool operator==(const AppPresentation&) const = default;
};

AppPresentation appPresentation(const AppManifestItem& app, NimbaraLocale locale);

} // namespace nimbara
