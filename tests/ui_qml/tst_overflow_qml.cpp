// The main window at every width and in every language: tiles per row never fall as the window
// widens, the compact detail panel gives way to a new section or search, and no text is cut off
// or drawn outside the item that holds it.

#include "presentation/shell_layout.h"
#include "qml_harness.h"
#include "support/catalog_samples.h"
#include "support/test_registry.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>
#include <algorithm>
#include <functional>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

// Apps whose texts push the layout: long names, taglines, categories, tags and addresses.
QList<AppManifestItem> demandingApps() {
    AppManifestItem first = publishedApp(u"transcriber"_s);
    first.name = u"Transcriber Professional"_s;
    first.tagline = u"Turns recorded meetings, lectures and interviews into searchable, "
                    u"editable text with speaker labels"_s;
    first.category = u"Productivity and writing"_s;
    first.bundleId = u"com.nimbara.transcriber-professional.desktop-edition"_s;
    first.version = u"12.4.1-beta.3+build.20240518"_s;
    first.sparkleFeedUrl = QUrl(u"https://updates.example.com/apps/transcriber-professional/"
                                u"channels/stable/appcast.xml?platform=linux&arch=x86_64"_s);
    first.tags = {u"speech-recognition"_s, u"transcription"_s, u"accessibility"_s};
    first.releaseNotes = {{u"12.4.1"_s, u"2024-05-18"_s, u"Faster start on large libraries."_s}};
    AppManifestItem second = publishedApp(u"colourpicker"_s, AppReleaseStatus::beta);
    second.tagline = u"Picks colours"_s;
    AppManifestItem third = comingSoonApp(u"notebook"_s);
    third.name = u"Notebook with a rather long name"_s;
    return {first,
            second,
            third,
            publishedApp(u"delta"_s),
            publishedApp(u"echo"_s),
            publishedApp(u"foxtrot"_s),
            publishedApp(u"golf"_s)};
}

QString describe(const QQuickItem* item) {
    const QString name = item->objectName().isEmpty()
                             ? QString::fromLatin1(item->metaObject()->className())
                             : item->objectName();
    return u"%1 \"%2\""_s.arg(name, item->property("text").toString().left(40));
}

// Visible texts that are elided, or whose drawn text reaches outside an enclosing item that has
// a size, one line each. Inside a scrolling view the page it carries counts, not the viewport.
// Taglines end in an ellipsis by design once their lines are used up.
void collectOverflow(QQuickItem* item, QStringList& faults) {
    if (!item->isVisible() || item->opacity() <= 0.0) {
        return;
    }
    const bool isText = item->inherits("QQuickText");
    if ((isText || item->inherits("QQuickTextEdit")) &&
        !item->property("text").toString().isEmpty()) {
        if (isText && item->property("truncated").toBool() &&
            item->objectName() != u"tileTagline"_s) {
            faults.append(describe(item) + u" is cut off"_s);
        }
        // A text's bounding rectangle holds all of its lines; an editor's also holds the cursor.
        const QRectF drawn = item->mapRectToScene(
            isText ? item->boundingRect()
                   : QRectF(0, 0, qMax(item->width(), item->property("contentWidth").toReal()),
                            qMax(item->height(), item->property("contentHeight").toReal())));
        for (QQuickItem* outer = item->parentItem(); outer; outer = outer->parentItem()) {
            if (outer->parentItem() && outer->parentItem()->inherits("QQuickFlickable")) {
                break; // the page a view scrolls holds whatever it holds
            }
            const QRectF room =
                outer->mapRectToScene(QRectF(0, 0, outer->width(), outer->height()));
            if (!room.isEmpty() && !room.adjusted(-1, -1, 1, 1).contains(drawn)) {
                faults.append(describe(item) + u" reaches outside "_s + describe(outer));
                break;
            }
        }
    }
    for (QQuickItem* child : item->childItems()) {
        collectOverflow(child, faults);
    }
}

// Tiles of the library grid per row: those on the first tile's row.
int tilesPerRow(const QmlLauncher& launcher) {
    QList<QQuickItem*> tiles;
    for (const AppManifestItem& app : demandingApps()) {
        if (QQuickItem* tile = launcher.item(u"appTile_"_s + app.id)) {
            tiles.append(tile);
        }
    }
    if (tiles.isEmpty()) {
        return 0;
    }
    const qreal firstRow = tiles.first()->mapToScene(QPointF()).y();
    return int(std::count_if(tiles.cbegin(), tiles.cend(), [&](QQuickItem* tile) {
        return qAbs(tile->mapToScene(QPointF()).y() - firstRow) < 1;
    }));
}

} // namespace

class TestOverflowQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    // Across the breakpoint the detail column takes the library's room; still no width holds
    // fewer tiles per row than a narrower one, and the default window holds two.
    void tilesPerRowNeverFall() {
        QmlLauncher launcher(catalogWith(demandingApps()));
        QVERIFY(launcher.shown());
        int previous = 0;
        for (int width = 900; width <= 1600; width += 20) {
            for (const int probe : {width, width == 1040 ? 1039 : width}) {
                launcher.resize(probe);
                const int columns = tilesPerRow(launcher);
                QVERIFY2(columns >= previous,
                         qPrintable(u"%1 wide: %2 per row after %3"_s.arg(probe).arg(columns).arg(
                             previous)));
                previous = columns;
            }
            if (width == 1060) {
                QVERIFY2(previous >= 2, qPrintable(u"1060 wide: %1 per row"_s.arg(previous)));
            }
        }
        QVERIFY(previous >= 4); // the widest window uses its room
    }

    void compactPanelGivesWay_data() {
        QTest::addColumn<bool>("bySearch");
        QTest::newRow("section chosen") << false;
        QTest::newRow("search typed") << true;
    }

    void compactPanelGivesWay() {
        QFETCH(bool, bySearch);
        QmlLauncher launcher(catalogWith(demandingApps()));
        QVERIFY(launcher.shown());
        launcher.resize(900);
        QQuickItem* panel = launcher.item(u"compactDetailView"_s);
        launcher.click(launcher.item(u"appTile_delta"_s));
        QVERIFY(panel->property("isPresented").toBool());

        QQuickItem* shell = launcher.item(u"launcherShell"_s);
        if (bySearch) {
            launcher.item(u"searchField"_s)->forceActiveFocus();
            launcher.type(u"d"_s);
            QCOMPARE(shell->property("searchText").toString(), u"d"_s);
        } else {
            launcher.click(launcher.item(u"sidebarRow1"_s));
            QCOMPARE(shell->property("selectedSection").toInt(), 1);
        }
        QVERIFY(!panel->property("isPresented").toBool());
    }

    void nothingCutOrOverflowing_data() {
        QTest::addColumn<int>("locale"); // a NimbaraLocale
        QTest::addColumn<int>("width");
        for (const auto& [locale, tag] : {std::pair{NimbaraLocale::en, "en"},
                                          {NimbaraLocale::pl, "pl"},
                                          {NimbaraLocale::de, "de"}}) {
            for (const int width : {900, 1060}) {
                QTest::addRow("%s, %d wide", tag, width) << int(locale) << width;
            }
        }
    }

    // The first app is selected, so that the detail (with every row of the details card) shows
    // beside the library or, compact, over it.
    void nothingCutOrOverflowing() {
        QFETCH(int, locale);
        QFETCH(int, width);
        QmlLauncher launcher(catalogWith(demandingApps()));
        QVERIFY(launcher.shown());
        launcher.resize(width);
        launcher.click(launcher.item(u"appTile_transcriber"_s));
        launcher.store->setLocale(NimbaraLocale(locale)); // the shown detail follows the switch
        QTest::qWait(250);                                // the compact panel slides in
        launcher.settle();
        QCOMPARE(launcher.item(u"detailRowLabel"_s)->property("text").toString(),
                 NimbaraCopy::text(CopyKey::bundleID, NimbaraLocale(locale)));
        QStringList faults;
        collectOverflow(launcher.window->contentItem(), faults);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"\n"_s)));
    }

    void addressesBreakAfterSeparators_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("shown"); // | marks a break
        QTest::newRow("address") << u"https://a.example/b-c?d=e"_s
                                 << u"https://|a.|example/|b-|c?|d=|e"_s;
        QTest::newRow("identifier") << u"com.nimbara.app"_s << u"com.|nimbara.|app"_s;
        QTest::newRow("separator last") << u"a/"_s << u"a/"_s;
        QTest::newRow("plain") << u"Verified"_s << u"Verified"_s;
    }

    // Shown with breaks; a selection of the shown text maps back onto the text itself.
    void addressesBreakAfterSeparators() {
        QFETCH(QString, text);
        QFETCH(QString, shown);
        const QString broken = ShellLayout::withBreaksAfterSeparators(text);
        QCOMPARE(QString(broken).replace(QChar(0x200B), u'|'), shown);
        for (qsizetype start = 0; start <= broken.size(); ++start) {
            for (qsizetype end = start; end <= broken.size(); ++end) {
                const qsizetype from = ShellLayout::sourcePosition(text, start);
                const qsizetype to = ShellLayout::sourcePosition(text, end);
                QCOMPARE(text.mid(from, to - from),
                         broken.mid(start, end - start).remove(QChar(0x200B)));
            }
        }
    }

    // The feed address wraps at its separators, yet a copy of it is the address itself.
    void copiedAddressIsWhole() {
        QmlLauncher launcher(catalogWith(demandingApps()));
        QVERIFY(launcher.shown());
        launcher.click(launcher.item(u"appTile_transcriber"_s));
        QQuickItem* feed = nullptr;
        std::function<void(QQuickItem*)> find = [&](QQuickItem* item) {
            if (item->isVisible() && item->objectName() == u"detailRowValue"_s &&
                item->property("text").toString().contains(u"appcast"_s)) {
                feed = item;
            }
            for (QQuickItem* child : item->childItems()) {
                find(child);
            }
        };
        find(launcher.window->contentItem());
        QVERIFY(feed);
        QVERIFY(feed->property("lineCount").toInt() > 1);
        feed->forceActiveFocus();
        QMetaObject::invokeMethod(feed, "selectAll");
        launcher.key(Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(),
                 demandingApps().constFirst().sparkleFeedUrl->toString());
    }
};

NIMBARA_REGISTER_TEST(TestOverflowQml);

#include "tst_overflow_qml.moc"
