#include "ui/layout_rules.h"

#include "presentation/shell_layout.h"

namespace nimbara {

LayoutRules::LayoutRules(QObject* parent) : QObject(parent) {}

double LayoutRules::detailWidth() const {
    return ShellLayout::detailWidth;
}

double LayoutRules::libraryMargin() const {
    return ShellLayout::libraryMargin;
}

double LayoutRules::tileGap() const {
    return ShellLayout::tileGap;
}

bool LayoutRules::isCompact(double shellWidth) const {
    return ShellLayout::isCompact(shellWidth);
}

double LayoutRules::sidebarWidth(double shellWidth) const {
    return ShellLayout::sidebarWidth(shellWidth);
}

int LayoutRules::libraryColumns(double shellWidth) const {
    return ShellLayout::libraryColumns(shellWidth);
}

QString LayoutRules::breakable(const QString& text) const {
    return ShellLayout::withBreaksAfterSeparators(text);
}

QString LayoutRules::sourceSlice(const QString& text, int start, int end) const {
    const qsizetype from = ShellLayout::sourcePosition(text, qMin(start, end));
    const qsizetype to = ShellLayout::sourcePosition(text, qMax(start, end));
    return text.mid(from, to - from);
}

} // namespace nimbara
