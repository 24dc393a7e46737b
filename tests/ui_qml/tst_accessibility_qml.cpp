// Every control a user can reach, in every window and layer of the launcher, says what it is to
// assistive technology and lies within the room its layout gives it, and every text is legible
// on the surface it is drawn on.

#include "qml_harness.h"
#include "support/catalog_samples.h"
#include "support/contrast.h"
#include "support/test_registry.h"

#include <QAccessible>
#include <QJSValue>
#include <QQuickItem>
#include <QQuickWindow>
#include <QTest>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

namespace {

// Roles of things a user operates.
bool isControlRole(QAccessible::Role role) {
    switch (role) {
    case QAccessible::Button:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::ComboBox:
    case QAccessible::EditableText:
    case QAccessible::Link:
    case QAccessible::PageTab:
    case QAccessible::Slider:
    case QAccessible::SpinBox:
    case QAccessible::MenuItem:
        return true;
    default:
        return false;
    }
}

// Visible items that are controls or take focus with Tab (when enabled) yet have no accessible
// name, and controls that reach past the sides of the room their parent gives them (cut off or
// overlapping their neighbours): one line each.
void collectFaults(QQuickItem* item, QStringList& faults, int& controls) {
    if (!item->isVisible() || item->opacity() <= 0.0) {
        return;
    }
    QAccessibleInterface* accessible = QAccessible::queryAccessibleInterface(item);
    const QAccessible::Role role = accessible ? accessible->role() : QAccessible::NoRole;
    if (isControlRole(role) || (item->activeFocusOnTab() && item->isEnabled())) {
        ++controls;
        const QString name = item->objectName().isEmpty()
                                 ? QString::fromLatin1(item->metaObject()->className())
                                 : item->objectName();
        if (!accessible || accessible->text(QAccessible::Name).trimmed().isEmpty()) {
            faults.append(u"%1 (role %2) has no name"_s.arg(name).arg(int(role)));
        }
        // Controls sit in the room their layouts gave them (views may overhang on purpose, and
        // what a view scrolls is its own business).
        QQuickItem* parent = item->parentItem();
        const bool scrolled =
            parent->parentItem() && parent->parentItem()->inherits("QQuickFlickable");
        // What the control draws: its own rectangle and its parts (a switch's indicator).
        const QRectF bounds =
            item->mapRectToScene(item->boundingRect().united(item->childrenRect()));
        const QRectF room = parent->mapRectToScene(parent->boundingRect());
        if (isControlRole(role) && !scrolled &&
            (bounds.left() < room.left() - 0.5 || bounds.right() > room.right() + 0.5)) {
            faults.append(u"%1 reaches past its parent"_s.arg(name));
        }
    }
    for (QQuickItem* child : item->childItems()) {
        collectFaults(child, faults, controls);
    }
}

// The colour behind the centre of `text`: the nearest opaque rectangle stacked below it (or the
// window), with the translucent rectangles between composited over it. None when a gradient lies
// behind it.
std::optional<QColor> surfaceBehind(QQuickItem* text, const QColor& windowColour) {
    const QPointF centre = text->mapToScene(text->boundingRect().center());
    QList<QColor> layers; // nearest first
    const auto cover = [&](QQuickItem* item) {
        if (!item->inherits("QQuickRectangle") || !item->isVisible() ||
            !item->mapRectToScene(item->boundingRect()).contains(centre)) {
            return true;
        }
        const QJSValue gradient = item->property("gradient").value<QJSValue>();
        if (gradient.isQObject() || gradient.isNumber() || gradient.isString()) {
            return false;
        }
        QColor colour = item->property("color").value<QColor>();
        colour.setAlphaF(float(colour.alphaF() * item->opacity()));
        layers.append(colour);
        return true;
    };
    QQuickItem* onPath = text;
    for (QQuickItem* parent = text->parentItem(); parent; parent = parent->parentItem()) {
        // Siblings painted before the path (lower z, or the same z and earlier), topmost first.
        const QList<QQuickItem*> siblings = parent->childItems();
        const qsizetype pathIndex = siblings.indexOf(onPath);
        QList<std::pair<std::pair<qreal, qsizetype>, QQuickItem*>> below;
        for (qsizetype i = 0; i < siblings.size(); ++i) {
            const std::pair<qreal, qsizetype> order{siblings[i]->z(), i};
            if (order < std::pair{onPath->z(), pathIndex}) {
                below.append({order, siblings[i]});
            }
        }
        std::sort(below.begin(), below.end(), [](const auto& a, const auto& b) { return a > b; });
        for (const auto& entry : std::as_const(below)) {
            if (!cover(entry.second)) {
                return std::nullopt;
            }
        }
        if (!cover(parent)) {
            return std::nullopt;
        }
        onPath = parent;
    }
    QColor surface = windowColour;
    for (auto it = layers.rbegin(); it != layers.rend(); ++it) {
        surface = composited(*it, surface);
    }
    return surface;
}

// Visible, enabled text (symbols aside) whose colour reaches less than 4.5:1 against what lies
// behind it: one line each.
void collectIllegibleText(QQuickItem* item, const QColor& windowColour, QStringList& faults) {
    if (!item->isVisible() || item->opacity() < 0.99 || !item->isEnabled()) {
        return; // fading, or inactive: not read
    }
    const bool symbol =
        QString::fromLatin1(item->metaObject()->className()).startsWith("Symbol_"_L1);
    if (item->inherits("QQuickText") && !symbol && !item->property("text").toString().isEmpty()) {
        if (const std::optional<QColor> surface = surfaceBehind(item, windowColour)) {
            const QColor colour = composited(item->property("color").value<QColor>(), *surface);
            const double ratio = contrastRatio(colour, *surface);
            if (ratio < 4.5) {
                faults.append(u"\"%1\" in %2 on %3 reaches %4:1"_s
                                  .arg(item->property("text").toString().left(40), colour.name(),
                                       surface->name())
                                  .arg(ratio, 0, 'f', 2));
            }
        }
    }
    for (QQuickItem* child : item->childItems()) {
        collectIllegibleText(child, windowColour, faults);
    }
}

} // namespace

