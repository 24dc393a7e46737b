// Every symbol the bundled catalogs, the screens and the view models' rules name draws a glyph of
// its own from the installed icon font, so a grid of apps does not repeat the generic one.

#include "presentation/detail_rules.h"
#include "presentation/library_rules.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"
#include "ui/design_resources.h"
#include "ui/symbol_glyphs.h"

#include <QDirIterator>
#include <QFile>
#include <QFontMetricsF>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

class TestSymbolNamesModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void usedSymbolNamesHaveTheirOwnGlyph() {
        // Catalog entries ("symbolName": "...") and the screens' literals (symbol: "...",
        // name: "...", glyph("...")).
        static const QRegularExpression literal(
            u"\"symbolName\"\\s*:\\s*\"([^\"]+)\"|\\b(?:symbol|name):\\s*\"([^\"]+)\"|"
            u"\\bglyph\\(\"([^\"]+)\"\\)"_s);
        QSet<QString> used;
        for (const auto& [folder, pattern] :
             {std::pair{u"/demo"_s, u"*.json"_s}, {u"/src/ui/qml"_s, u"*.qml"_s}}) {
            QDirIterator files(QStringLiteral(NIMBARA_SOURCE_DIR) + folder, {pattern}, QDir::Files,
                               QDirIterator::Subdirectories);
            QVERIFY2(files.hasNext(), qPrintable(folder));
            while (files.hasNext()) {
                QFile file(files.next());
                QVERIFY(file.open(QIODevice::ReadOnly));
                for (const auto& match : literal.globalMatch(QString::fromUtf8(file.readAll()))) {
                    used.insert(match.captured(1) + match.captured(2) + match.captured(3));
                }
            }
        }
        for (const SidebarSection section : SidebarSections::allCases()) {
            used.insert(SidebarSections::symbol(section));
        }
        for (const EmptyStateKind kind :
             {EmptyStateKind::generic, EmptyStateKind::selected, EmptyStateKind::updates}) {
            used.insert(emptyStateContent(kind).symbol);
        }
        const AppManifestItem app = publishedApp(u"alpha"_s);
        const AppManifestItem soon = comingSoonApp(u"soon"_s);
        used << statusSymbol(app, {}).symbol << statusSymbol(app, {app.id}).symbol
             << statusSymbol(soon, {}).symbol << primaryAction(soon, {}).symbol;
        for (const AppInstallState& state : {AppInstallState(), AppInstallState::installed(u"1"_s),
                                             AppInstallState::updateAvailable(u"1"_s, u"2"_s)}) {
            used.insert(primaryAction(app, state).symbol);
        }
        QVERIFY2(used.size() > 20, qPrintable(QStringList(used.values()).join(u", "_s)));

        QStringList fallingBack;
        for (const QString& name : std::as_const(used)) {
            if (!SymbolGlyphs::isKnown(name)) {
                fallingBack.append(name);
            }
        }
        fallingBack.sort();
        QVERIFY2(fallingBack.isEmpty(),
                 qPrintable(u"drawn with the generic glyph: "_s + fallingBack.join(u", "_s)));

        const DesignResources design; // registers the icon font
        const QFontMetricsF font(QFont(design.symbolFamily()));
        for (const QString& name : SymbolGlyphs::knownNames()) {
            QVERIFY2(font.inFontUcs4(SymbolGlyphs::codePoint(name)), qPrintable(name));
        }
        QVERIFY(font.inFontUcs4(SymbolGlyphs::genericGlyph));
    }
};

NIMBARA_REGISTER_TEST(TestSymbolNamesModel);

#include "tst_symbol_names_model.moc"
