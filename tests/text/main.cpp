// Runs every text test class of this folder, in a temporary home.
#include "support/temp_home.h"
#include "support/test_registry.h"

#include <QCoreApplication>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    nimbara::test::TempHome home;
    return nimbara::test::runRegisteredTests(argc, argv);
}
