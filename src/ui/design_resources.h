#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <QtQmlIntegration>

namespace nimbara {

// The display font, the symbol font and the quick-switcher shortcut, for the screens
// (QML singleton "Design"). Fonts are looked up once, when the object is made; that needs a
// QGuiApplication.
class DesignResources : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Design)
    QML_SINGLETON
    Q_PROPERTY(QString symbolFamily READ symbolFamily CONSTANT)
    Q_PROPERTY(QString displayFamily READ displayFamily CONSTANT)
    Q_PROPERTY(QString monoFamily READ monoFamily CONSTANT)
    Q_PROPERTY(QString quickSwitchSequence READ quickSwitchSequence CONSTANT)
    Q_PROPERTY(QString quickSwitchShortcutText READ quickSwitchShortcutText CONSTANT)

public:
    explicit DesignResources(QObject* parent = nullptr);

    QString symbolFamily() const { return symbolFamily_; }
    QString displayFamily() const { return displayFamily_; }
    QString monoFamily() const { return monoFamily_; }
    // The quick switcher's key sequence in portable form ("Ctrl+K").
    QString quickSwitchSequence() const;
    // The same sequence in the platform's own notation, for hints.
    QString quickSwitchShortcutText() const;

    // The glyph of a system symbol name (the generic glyph for unknown names).
    Q_INVOKABLE QString glyph(const QString& symbolName) const;

    // "Inter Tight" when installed, else "Inter", else `defaultSans`.
    static QString chooseDisplayFamily(const QStringList& installedFamilies,
                                       const QString& defaultSans);

private:
    QString symbolFamily_;
    QString displayFamily_;
    QString monoFamily_;
};

} // namespace nimbara
