#pragma once

#include <QLatin1StringView>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

// System symbol names (as the catalog and the screens name them) drawn as glyphs of the
// Material Icons font.
namespace nimbara::SymbolGlyphs {

// The family name the Material Icons font registers.
inline constexpr QLatin1StringView fontFamily{"Material Icons"};
// Where the Debian package installs the font.
inline constexpr QLatin1StringView fontPath{
    "/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf"};

// Drawn for every name without a glyph of its own ("widgets").
inline constexpr char32_t genericGlyph = 0xE1BD;

// The glyph's code point for `name`, or genericGlyph for a name the table does not know.
char32_t codePoint(QStringView name);
// The glyph as text.
QString glyph(QStringView name);
// Whether `name` has a glyph of its own.
bool isKnown(QStringView name);
// Every name the table maps (screen symbols and common app symbols).
QStringList knownNames();

} // namespace nimbara::SymbolGlyphs
