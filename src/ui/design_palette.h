#pragma once

#include <QColor>
#include <QList>
#include <QObject>
#include <QPalette>
#include <QtQmlIntegration>
#include <utility>

class QQuickWindow;

namespace nimbara {

// The launcher's colours (QML singleton "Theme"). Everything is dark; every screen draws from
// these tokens only, and the widgets' and stock controls' palette is derived from them.
class DesignPalette : public QObject {
    Q_OBJECT
    QML_NAMED_ELEMENT(Theme)
    QML_SINGLETON
    Q_PROPERTY(QColor bg0 READ bg0 CONSTANT)
    Q_PROPERTY(QColor bg1 READ bg1 CONSTANT)
    Q_PROPERTY(QColor bg2 READ bg2 CONSTANT)
    Q_PROPERTY(QColor bg3 READ bg3 CONSTANT)
    Q_PROPERTY(QColor line READ line CONSTANT)
    Q_PROPERTY(QColor line2 READ line2 CONSTANT)
    Q_PROPERTY(QColor fg0 READ fg0 CONSTANT)
    Q_PROPERTY(QColor fg1 READ fg1 CONSTANT)
    Q_PROPERTY(QColor fg2 READ fg2 CONSTANT)
    Q_PROPERTY(QColor fg3 READ fg3 CONSTANT)
    Q_PROPERTY(QColor fgCaption READ fgCaption CONSTANT)
    Q_PROPERTY(QColor lime READ lime CONSTANT)
    Q_PROPERTY(QColor violet READ violet CONSTANT)
    Q_PROPERTY(QColor amber READ amber CONSTANT)
    Q_PROPERTY(QColor blue READ blue CONSTANT)
    Q_PROPERTY(QColor cyan READ cyan CONSTANT)
    Q_PROPERTY(QColor ink READ ink CONSTANT)
    Q_PROPERTY(QColor destructive READ destructive CONSTANT)

public:
    using QObject::QObject;

    static QColor bg0() { return {0x0B, 0x0D, 0x10}; }   // window and page background
    static QColor bg1() { return {0x11, 0x14, 0x1A}; }   // sidebar, cards, list rows
    static QColor bg2() { return {0x16, 0x1A, 0x21}; }   // search field, tab strip
    static QColor bg3() { return {0x1C, 0x21, 0x29}; }   // selected row, secondary button
    static QColor line() { return {0x26, 0x2C, 0x36}; }  // borders and dividers
    static QColor line2() { return {0x2E, 0x35, 0x40}; } // secondary button border
    static QColor fg0() { return {0xF3, 0xF4, 0xF6}; }   // primary text
    static QColor fg1() { return {0xC9, 0xCC, 0xD3}; }   // secondary text, unselected rows
    static QColor fg2() { return {0x8B, 0x90, 0x9A}; }   // body text
    static QColor fg3() { return {0x5A, 0x60, 0x6B}; }   // symbols and other marks
    // Small text that carries information (captions, labels, counts, status lines and
    // placeholders): legible (4.5:1) on every background up to bg3.
    static QColor fgCaption() { return {0x82, 0x88, 0x93}; }
    // Accents, one per catalog accent name.
    static QColor lime() { return QColor::fromRgbF(0.74f, 0.94f, 0.34f); }
    static QColor violet() { return QColor::fromRgbF(0.62f, 0.42f, 0.96f); }
    static QColor amber() { return QColor::fromRgbF(0.96f, 0.68f, 0.30f); }
    static QColor blue() { return QColor::fromRgbF(0.33f, 0.68f, 0.95f); }
    static QColor cyan() { return QColor::fromRgbF(0.28f, 0.82f, 0.88f); }
    // The dark colour drawn on lime surfaces.
    static QColor ink() { return {11, 16, 4}; }
    // Confirm buttons that destroy something.
    static QColor destructive() { return {0xF0, 0x65, 0x5A}; }

    // The accent colour of a catalog accent name (lime for anything unknown).
    Q_INVOKABLE static QColor accent(const QString& name);
    // The second colour of an app's accent gradient: violet, or lime for a violet app.
    Q_INVOKABLE static QColor gradientEnd(const QString& name);
    // The colour of a symbol drawn on an app's gradient: white on violet, else ink.
    Q_INVOKABLE static QColor symbolOnAccent(const QString& name);
    // `base` at `alpha` opacity.
    Q_INVOKABLE static QColor faded(const QColor& base, double alpha);

    // The colours of widgets (the tray menu) and of the stock controls, per palette role.
    static QList<std::pair<QPalette::ColorRole, QColor>> controlColours();
    static QPalette controlPalette();
    // Gives `window`'s stock controls the same colours: Qt Quick Controls take their palette
    // from the style's theme and the window, not from the application.
    static void applyTo(QQuickWindow& window);
};

} // namespace nimbara
