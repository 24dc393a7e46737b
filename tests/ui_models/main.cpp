// Runs every view-model test class of this folder, in a temporary home.
#include "support/temp_home.h"
#include "support/test_registry.h"

#include <QApplication>

int main(int argc, char** argv) {
    nimbara::test::TempHome home;
    // Widgets: the tray menu is a QMenu.
    QApplication app(argc, argv);
    return nimbara::test::runRegisteredTests(argc, argv);
}
