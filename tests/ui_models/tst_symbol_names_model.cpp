// Every symbol name the bundled catalogs and the screens use draws a glyph of its own, so a grid
// of apps does not repeat the generic one.

#include "support/test_registry.h"
#include "ui/symbol_glyphs.h"

#include <QDirIterator>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSet>
#include <QTest>

using namespace nimbara;
using namespace Qt::StringLiterals;

namespace {

const QString sourceDir = QStringLiteral(NIMBARA_SOURCE_DIR);

// Every "symbolName" value anywhere in the JSON value.
void collectSymbolNames(const QJsonValue& value, QSet<QString>& names) {
    if (value.isArray()) {
        for (const QJsonValue& element : value.toArray()) {
            collectSymbolNames(element, names);
        }
    } else if (value.isObject()) {
        const QJsonObject object = value.toObject();
        for (auto it = object.begin(); it != object.end(); ++it) {
            if (it.key() == "symbolName"_L1 && it.value().isString()) {
                names.insert(it.value().toString());
            } else {
                collectSymbolNames(it.value(), names);
            }
        }
    }
}

QStringList filesUnder(const QString& folder, const QString& pattern) {
    QStringList paths;
    QDirIterator files(sourceDir + folder, {pattern}, QDir::Files, QDirIterator::Subdirectories);
    while (files.hasNext()) {
        paths.append(files.next());
    }
    return paths;
}

QByteArray contents(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        qFatal("cannot read %s: %s", qPrintable(path), qPrintable(file.errorString()));
    }
    return file.readAll();
}

} // namespace

class TestSymbolNamesModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void usedSymbolNamesHaveTheirOwnGlyph_data() {
        QTest::addColumn<QString>("folder");
        QTest::addColumn<QString>("pattern");
        QTest::newRow("demo catalogs") << u"/demo"_s << u"*.json"_s;
        QTest::newRow("screens") << u"/src/ui/qml"_s << u"*.qml"_s;
    }

    void usedSymbolNamesHaveTheirOwnGlyph() {
        QFETCH(QString, folder);
        QFETCH(QString, pattern);
        static const QRegularExpression literal(
            u"\\b(?:symbol|name):\\s*\"([^\"]+)\"|\\bglyph\\(\"([^\"]+)\"\\)"_s);
        QSet<QString> used;
        const QStringList paths = filesUnder(folder, pattern);
        QVERIFY2(!paths.isEmpty(), qPrintable(sourceDir + folder));
        for (const QString& path : paths) {
            if (pattern == "*.json"_L1) {
                QJsonParseError error;
                const QJsonDocument document = QJsonDocument::fromJson(contents(path), &error);
                QVERIFY2(!document.isNull(), qPrintable(path + u": "_s + error.errorString()));
                collectSymbolNames(document.isArray() ? QJsonValue(document.array())
                                                      : QJsonValue(document.object()),
                                   used);
            } else {
                QRegularExpressionMatchIterator matches =
                    literal.globalMatch(QString::fromUtf8(contents(path)));
                while (matches.hasNext()) {
                    const QRegularExpressionMatch match = matches.next();
                    used.insert(match.captured(1) + match.captured(2));
                }
            }
        }
        used.remove(QString());
        QVERIFY2(used.size() >= 10, qPrintable(QStringList(used.values()).join(u", "_s)));

        QStringList fallingBack;
        for (const QString& name : std::as_const(used)) {
            if (!SymbolGlyphs::isKnown(name)) {
                fallingBack.append(name);
            }
        }
        fallingBack.sort();
        QVERIFY2(fallingBack.isEmpty(),
                 qPrintable(u"drawn with the generic glyph: "_s + fallingBack.join(u", "_s)));
    }
};

NIMBARA_REGISTER_TEST(TestSymbolNamesModel);

#include "tst_symbol_names_model.moc"
