#pragma once

#include <QObject>
#include <QString>
#include <QtQmlIntegration>

namespace nimbara {

// The shell's geometry and the display form of long addresses, for the screens (QML singleton
// "LayoutRules"); the rules themselves are ShellLayout's.
class LayoutRules : public QObject {
    Q_OBJECT
    QML_ELEMENT
    QML_SINGLETON
    Q_PROPERTY(double detailWidth READ detailWidth CONSTANT)
    Q_PROPERTY(double libraryMargin READ libraryMargin CONSTANT)
    Q_PROPERTY(double tileGap READ tileGap CONSTANT)

public:
    explicit LayoutRules(QObject* parent = nullptr);

    double detailWidth() const;
    double libraryMargin() const;
    double tileGap() const;

    Q_INVOKABLE bool isCompact(double shellWidth) const;
    Q_INVOKABLE double sidebarWidth(double shellWidth) const;
    Q_INVOKABLE int libraryColumns(double shellWidth) const;
    // `text` with break opportunities after its separators, for display only.
    Q_INVOKABLE QString breakable(const QString& text) const;
    // `text` from the shown position `start` to `end` of `breakable(text)`, without the breaks.
    Q_INVOKABLE QString sourceSlice(const QString& text, int start, int end) const;
};

} // namespace nimbara
