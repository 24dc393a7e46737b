#pragma once

#include <QObject>

// The launcher's network services against real HTTP servers on the loopback interface. The
// slots are spread over tst_network_*.cpp by concern.
class TestNetwork : public QObject {
    Q_OBJECT

private Q_SLOTS:
    // tst_network.cpp
    void sharedManagerIsConfiguredOnce();
    void configuredURLResolution_data();
    void configuredURLResolution();
    void serviceURLJoinsPaths_data();
    void serviceURLJoinsPaths();

    // tst_network_catalog.cpp
    void loadsCatalogWithOneGet();
    void catalogAnswers_data();
    void catalogAnswers();
    void catalogTransportFailures_data();
    void catalogTransportFailures();
    void followsPlainRedirect();
    void refusesRedirectFromHttpsToHttp();
    void setsLanguageQueryItem_data();
    void setsLanguageQueryItem();

    // tst_network_feedback.cpp
    void feedbackAnswers_data();
    void feedbackAnswers();
    void feedbackRequestCarriesWhatItIsGiven_data();
    void feedbackRequestCarriesWhatItIsGiven();

    // tst_network_reporting.cpp
    void sentryStoreEndpoints_data();
    void sentryStoreEndpoints();
    void reportsErrorEvents();
    void reportsNothingWithoutUsableDsn_data();
    void reportsNothingWithoutUsableDsn();
    void operationalEventCoding_data();
    void operationalEventCoding();
    void eventSinkPostsWithoutWaiting();
};
