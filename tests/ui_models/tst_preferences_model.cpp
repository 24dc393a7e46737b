// The preferences screen's view model over a store on substitutes: launch at login, the
// language and the uninstall-everything confirmation.

#include "model_store.h"
#include "store/launcher_store.h"
#include "support/catalog_samples.h"
#include "support/fake_collaborators.h"
#include "support/test_files.h"
#include "support/test_registry.h"
#include "text/nimbara_copy.h"
#include "ui/preferences_view_model.h"

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
        const QByteArray before = readBytes(s.fakes.preferencesPath);

        model.setLanguageIndex(index);
        QCOMPARE(store.locale(), locale);
        QCOMPARE(model.languageIndex(), static_cast<int>(locale));
        QCOMPARE(model.confirmationMessage(),
                 NimbaraCopy::text(CopyKey::uninstallEverythingConfirmBody, locale,
                                   {{u"count"_s, u"0"_s}}));
        QCOMPARE(readBytes(s.fakes.preferencesPath), before);
    }
};

NIMBARA_REGISTER_TEST(TestPreferencesModel);

#include "tst_preferences_model.moc"
