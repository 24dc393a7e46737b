// The preferences screen's view model over a store on substitutes: launch at login, the
// language and the uninstall-everything confirmation.

#include "model_store.h"
#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "support/test_registry.h"
#include "text/nimbara_copy.h"
#include "ui/preferences_view_model.h"

#include <QFile>
#include <QSignalSpy>
#include <QTest>
#include <memory>

using namespace nimbara;
using namespace nimbara::test;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(nimbara::LoginItemState)

namespace {

// Keeps the wish it is given and then reports the state the test scripted.
class ScriptedLoginItemManager : public FakeLoginItemManager {
public:
    LoginItemState answer;
    int settingsOpened = 0;

    void setDesired(bool enabled) override {
        desired = enabled;
        currentState = answer;
    }
    void openApprovalSettings() override { ++settingsOpened; }
};

QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestPreferencesModel : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void launchAtLogin_data() {
        QTest::addColumn<LoginItemState>("answer");
        QTest::addColumn<bool>("approvalNote");
        QTest::addColumn<QString>("errorNote");

        const QString refused = u"the session refused it"_s;
        QTest::newRow("enabled") << LoginItemState::enabled() << false << QString();
        QTest::newRow("requires approval")
            << LoginItemState::requiresApproval() << true << QString();
        QTest::newRow("failed") << LoginItemState::failed(refused) << false
                                << english(CopyKey::preferencesLaunchAtLoginError,
                                           {{u"reason"_s, refused}});
    }

    // Turning the switch on hands the wish to the manager, copies the state it reached into the
    // store, and shows the note that state calls for.
    void launchAtLogin() {
        QFETCH(LoginItemState, answer);
        QFETCH(bool, approvalNote);
        QFETCH(QString, errorNote);

        ModelStore s;
        auto manager = std::make_shared<ScriptedLoginItemManager>();
        manager->answer = answer;
        LauncherStoreWiring wiring = s.fakes.wiring(catalogWith({}), true);
        wiring.loginItemManager = manager;
        LauncherStore store(std::move(wiring));
        PreferencesViewModel model;
        model.setStore(&store);
        QVERIFY(!model.launchAtLogin());
        QVERIFY(!model.showsApprovalNote() && !model.showsErrorNote());

        QSignalSpy changed(&model, &PreferencesViewModel::launchAtLoginChanged);
        model.setLaunchAtLogin(true);
        QVERIFY(model.launchAtLogin());
        QVERIFY(manager->desiredEnabled());
        QCOMPARE(store.launchAtLoginState(), manager->state());
        QVERIFY(!changed.isEmpty());
        QCOMPARE(model.showsApprovalNote(), approvalNote);
        QCOMPARE(model.showsErrorNote(), !errorNote.isEmpty());
        QCOMPARE(model.errorNote(), errorNote);

        model.openLoginItemSettings();
        QCOMPARE(manager->settingsOpened, 1);
    }

    // Choosing a language switches the store at once and writes nothing to the preferences, so
    // the next start does not remember it.
    void languageChoice_data() {
        QTest::addColumn<int>("index");
        QTest::addColumn<NimbaraLocale>("locale");
        QTest::newRow("PL") << 1 << NimbaraLocale::pl;
        QTest::newRow("DE") << 2 << NimbaraLocale::de;
        QTest::newRow("out of range keeps EN") << 3 << NimbaraLocale::en;
    }
    void languageChoice() {
        QFETCH(int, index);
        QFETCH(NimbaraLocale, locale);
        ModelStore s;
        PreferencesViewModel model;
        LauncherStore& store = s.show(model, catalogWith({publishedApp(u"alpha"_s)}));
        QCOMPARE(model.languages(), QStringList({u"EN"_s, u"PL"_s, u"DE"_s}));
        QCOMPARE(model.languageIndex(), 0);
        const QByteArray before = fileBytes(s.fakes.preferencesPath);

        model.setLanguageIndex(index);
        QCOMPARE(store.locale(), locale);
        QCOMPARE(model.languageIndex(), static_cast<int>(locale));
        QCOMPARE(model.confirmationMessage(),
                 NimbaraCopy::text(CopyKey::uninstallEverythingConfirmBody, locale,
                                   {{u"count"_s, u"0"_s}}));
        QCOMPARE(fileBytes(s.fakes.preferencesPath), before);
    }

    void confirmationMessage_data() {
        QTest::addColumn<int>("managed");
        QTest::addColumn<bool>("deleteData");
        QTest::addColumn<QString>("message");
        const auto body = [](CopyKey key, const QString& count) {
            return english(key, {{u"count"_s, count}});
        };
        QTest::newRow("two managed")
            << 2 << false << body(CopyKey::uninstallEverythingConfirmBody, u"2"_s);
        QTest::newRow("one managed, with data")
            << 1 << true << body(CopyKey::uninstallEverythingConfirmBodyWithData, u"1"_s);
    }

    // The confirmation counts the managed apps; accepting it removes each of them with the
    // delete-app-data choice, and the button is off while that runs.
    void confirmationMessage() {
        QFETCH(int, managed);
        QFETCH(bool, deleteData);
        QFETCH(QString, message);
        const QList<AppManifestItem> apps = {publishedApp(u"alpha"_s), publishedApp(u"beta"_s),
                                             publishedApp(u"gamma"_s)};
        ModelStore s;
        for (int i = 0; i < managed; ++i) {
            s.persistInstalled(apps[i], u"1.0.0"_s);
        }
        LauncherStore& store = s.start(catalogWith(apps));
        settle();
        PreferencesViewModel model;
        model.setStore(&store);
        QVERIFY(!model.deleteAppData());
        model.setDeleteAppData(deleteData);
        QCOMPARE(model.confirmationMessage(), message);

        model.requestUninstall();
        QVERIFY(store.showingUninstallConfirmation());
        QList<bool> enabledDuringRemoval;
        s.fakes.uninstaller->onRemove = [&](const AppRemovalRequest&) {
            enabledDuringRemoval.append(model.uninstallEnabled());
        };
        model.confirmUninstall();
        settle();
        QCOMPARE(enabledDuringRemoval, QList<bool>(managed, false));
        QCOMPARE(s.fakes.uninstaller->requests.size(), managed);
        for (const AppRemovalRequest& request : s.fakes.uninstaller->requests) {
            QCOMPARE(request.deleteData, deleteData);
        }
    }
};

NIMBARA_REGISTER_TEST(TestPreferencesModel);

#include "tst_preferences_model.moc"
