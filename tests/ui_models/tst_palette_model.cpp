// Every colour the screens draw text in stays legible (4.5:1) on every surface it is drawn on.

#include "support/contrast.h"
#include "support/test_registry.h"
#include "ui/design_palette.h"

#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

class TestPaletteModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void textIsLegible_data() {
        QTest::addColumn<QColor>("text");
        QTest::addColumn<QColor>("surface");
        using P = DesignPalette;
        const QList<std::pair<const char*, QColor>> surfaces{
            {"bg0", P::bg0()}, {"bg1", P::bg1()}, {"bg2", P::bg2()}, {"bg3", P::bg3()}};
        // Grey text sits on every surface; accent names, badges and failures on cards and pages.
        const QList<std::pair<const char*, QColor>> greys{
            {"fg0", P::fg0()}, {"fg1", P::fg1()}, {"fg2", P::fg2()}, {"fgCaption", P::fgCaption()}};
        const QList<std::pair<const char*, QColor>> accents{
            {"lime", P::lime()}, {"violet", P::violet()}, {"amber", P::amber()},
            {"blue", P::blue()}, {"cyan", P::cyan()},     {"destructive", P::destructive()}};
        for (const auto& [surfaceName, surface] : surfaces) {
            for (const auto& [textName, text] : greys) {
                QTest::addRow("%s on %s", textName, surfaceName) << text << surface;
            }
            for (const auto& [textName, text] : accents) {
                if (surface != P::bg3()) {
                    QTest::addRow("%s on %s", textName, surfaceName) << text << surface;
                }
            }
        }
        QTest::newRow("ink on lime") << P::ink() << P::lime();
    }

    void textIsLegible() {
        QFETCH(QColor, text);
        QFETCH(QColor, surface);
        const double ratio = contrastRatio(text, surface);
        QVERIFY2(ratio >= 4.5, qPrintable(u"%1:1"_s.arg(ratio, 0, 'f', 2)));
    }
};

NIMBARA_REGISTER_TEST(TestPaletteModel);

#include "tst_palette_model.moc"
