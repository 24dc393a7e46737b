#include "catalog/seed_manifest.h"
#include "platform/error.h"
#include "store/collaborator_contracts.h"
#include "support/temp_home.h"

#include <QCoro/QCoroTimer>
#include <QTest>
#include <QThread>
#include <QTimer>

using namespace nimbara;
using namespace std::chrono_literals;

namespace {

// A loader that answers after a timer, or fails with a network error, as a real one would.
class DelayedLoader : public ManifestLoading {
public:
    bool fail = false;
    QCoro::Task<LauncherManifest> loadManifest(NimbaraLocale locale) override {
        QTimer timer;
        timer.start(5ms);
        co_await timer;
        if (fail) {
            throw NetworkError(QStringLiteral("Host not found"));
        }
        LauncherManifest manifest = SeedManifest::manifest();
        LauncherAnnouncement note;
        note.id = QString(NimbaraLocales::rawValue(locale));
        manifest.announcements.append(note);
        co_return manifest;
    }
};

template <typename T> T runToEnd(QCoro::Task<T>&& task) {
    return QCoro::waitFor(std::move(task));
}

} // namespace

class TestContracts : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void asyncResultArrivesOnCallingThread();
    void errorsKeepTheirTypeAcrossTheAwait();
};

void TestContracts::asyncResultArrivesOnCallingThread() {
    DelayedLoader loader;
    auto check = [&]() -> QCoro::Task<QString> {
        const LauncherManifest manifest = co_await loader.loadManifest(NimbaraLocale::pl);
        QTest::qVerify(QThread::currentThread() == qApp->thread(), "main thread", "", __FILE__,
                       __LINE__);
        co_return manifest.announcements.value(0).id;
    };
    QCOMPARE(runToEnd(check()), u"pl"_qs);
}

void TestContracts::errorsKeepTheirTypeAcrossTheAwait() {
    DelayedLoader loader;
    loader.fail = true;
    auto attempt = [&]() -> QCoro::Task<QString> {
        try {
            co_await loader.loadManifest(NimbaraLocale::en);
            co_return QStringLiteral("no error");
        } catch (const NetworkError& error) {
            co_return error.description() + u" | "_qs + error.rendering();
        }
    };
    QCOMPARE(runToEnd(attempt()), uR"(Host not found | NetworkError("Host not found"))"_qs);
}

NIMBARA_TEST_MAIN(TestContracts)
#include "tst_contracts.moc"