class TestAccessibilityQml : public QmlTest {
    Q_OBJECT

private Q_SLOTS:
    void everyControlIsNamedAndWhole_data() {
        QTest::addColumn<QString>("scene");
        QTest::addColumn<int>("width");
        QTest::addColumn<QList<AppManifestItem>>("apps");
        QTest::addColumn<int>("leastControls"); // in each view the walk visits
        AppManifestItem withNotes = publishedApp(u"alpha"_s);
        withNotes.releaseNotes = {{u"1.0"_s, u"May"_s, u"First."_s},
                                  {u"0.9"_s, u"April"_s, u"Beta."_s}};
        withNotes.sparkleFeedUrl = QUrl(u"https://updates.example.com/alpha.xml"_s);
        const QList<AppManifestItem> several{withNotes, publishedApp(u"beta"_s),
                                             comingSoonApp(u"soon"_s)};
        QTest::newRow("shell, wide") << u"shell"_s << 1200 << several << 5;
        QTest::newRow("shell, compact") << u"shell"_s << 960 << several << 5;
        QTest::newRow("shell, empty catalog")
            << u"shell"_s << 1200 << QList<AppManifestItem>() << 5;
        QTest::newRow("shell, coming soon only")
            << u"shell"_s << 960 << QList{comingSoonApp(u"soon"_s)} << 5;
        QTest::newRow("onboarding") << u"onboarding"_s << 1060 << several << 3;
        QTest::newRow("quick switcher") << u"switcher"_s << 1060 << several << 3;
        QTest::newRow("feedback sheet") << u"feedback"_s << 1060 << several << 5;
        QTest::newRow("settings window") << u"settings"_s << 1060 << several << 6;
    }

    // The shell is walked in every section, with and without search text; any QML warning on
    // the way fails the test too.
    void everyControlIsNamedAndWhole() {
        QFETCH(QString, scene);
        QFETCH(int, width);
        QFETCH(QList<AppManifestItem>, apps);
        QFETCH(int, leastControls);
        QmlLauncher launcher(catalogWith(apps), scene != u"onboarding"_s);
        QVERIFY(launcher.shown());
        launcher.resize(width);
        QQuickWindow* window = launcher.window;
        QStringList faults;
        const auto walk = [&](const QString& view) {
            launcher.settle();
            QStringList found;
            int controls = 0;
            collectFaults(window->contentItem(), found, controls);
            collectIllegibleText(window->contentItem(), window->color(), found);
            if (controls < leastControls) {
                found.append(u"only %1 controls reached"_s.arg(controls));
            }
            for (const QString& fault : std::as_const(found)) {
                faults.append(view + u": "_s + fault);
            }
        };
        if (QQuickItem* shell = launcher.item(u"launcherShell"_s)) {
            shell->setProperty("showCompactDetail", true);
            for (int section = 0; scene == u"shell"_s && section < 4; ++section) {
                shell->setProperty("selectedSection", section);
                shell->setProperty("searchText", u"  a "_s);
                walk(u"section %1, searching"_s.arg(section));
                shell->setProperty("searchText", QString());
                walk(u"section %1"_s.arg(section));
            }
        }
        if (scene == u"switcher"_s) {
            launcher.item(u"rootView"_s)->setProperty("showQuickSwitcher", true);
        } else if (scene == u"feedback"_s) {
            launcher.store->setShowingFeedbackSheet(true);
        } else if (scene == u"settings"_s) {
            launcher.actions->showSettingsWindow();
            window = launcher.actions->settingsWindow();
            QVERIFY(window);
        }
        launcher.settle();
        QTest::qWait(250); // layers fade in
        walk(scene);
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(u"\n"_s)));
    }
};

NIMBARA_REGISTER_TEST(TestAccessibilityQml);

#include "tst_accessibility_qml.moc"
