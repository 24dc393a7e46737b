#pragma once

#include "presentation/sidebar_section.h"

#include <QObject>
#include <QString>
#include <QtQmlIntegration>

// Small records the view models hand to the screens as QML values.
namespace nimbara {

// One line of the detail screen's metadata panel.
struct MetadataRow {
    Q_GADGET
    QML_VALUE_TYPE(metadataRow)
    Q_PROPERTY(QString label MEMBER label)
    Q_PROPERTY(QString value MEMBER value)

public:
    QString label;
    QString value;
};

// One entry of an app's release notes, with the app's accent (raw name) its version is drawn in.
struct ReleaseNoteRow {
    Q_GADGET
    QML_VALUE_TYPE(releaseNoteRow)
    Q_PROPERTY(QString version MEMBER version)
    Q_PROPERTY(QString date MEMBER date)
    Q_PROPERTY(QString text MEMBER text)
    Q_PROPERTY(QString accent MEMBER accent)

public:
    QString version;
    QString date;
    QString text;
    QString accent;
};

// One navigation entry of the sidebar; the settings row opens the settings window.
struct SidebarRow {
    Q_GADGET
    QML_VALUE_TYPE(sidebarRow)
    Q_PROPERTY(nimbara::SidebarSections::SidebarSection section MEMBER section)
    Q_PROPERTY(QString title MEMBER title)
    Q_PROPERTY(QString symbol MEMBER symbol)
    Q_PROPERTY(bool showsCount MEMBER showsCount)
    Q_PROPERTY(bool opensSettings MEMBER opensSettings)

public:
    SidebarSection section = SidebarSection::Home;
    QString title;
    QString symbol;
    bool showsCount = false;
    bool opensSettings = false;
};

// The texts of the pending announcement (version empty when it has none).
struct AnnouncementText {
    Q_GADGET
    QML_VALUE_TYPE(announcementText)
    Q_PROPERTY(QString title MEMBER title)
    Q_PROPERTY(QString body MEMBER body)
    Q_PROPERTY(QString version MEMBER version)

public:
    QString title;
    QString body;
    QString version;
};

} // namespace nimbara
