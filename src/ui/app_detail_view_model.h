#pragma once

#include "catalog/app_manifest_item.h"
#include "presentation/detail_rules.h"
#include "ui/app_presentation.h"
#include "ui/screen_records.h"
#include "ui/store_view_model.h"

#include <QStringList>
#include <QVariantList>
#include <optional>

namespace nimbara {

// The detail column: the store's selected app, its install state and the one action that moves
// it on, its metadata, release notes and privacy note. Follows the store as installs run.
class AppDetailViewModel : public nimbara::StoreViewModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(bool hasApp READ hasApp NOTIFY changed)
    // Empty without an app.
    Q_PROPERTY(nimbara::AppPresentation app READ app NOTIFY changed)
    Q_PROPERTY(QString stateLine READ stateLine NOTIFY changed)
    Q_PROPERTY(QString actionDetail READ actionDetail NOTIFY changed)
    Q_PROPERTY(QString primaryTitle READ primaryTitle NOTIFY changed)
    Q_PROPERTY(
        nimbara::ButtonVariants::ButtonVariant primaryVariant READ primaryVariant NOTIFY changed)
    Q_PROPERTY(QString primarySymbol READ primarySymbol NOTIFY changed)
    Q_PROPERTY(bool primaryEnabled READ primaryEnabled NOTIFY changed)
    Q_PROPERTY(bool installing READ installing NOTIFY changed)
    Q_PROPERTY(double progress READ progress NOTIFY changed)
    // The running install can still be cancelled.
    Q_PROPERTY(bool canCancel READ canCancel NOTIFY changed)
    Q_PROPERTY(bool showsRemove READ showsRemove NOTIFY changed)
    Q_PROPERTY(bool removeEnabled READ removeEnabled NOTIFY changed)
    Q_PROPERTY(bool showsMetadata READ showsMetadata NOTIFY changed)
    // MetadataRow values in display order.
    Q_PROPERTY(QVariantList metadataRows READ metadataRows NOTIFY changed)
    Q_PROPERTY(QStringList tags READ tags NOTIFY changed)
    // ReleaseNoteRow values in catalog order.
    Q_PROPERTY(QVariantList releaseNotes READ releaseNotes NOTIFY changed)
    // "Roll back to 1.4.1" while the app's kept previous copy can be put back; else empty.
    Q_PROPERTY(QString rollbackTitle READ rollbackTitle NOTIFY changed)
    Q_PROPERTY(QString removeConfirmTitle READ removeConfirmTitle NOTIFY changed)
    Q_PROPERTY(QString removeConfirmBody READ removeConfirmBody NOTIFY changed)

public:
    explicit AppDetailViewModel(QObject* parent = nullptr);

    bool hasApp() const { return app_.has_value(); }
    AppPresentation app() const;
    QString stateLine() const;
    QString actionDetail() const;
    QString primaryTitle() const;
    ButtonVariant primaryVariant() const;
    QString primarySymbol() const;
    bool primaryEnabled() const;
    bool installing() const;
    double progress() const;
    bool canCancel() const;
    bool showsRemove() const;
    bool removeEnabled() const;
    bool showsMetadata() const;
    QVariantList metadataRows() const;
    QStringList tags() const;
    QVariantList releaseNotes() const;
    QString rollbackTitle() const;
    QString removeConfirmTitle() const;
    QString removeConfirmBody() const;

    // Runs the primary action of the app's current state: reload the catalog, install, update
    // or open (nothing while installing).
    Q_INVOKABLE void performPrimaryAction();
    // Asks the shown app's running install or update to stop.
    Q_INVOKABLE void cancelInstall();
    // Puts the shown app back to its kept previous copy.
    Q_INVOKABLE void rollBack();
    // The confirmed removal of `appID`; an app's data is never deleted from here.
    Q_INVOKABLE void confirmRemoval(const QString& appID);

Q_SIGNALS:
    void changed();

protected:
    void observe(LauncherStore& store) override;
    void refresh() override;

private:
    void restate();
    NimbaraLocale locale() const;

    std::optional<AppManifestItem> app_;
};

} // namespace nimbara
