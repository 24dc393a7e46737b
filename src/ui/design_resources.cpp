#include "ui/design_resources.h"

#include "ui/symbol_glyphs.h"

#include <QFontDatabase>
#include <QKeySequence>

using namespace Qt::StringLiterals;

namespace nimbara {

namespace {

// The Material Icons family, registering the installed font file with the application once.
QString loadSymbolFamily() {
    static const QString family = [] {
        if (QFontDatabase::hasFamily(SymbolGlyphs::fontFamily)) {
            return QString(SymbolGlyphs::fontFamily);
        }
        const int id = QFontDatabase::addApplicationFont(SymbolGlyphs::fontPath);
        const QStringList families = QFontDatabase::applicationFontFamilies(id);
        return families.isEmpty() ? QString(SymbolGlyphs::fontFamily) : families.first();
    }();
    return family;
}

const QKeySequence& quickSwitchKeys() {
    static const QKeySequence keys(Qt::CTRL | Qt::Key_K);
    return keys;
}

} // namespace

DesignResources::DesignResources(QObject* parent)
    : QObject(parent), symbolFamily_(loadSymbolFamily()),
      displayFamily_(
          chooseDisplayFamily(QFontDatabase::families(),
                              QFontDatabase::systemFont(QFontDatabase::GeneralFont).family())),
      monoFamily_(QFontDatabase::systemFont(QFontDatabase::FixedFont).family()) {}

QString DesignResources::quickSwitchSequence() const {
    return quickSwitchKeys().toString(QKeySequence::PortableText);
}

QString DesignResources::quickSwitchShortcutText() const {
    return quickSwitchKeys().toString(QKeySequence::NativeText);
}

QString DesignResources::glyph(const QString& symbolName) const {
    return SymbolGlyphs::glyph(symbolName);
}

QString DesignResources::chooseDisplayFamily(const QStringList& installedFamilies,
                                             const QString& defaultSans) {
    for (const QString& wanted : {u"Inter Tight"_s, u"Inter"_s}) {
        if (installedFamilies.contains(wanted)) {
            return wanted;
        }
    }
    return defaultSans;
}

} // namespace nimbara
