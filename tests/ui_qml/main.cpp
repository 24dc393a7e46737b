// Runs every QML test class of this folder over offscreen windows, in a temporary home.
#include "support/temp_home.h"
#include "support/test_registry.h"

#include <QApplication>
#include <QQuickWindow>

int main(int argc, char** argv) {
    nimbara::test::TempHome home;
    QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
    // The test macros take the application for a QApplication once Qt Widgets is linked in.
    QApplication app(argc, argv);
    return nimbara::test::runRegisteredTests(argc, argv);
}
