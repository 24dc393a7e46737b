#include "ui/design_palette.h"

#include <QMetaEnum>
#include <QQmlProperty>
#include <QQuickWindow>

using namespace Qt::StringLiterals;

namespace nimbara {

namespace {

const QString violetName = u"violet"_s;

} // namespace

QColor DesignPalette::accent(const QString& name) {
    if (name == violetName) {
        return violet();
    }
    if (name == "amber"_L1) {
        return amber();
    }
    if (name == "blue"_L1) {
        return blue();
    }
    if (name == "cyan"_L1) {
        return cyan();
    }
    return lime();
}

QColor DesignPalette::gradientEnd(const QString& name) {
    return name == violetName ? lime() : violet();
}

QColor DesignPalette::symbolOnAccent(const QString& name) {
    return name == violetName ? QColor(Qt::white) : ink();
}

QColor DesignPalette::faded(const QColor& base, double alpha) {
    QColor colour = base;
    colour.setAlphaF(static_cast<float>(alpha));
    return colour;
}

QList<std::pair<QPalette::ColorRole, QColor>> DesignPalette::controlColours() {
    return {{QPalette::Window, bg0()},
            {QPalette::WindowText, fg0()},
            {QPalette::Base, bg1()},
            {QPalette::AlternateBase, bg3()},
            {QPalette::Text, fg0()},
            {QPalette::PlaceholderText, fg2()},
            {QPalette::Button, bg3()},
            {QPalette::ButtonText, fg0()},
            {QPalette::BrightText, Qt::white},
            {QPalette::Light, bg3().lighter(130)},
            {QPalette::Midlight, bg3().lighter(115)},
            {QPalette::Mid, bg3()},
            {QPalette::Dark, bg0().darker(130)},
            {QPalette::Shadow, Qt::black},
            {QPalette::Highlight, lime()},
            {QPalette::HighlightedText, ink()},
            {QPalette::Link, lime()},
            {QPalette::ToolTipBase, bg3()},
            {QPalette::ToolTipText, fg0()}};
}

QPalette DesignPalette::controlPalette() {
    QPalette palette;
    for (const auto& [role, colour] : controlColours()) {
        palette.setColor(role, colour);
    }
    return palette;
}

void DesignPalette::applyTo(QQuickWindow& window) {
    // The property names are the roles' names with a lower-case first letter ("windowText").
    const QMetaEnum names = QMetaEnum::fromType<QPalette::ColorRole>();
    for (const auto& [role, colour] : controlColours()) {
        QString name = QString::fromLatin1(names.valueToKey(role));
        name[0] = name[0].toLower();
        QQmlProperty::write(&window, QStringLiteral("palette.") + name, colour);
    }
}

} // namespace nimbara
