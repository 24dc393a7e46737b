#include "presentation/shell_layout.h"

#include <algorithm>
#include <cmath>

namespace nimbara::ShellLayout {

namespace {

constexpr QChar zeroWidthSpace(0x200B);

int fittingColumns(double rowWidth) {
    const int fit =
        static_cast<int>(std::floor((rowWidth + tileGap) / (tileMinimumWidth + tileGap)));
    return std::max(minimumColumns, fit);
}

// Whether a break follows the character at `i`. Runs such as "//" stay together; the break
// follows the run, and none ends the text.
bool breaksAfter(const QString& text, qsizetype i) {
    static const QString separators = QStringLiteral("/.-?&=_#");
    return i + 1 < text.size() && separators.contains(text.at(i)) &&
           !separators.contains(text.at(i + 1));
}

} // namespace

bool isCompact(double shellWidth) {
    return shellWidth < compactBelow;
}

double sidebarWidth(double shellWidth) {
    return isCompact(shellWidth) ? compactSidebarWidth : wideSidebarWidth;
}

double tileRowWidth(double shellWidth) {
    const double detail = isCompact(shellWidth) ? 0 : detailWidth + dividerWidth;
    return std::max(0.0, shellWidth - sidebarWidth(shellWidth) - detail - 2 * libraryMargin);
}

int libraryColumns(double shellWidth) {
    const int fit = fittingColumns(tileRowWidth(shellWidth));
    if (!isCompact(shellWidth)) {
        return fit;
    }
    return std::min(fit, fittingColumns(tileRowWidth(compactBelow)));
}

QString withBreaksAfterSeparators(const QString& text) {
    QString broken;
    broken.reserve(text.size() + text.size() / 4);
    for (qsizetype i = 0; i < text.size(); ++i) {
        broken.append(text.at(i));
        if (breaksAfter(text, i)) {
            broken.append(zeroWidthSpace);
        }
    }
    return broken;
}

qsizetype sourcePosition(const QString& text, qsizetype displayed) {
    qsizetype shown = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (shown >= displayed) {
            return i;
        }
        shown += breaksAfter(text, i) ? 2 : 1;
    }
    return text.size();
}

} // namespace nimbara::ShellLayout
