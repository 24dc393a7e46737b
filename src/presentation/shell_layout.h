#pragma once

#include <QString>

// The shell's geometry at a given width: whether it is compact, how wide its columns are and how
// many tiles a row of the library holds. The screens take their measures from here, so that the
// rules can be checked without drawing anything.
namespace nimbara::ShellLayout {

// Below this width the detail column gives way to a sliding panel.
inline constexpr double compactBelow = 1040;
inline constexpr double compactSidebarWidth = 210;
inline constexpr double wideSidebarWidth = 230;
// The wide layout's detail column, and the divider before it.
inline constexpr double detailWidth = 390;
inline constexpr double dividerWidth = 1;
// The library page's margin on either side of the tiles.
inline constexpr double libraryMargin = 28;
inline constexpr double tileGap = 12;
// Tiles are at least this wide once a row holds more than `minimumColumns`.
inline constexpr double tileMinimumWidth = 220;
// A row holds at least this many tiles; where two tiles of the minimum width do not fit, they
// narrow instead of leaving a single column.
inline constexpr int minimumColumns = 2;

bool isCompact(double shellWidth);
double sidebarWidth(double shellWidth);
// The width the tiles of one row share, gaps between them included.
double tileRowWidth(double shellWidth);
// Tiles per row. It never falls as the shell widens: the compact layout holds no more per row
// than the wide layout does at the breakpoint, where the detail column takes its room.
int libraryColumns(double shellWidth);

// `text` with a zero-width space after each separator of an address or identifier (/ . - ? & = _
// #), so that it wraps there rather than inside a word. For display only: what is opened or
// copied is the text itself.
QString withBreaksAfterSeparators(const QString& text);
// The position in `text` of the position `displayed` in `withBreaksAfterSeparators(text)`, so
// that a selection of the shown text copies the text itself.
qsizetype sourcePosition(const QString& text, qsizetype displayed);

} // namespace nimbara::ShellLayout
