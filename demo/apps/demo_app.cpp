// One small desktop app of the demo family. Each app of the family is this source built with its
// own identity (DEMO_APP_* definitions, from demo/apps/family.json): a window that shows who it is.
// `--identify` prints "<id> <version> <bundle id>" and exits, so that a check can tell which build
// a bundle carries without opening a window.

#include <QApplication>
#include <QColor>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>
#include <cstring>

namespace {

struct Identity {
    QString id = QString::fromUtf8(DEMO_APP_ID);
    QString name = QString::fromUtf8(DEMO_APP_NAME);
    QString version = QString::fromUtf8(DEMO_APP_VERSION);
    QString bundleId = QString::fromUtf8(DEMO_APP_BUNDLE_ID);
    QString category = QString::fromUtf8(DEMO_APP_CATEGORY);
    QString tags = QString::fromUtf8(DEMO_APP_TAGS);
    QString accent = QString::fromUtf8(DEMO_APP_ACCENT);
    QString symbolName = QString::fromUtf8(DEMO_APP_SYMBOL);
};

// The family's accent colours.
QColor accentColour(const QString& accent) {
    if (accent == QLatin1String("lime"))
        return QColor(0x8b, 0xc3, 0x4a);
    if (accent == QLatin1String("violet"))
        return QColor(0x7e, 0x57, 0xc2);
    if (accent == QLatin1String("amber"))
        return QColor(0xff, 0xb3, 0x00);
    if (accent == QLatin1String("blue"))
        return QColor(0x1e, 0x88, 0xe5);
    return QColor(0x00, 0xac, 0xc1); // cyan
}

QWidget* makeWindow(const Identity& app) {
    auto* window = new QWidget;
    window->setWindowTitle(app.name);
    auto* layout = new QVBoxLayout(window);

    auto* swatch = new QLabel(app.symbolName);
    swatch->setAlignment(Qt::AlignCenter);
    swatch->setMinimumHeight(72);
    swatch->setStyleSheet(QStringLiteral("background: %1; color: white; font-size: 18px; "
                                         "border-radius: 12px;")
                              .arg(accentColour(app.accent).name()));
    layout->addWidget(swatch);

    auto* title = new QLabel(QStringLiteral("<h2>%1</h2>").arg(app.name.toHtmlEscaped()));
    title->setAlignment(Qt::AlignCenter);
    layout->addWidget(title);

    auto* details = new QFormLayout;
    details->addRow(QStringLiteral("Version"), new QLabel(app.version));
    details->addRow(QStringLiteral("Bundle ID"), new QLabel(app.bundleId));
    details->addRow(QStringLiteral("Category"), new QLabel(app.category));
    details->addRow(QStringLiteral("Tags"), new QLabel(app.tags));
    details->addRow(QStringLiteral("Accent"), new QLabel(app.accent));
    details->addRow(QStringLiteral("Symbol"), new QLabel(app.symbolName));
    layout->addLayout(details);
    window->resize(360, 320);
    return window;
}

} // namespace

int main(int argc, char** argv) {
    const Identity app;
    if (argc == 2 && std::strcmp(argv[1], "--identify") == 0) {
        std::printf("%s %s %s\n", DEMO_APP_ID, DEMO_APP_VERSION, DEMO_APP_BUNDLE_ID);
        return 0;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(app.name);
    QApplication::setApplicationVersion(app.version);
    QWidget* window = makeWindow(app);
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    return application.exec();
}
