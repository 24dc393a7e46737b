#pragma once

#include "presentation/feedback_rules.h"
#include "ui/store_view_model.h"

#include <QString>
#include <QStringList>
#include <QVariantList>
#include <QtQml/qqmlregistration.h>

namespace nimbara {

// The report kinds as QML compares them: FeedbackType.Bug, FeedbackType.Idea…
namespace FeedbackTypeForeign {
Q_NAMESPACE
QML_FOREIGN_NAMESPACE(nimbara::FeedbackTypes)
QML_NAMED_ELEMENT(FeedbackType)
} // namespace FeedbackTypeForeign

// One segment of the form's type choice.
struct FeedbackTypeChoice {
    Q_GADGET
    QML_VALUE_TYPE(feedbackTypeChoice)
    Q_PROPERTY(nimbara::FeedbackTypes::FeedbackType type MEMBER type)
    Q_PROPERTY(QString title MEMBER title)

public:
    FeedbackTypes::FeedbackType type = FeedbackTypes::FeedbackType::Bug;
    QString title;
};

// The feedback sheet: the report being written (type, related app, summary, details), whether
// it can be sent, and how the store's submission goes. One model per opening of the sheet: the
// related app is chosen from the store's selected app when the store is handed over, and the
// user's text is kept, whatever the store does, until the model goes.
class FeedbackViewModel : public nimbara::StoreViewModel {
    Q_OBJECT
    QML_ELEMENT
    Q_PROPERTY(nimbara::FeedbackTypes::FeedbackType type READ type WRITE setType NOTIFY typeChanged)
    // FeedbackTypeChoice values in the order the form shows them.
    Q_PROPERTY(QVariantList typeChoices READ typeChoices NOTIFY choicesChanged)
    // The related app's catalog id; empty for none.
    Q_PROPERTY(
        QString relatedAppID READ relatedAppID WRITE setRelatedAppID NOTIFY relatedAppChanged)
    // The related app's row in relatedAppNames.
    Q_PROPERTY(
        int relatedAppIndex READ relatedAppIndex WRITE setRelatedAppIndex NOTIFY relatedAppChanged)
    // "No app", then every visible app by name, in catalog order.
    Q_PROPERTY(QStringList relatedAppNames READ relatedAppNames NOTIFY choicesChanged)
    Q_PROPERTY(QString title READ title WRITE setTitle NOTIFY titleChanged)
    Q_PROPERTY(QString description READ description WRITE setDescription NOTIFY descriptionChanged)
    Q_PROPERTY(bool canSubmit READ canSubmit NOTIFY canSubmitChanged)
    Q_PROPERTY(bool submitting READ submitting NOTIFY submissionChanged)
    // The server created an issue: the sheet shows its confirmation instead of the form.
    Q_PROPERTY(bool submitted READ submitted NOTIFY submissionChanged)
    Q_PROPERTY(bool failed READ failed NOTIFY submissionChanged)
    // Why the last submission failed, as the store words it; empty unless failed.
    Q_PROPERTY(QString failureMessage READ failureMessage NOTIFY submissionChanged)
    // The created issue's reference line; empty when the server gave no identifier.
    Q_PROPERTY(QString issueLine READ issueLine NOTIFY submissionChanged)

public:
    explicit FeedbackViewModel(QObject* parent = nullptr);

    FeedbackTypes::FeedbackType type() const { return type_; }
    void setType(FeedbackTypes::FeedbackType type);
    QVariantList typeChoices() const;
    QString relatedAppID() const { return relatedAppID_; }
    void setRelatedAppID(const QString& appID);
    int relatedAppIndex() const;
    void setRelatedAppIndex(int index);
    QStringList relatedAppNames() const;
    QString title() const { return title_; }
    void setTitle(const QString& title);
    QString description() const { return description_; }
    void setDescription(const QString& description);
    bool canSubmit() const;
    bool submitting() const;
    bool submitted() const;
    bool failed() const;
    QString failureMessage() const;
    QString issueLine() const;

    // Hands the report to the store, which trims it; does nothing unless canSubmit (so a
    // second press while one is on its way sends nothing) or once the report has been sent.
    Q_INVOKABLE void submit();
    // Hides the sheet and forgets the submission's outcome.
    Q_INVOKABLE void close();

Q_SIGNALS:
    void typeChanged();
    void choicesChanged();
    void relatedAppChanged();
    void titleChanged();
    void descriptionChanged();
    void canSubmitChanged();
    void submissionChanged();

protected:
    void observe(LauncherStore& store) override;
    void refresh() override;

private:
    struct RelatedApp {
        QString id;
        QString name;
    };
    void reloadApps();
    void recheckCanSubmit();

    FeedbackTypes::FeedbackType type_ = FeedbackTypes::FeedbackType::Bug;
    QString relatedAppID_;
    QString title_;
    QString description_;
    QList<RelatedApp> apps_;
    bool canSubmit_ = false;
    bool preselected_ = false;
};

} // namespace nimbara
