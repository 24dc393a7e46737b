#include "tst_catalog.h"

#include "support/temp_home.h"

NIMBARA_TEST_MAIN(TestCatalog)
