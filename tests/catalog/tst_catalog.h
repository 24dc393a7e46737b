#pragma once

#include <QObject>

// Catalog records, their JSON form and the shared JSON helpers. The slots are spread over
// tst_catalog_*.cpp by concern.
class TestCatalog : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // tst_catalog_decoding.cpp
    void decodesEveryField();
    void minimalDocumentEqualsSeed();
    void acceptsDocument_data();
    void acceptsDocument();
    void rejectsDocument_data();
    void rejectsDocument();
    void rejectsMalformedBytes_data();
    void rejectsMalformedBytes();

    // tst_catalog_coding.cpp
    void roundTripsRichCatalog();
    void encodingOmitsAbsentOptionals();
    void encoderPrettyPrintsSortedKeys();
    void parsesDateTimes_data();
    void parsesDateTimes();
    void formatsDateTimes();
    void parsesAbsoluteUrls_data();
    void parsesAbsoluteUrls();
    void readerChecksNumbersAndPaths();

    // tst_catalog_values.cpp
    void equalityAndHashCoverEveryField_data();
    void equalityAndHashCoverEveryField();
    void enumerationsMatchRawValuesExactly();
    void statusLabels_data();
    void statusLabels();
    void seedIsBuiltOnce();
};
