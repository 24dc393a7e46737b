#include "text/copy_table.h"

namespace nimbara::copy_table {

// German templates. The switch has no default, so a key without a case fails to compile.
QStringView german(CopyKey key) {
    switch (key) {
    case CopyKey::brand:
        return u"Nimbara";
    case CopyKey::ok:
        return u"OK";
    case CopyKey::refreshCatalog:
        return u"Nach Apps suchen";
    case CopyKey::openNimbara:
        return u"Nimbara öffnen...";
    case CopyKey::appCount:
        return u"{{count}} Apps bereit";
    case CopyKey::betaBadge:
        return u"Verfügbar";
    case CopyKey::statusReady:
        return u"Bereit";
    case CopyKey::statusComingSoon:
        return u"Bald verfügbar";
    case CopyKey::statusLive:
        return u"Veröffentlicht";
    case CopyKey::statusBeta:
        return u"Verfügbar";
    case CopyKey::statusRetired:
        return u"Eingestellt";
    case CopyKey::installNotInstalled:
        return u"Nicht installiert";
    case CopyKey::installInstalling:
        return u"Installiere {{progress}}%";
    case CopyKey::installInstalled:
        return u"Installiert {{version}}";
    case CopyKey::installUpdateAvailable:
        return u"{{installed}} -> {{latest}}";
    case CopyKey::installFailed:
        return u"Fehlgeschlagen";
    case CopyKey::installAction:
        return u"Installieren";
    case CopyKey::installingAction:
        return u"Installiere";
    case CopyKey::openAction:
        return u"Öffnen";
    case CopyKey::updateAction:
        return u"Aktualisieren";
    case CopyKey::notInstalledDetail:
        return u"Bereit zur Installation.";
    case CopyKey::installingDetail:
        return u"Wird gerade installiert.";
    case CopyKey::installedDetail:
        return u"Bereit zum Öffnen auf diesem Computer.";
    case CopyKey::updateDetail:
        return u"Eine neuere Version ist bereit.";
    case CopyKey::cancelInstallAction:
        return u"Abbrechen";
    case CopyKey::downloadProgress:
        return u"{{received}} von {{total}} · {{rate}} · {{remaining}}";
    case CopyKey::downloadProgressNoTotal:
        return u"{{received}} · {{rate}}";
    case CopyKey::downloadRate:
        return u"{{size}}/s";
    case CopyKey::sizeKilobytes:
        return u"{{value}} kB";
    case CopyKey::sizeMegabytes:
        return u"{{value}} MB";
    case CopyKey::sizeGigabytes:
        return u"{{value}} GB";
    case CopyKey::timeLeftSeconds:
        return u"noch {{count}} s";
    case CopyKey::timeLeftMinutes:
        return u"noch {{count}} min";
    case CopyKey::sidebarHome:
        return u"Start";
    case CopyKey::sidebarAllApps:
        return u"Alle Apps";
    case CopyKey::sidebarSelected:
        return u"Ausgewählt";
    case CopyKey::sidebarUpdates:
        return u"Updates";
    case CopyKey::sidebarPreferences:
        return u"Einstellungen";
    case CopyKey::sidebarCategories:
        return u"Kategorien";
    case CopyKey::sidebarQuickSwitcher:
        return u"Schnellwechsler";
    case CopyKey::topLibrary:
        return u"Bibliothek";
    case CopyKey::topCatalog:
        return u"Nimbara-Apps";
    case CopyKey::topSearchApps:
        return u"Apps suchen";
    case CopyKey::topClearSearch:
        return u"Suche leeren";
    case CopyKey::topQuickSwitch:
        return u"Schnell wechseln";
    case CopyKey::onboardingWelcome:
        return u"Willkommen bei Nimbara.";
    case CopyKey::onboardingStepChoose:
        return u"Apps auswählen";
    case CopyKey::onboardingStepInstall:
        return u"Ausgewählte Apps installieren";
    case CopyKey::onboardingStepOpen:
        return u"Launcher öffnen";
    case CopyKey::onboardingStatus:
        return u"{{count}} Apps bereit zur Installation";
    case CopyKey::onboardingTitle:
        return u"Wähle aus, was du zuerst installieren möchtest";
    case CopyKey::onboardingLead:
        return u"Wähle die Apps, die du auf diesem Computer haben möchtest. Den Rest kannst du "
               u"später installieren.";
    case CopyKey::onboardingSelectedCount:
        return u"{{count}} Apps ausgewählt";
    case CopyKey::onboardingContinue:
        return u"Weiter";
    case CopyKey::homeGreeting:
        return u"Willkommen zurück{{name}}.";
    case CopyKey::homeSubtitleEmpty:
        return u"Nimbara ist bereit. Apps werden hier angezeigt, sobald sie veröffentlicht werden.";
    case CopyKey::homeSubtitleApps:
        return u"{{count}} Apps sind bereit zur Installation.";
    case CopyKey::emptyTitle:
        return u"Noch keine Apps verfügbar";
    case CopyKey::emptyBody:
        return u"Du hast den Launcher bereits. Sobald die erste App bereit ist, erscheint sie hier "
               u"automatisch.";
    case CopyKey::emptyPrimaryAction:
        return u"Nach Apps suchen";
    case CopyKey::emptyTrustTitle:
        return u"Wie es weitergeht";
    case CopyKey::emptyTrustBody:
        return u"Neue Apps erscheinen hier erst, wenn es einen echten Download und einen kurzen "
               u"Datenschutzhinweis gibt.";
    case CopyKey::comingSoonTitle:
        return u"Apps sind bald verfügbar";
    case CopyKey::comingSoonBody:
        return u"Diese Apps sind in Arbeit. Sobald ein Download bereit ist, siehst du eine "
               u"Schaltfläche zum Installieren.";
    case CopyKey::comingSoonTileStatus:
        return u"Nur Vorschau";
    case CopyKey::firstAppTitle:
        return u"Bereit zur Installation";
    case CopyKey::firstAppBody:
        return u"Öffne die App-Seite, um zu sehen, was sie macht, was sich geändert hat und was "
               u"auf deinem Computer bleibt.";
    case CopyKey::publishedAppsTitle:
        return u"Jetzt bereit";
    case CopyKey::appListSubtitle:
        return u"{{count}} Apps";
    case CopyKey::allAppsTitle:
        return u"Alle Apps";
    case CopyKey::selectedAppsTitle:
        return u"Ausgewählte Apps";
    case CopyKey::updatesTitle:
        return u"Updates";
    case CopyKey::noAppsTitle:
        return u"Keine Apps passen zu dieser Ansicht";
    case CopyKey::noAppsBody:
        return u"Wähle einen anderen Bereich oder leere die Suche.";
    case CopyKey::noUpdatesTitle:
        return u"Derzeit keine Updates";
    case CopyKey::noUpdatesBody:
        return u"Neue App-Versionen erscheinen hier nach der Veröffentlichung.";
    case CopyKey::noSelectedTitle:
        return u"Noch keine Apps ausgewählt";
    case CopyKey::noSelectedBody:
        return u"Wähle verfügbare Apps bei der Einrichtung oder in der Bibliothek aus.";
    case CopyKey::basicsTitle:
        return u"Gut zu wissen";
    case CopyKey::basicsOne:
        return u"Apps mit der Markierung Bereit kannst du über diesen Launcher installieren.";
    case CopyKey::basicsTwo:
        return u"Apps mit der Markierung Bald verfügbar sind schon sichtbar, aber noch nicht "
               u"herunterladbar.";
    case CopyKey::basicsThree:
        return u"Wenn eine neue App erscheint, informiert dich Nimbara hier.";
    case CopyKey::selectedAppEmptyTitle:
        return u"Keine App ausgewählt";
    case CopyKey::selectedAppEmptyBody:
        return u"Wähle eine App, um zu sehen, was sie macht und ob sie bereit zur Installation "
               u"ist.";
    case CopyKey::detailsTitle:
        return u"Details";
    case CopyKey::bundleID:
        return u"App-ID";
    case CopyKey::version:
        return u"Version";
    case CopyKey::minimumMacOS:
        return u"Minimale Systemversion";
    case CopyKey::checksum:
        return u"Download-Prüfung";
    case CopyKey::checksumVerified:
        return u"Vor der Installation geprüft";
    case CopyKey::updateFeed:
        return u"Updates";
    case CopyKey::pendingRelease:
        return u"Noch nicht bereit";
    case CopyKey::notConfigured:
        return u"Nicht konfiguriert";
    case CopyKey::recentUpdates:
        return u"Letzte Updates";
    case CopyKey::privacyTitle:
        return u"Datenschutz";
    case CopyKey::quickSearchPlaceholder:
        return u"Nimbara-Apps durchsuchen";
    case CopyKey::quickResults:
        return u"Apps · {{count}} Ergebnisse";
    case CopyKey::quickNoResults:
        return u"Keine Ergebnisse";
    case CopyKey::quickOpenHint:
        return u"Öffnen";
    case CopyKey::quickInstallHint:
        return u"Installieren";
    case CopyKey::quickFooterLeft:
        return u"↑↓ navigieren";
    case CopyKey::quickFooterRight:
        return u"↵ öffnen · esc schließen";
    case CopyKey::menuQuickLaunch:
        return u"Schnellstart";
    case CopyKey::menuUpdates:
        return u"Updates";
    case CopyKey::menuUpdatesDetail:
        return u"Neue Versionen erscheinen hier";
    case CopyKey::menuCheckForUpdates:
        return u"Nach Updates suchen...";
    case CopyKey::menuMore:
        return u"Mehr";
    case CopyKey::menuQuit:
        return u"Nimbara beenden";
    case CopyKey::updateChecking:
        return u"Suche nach Updates…";
    case CopyKey::updateAvailableTitle:
        return u"Nimbara {{version}} ist verfügbar";
    case CopyKey::updateAvailableBody:
        return u"Du hast Version {{installed}}. Nimbara startet neu, sobald das Update installiert "
               u"ist.";
    case CopyKey::updateInstall:
        return u"Update installieren";
    case CopyKey::updateLater:
        return u"Später";
    case CopyKey::updateInstalling:
        return u"Nimbara {{version}} wird installiert…";
    case CopyKey::updateRelaunching:
        return u"Nimbara wird neu gestartet…";
    case CopyKey::updateUpToDateTitle:
        return u"Alles auf dem neuesten Stand";
    case CopyKey::updateUpToDateBody:
        return u"Nimbara {{version}} ist die neueste verfügbare Version.";
    case CopyKey::updateCheckFailed:
        return u"Die Suche nach Updates ist fehlgeschlagen: {{reason}}";
    case CopyKey::updateInstallFailed:
        return u"Das Update konnte nicht installiert werden: {{reason}}";
    case CopyKey::updateReleaseNotesLink:
        return u"Vollständige Versionshinweise";
    case CopyKey::updateCancel:
        return u"Abbrechen";
    case CopyKey::sendFeedback:
        return u"Feedback senden";
    case CopyKey::feedbackTitle:
        return u"Feedback senden";
    case CopyKey::feedbackLead:
        return u"Melde einen Fehler, schlage eine Idee vor oder sag uns, was sich besser anfühlen "
               u"sollte.";
    case CopyKey::feedbackType:
        return u"Art";
    case CopyKey::feedbackTypeBug:
        return u"Fehler";
    case CopyKey::feedbackTypeIdea:
        return u"Idee";
    case CopyKey::feedbackTypeImprovement:
        return u"Verbesserung";
    case CopyKey::feedbackTypeOther:
        return u"Sonstiges";
    case CopyKey::feedbackRelatedApp:
        return u"Betroffene App";
    case CopyKey::feedbackNoRelatedApp:
        return u"Keine App";
    case CopyKey::feedbackSummary:
        return u"Zusammenfassung";
    case CopyKey::feedbackSummaryPlaceholder:
        return u"Kurzer Titel";
    case CopyKey::feedbackDescription:
        return u"Details";
    case CopyKey::feedbackDescriptionPlaceholder:
        return u"Was ist passiert, was hast du erwartet oder was würdest du gern sehen?";
    case CopyKey::feedbackDiagnosticsTitle:
        return u"Diagnose";
    case CopyKey::feedbackDiagnosticsBody:
        return u"Nimbara sendet mit deiner Meldung grundlegende Angaben mit, etwa die "
               u"Systemversion, die Sprache und die ausgewählte App.";
    case CopyKey::feedbackCancel:
        return u"Abbrechen";
    case CopyKey::feedbackSubmit:
        return u"Senden";
    case CopyKey::feedbackSubmitting:
        return u"Wird gesendet";
    case CopyKey::feedbackSuccessTitle:
        return u"Feedback gesendet";
    case CopyKey::feedbackSuccessBody:
        return u"Danke. Wir lesen es und melden uns bei Bedarf.";
    case CopyKey::feedbackIssue:
        return u"Meldung {{identifier}}";
    case CopyKey::feedbackClose:
        return u"Schließen";
    case CopyKey::feedbackSubmitFailed:
        return u"Das Feedback konnte gerade nicht gesendet werden.";
    case CopyKey::preferencesGeneral:
        return u"Allgemein";
    case CopyKey::preferencesApps:
        return u"Apps";
    case CopyKey::preferencesUpdates:
        return u"Updates";
    case CopyKey::preferencesAdvanced:
        return u"Erweitert";
    case CopyKey::preferencesLaunchAtLogin:
        return u"Nimbara bei der Anmeldung starten";
    case CopyKey::preferencesLaunchAtLoginRequiresApproval:
        return u"Das System verlangt deine Zustimmung, bevor Nimbara bei der Anmeldung starten "
               u"kann.";
    case CopyKey::preferencesLaunchAtLoginOpenSettings:
        return u"Autostart-Einstellungen öffnen";
    case CopyKey::preferencesLaunchAtLoginError:
        return u"Der Start bei der Anmeldung konnte nicht geändert werden: {{reason}}";
    case CopyKey::preferencesShowInMenuBar:
        return u"In der Systemleiste anzeigen";
    case CopyKey::preferencesIncludeBetaApps:
        return u"Alle verfügbaren Apps einbeziehen";
    case CopyKey::preferencesLanguage:
        return u"Sprache";
    case CopyKey::preferencesGlobalShortcut:
        return u"Globales Tastenkürzel";
    case CopyKey::preferencesReleaseReadiness:
        return u"App-Bereitschaft";
    case CopyKey::preferencesSigning:
        return u"Nur Apps mit einem echten Download für dieses System können installiert werden.";
    case CopyKey::preferencesUpdateFeeds:
        return u"Updates erscheinen hier, sobald eine neue Version veröffentlicht wird.";
    case CopyKey::preferencesChecksums:
        return u"Nimbara prüft Downloads vor der Installation.";
    case CopyKey::preferencesResetOnboarding:
        return u"Einführung zurücksetzen";
    case CopyKey::removeAction:
        return u"Entfernen";
    case CopyKey::removeAppConfirmTitle:
        return u"{{app}} entfernen?";
    case CopyKey::removeAppConfirmBody:
        return u"{{app}} wird in den Papierkorb verschoben. Du kannst die App später über Nimbara "
               u"erneut installieren.";
    case CopyKey::removeAppConfirmButton:
        return u"In den Papierkorb legen";
    case CopyKey::uninstallSectionTitle:
        return u"Nimbara deinstallieren";
    case CopyKey::uninstallSectionBody:
        return u"Entferne alle installierten Apps und Nimbara selbst von diesem Computer.";
    case CopyKey::uninstallDeleteDataToggle:
        return u"Auch App-Daten löschen";
    case CopyKey::uninstallEverythingAction:
        return u"Nimbara und alle Apps deinstallieren";
    case CopyKey::uninstallEverythingConfirmTitle:
        return u"Nimbara und alle Apps deinstallieren?";
    case CopyKey::uninstallEverythingConfirmBody:
        return u"{{count}} Apps und Nimbara werden in den Papierkorb verschoben und Nimbara wird "
               u"beendet. App-Daten bleiben auf diesem Computer.";
    case CopyKey::uninstallEverythingConfirmBodyWithData:
        return u"{{count}} Apps und Nimbara werden in den Papierkorb verschoben, ihre Daten werden "
               u"gelöscht und Nimbara wird beendet.";
    case CopyKey::uninstallEverythingConfirmButton:
        return u"Deinstallieren und beenden";
    case CopyKey::uninstallCancel:
        return u"Abbrechen";
    case CopyKey::uninstallPartialFailure:
        return u"Einige Teile von {{app}} konnten nicht entfernt werden: {{reason}}";
    case CopyKey::uninstallEverythingPartialFailure:
        return u"Die Deinstallation wurde mit Problemen abgeschlossen: {{reason}}";
    case CopyKey::announcementTitle:
        return u"Neu in Nimbara";
    case CopyKey::announcementOpenApp:
        return u"App ansehen";
    case CopyKey::announcementDismiss:
        return u"Nicht jetzt";
    case CopyKey::errorManifestFallback:
        return u"Apps konnten nicht aktualisiert werden. Der zuletzt bekannte Stand wird "
               u"angezeigt.";
    case CopyKey::errorCannotInstall:
        return u"{{app}} kann gerade nicht installiert werden.";
    case CopyKey::errorInstallFailed:
        return u"{{app}} konnte nicht installiert werden. {{reason}}";
    case CopyKey::errorNoBundle:
        return u"Auf diesem Computer wurde kein App-Paket für {{app}} gefunden.";
    case CopyKey::errorArchiveLayout:
        return u"Der Download muss genau eine App auf oberster Ebene enthalten.";
    case CopyKey::errorReinstallRequired:
        return u"{{app}} auf diesem Computer stimmt nicht mehr mit dem überein, was Nimbara "
               u"installiert hat. Installiere die App erneut über Nimbara.";
    case CopyKey::updateAllAction:
        return u"Alle aktualisieren ({{count}})";
    case CopyKey::cancelUpdateAllAction:
        return u"Aktualisierung stoppen";
    case CopyKey::rollBackAction:
        return u"Zurück zu {{version}}";
    case CopyKey::errorUpdateAllFailed:
        return u"Diese Apps konnten nicht aktualisiert werden: {{apps}}. Die Seite jeder App nennt "
               u"den Grund.";
    case CopyKey::errorRollBackFailed:
        return u"{{app}} konnte nicht zurückgesetzt werden. {{reason}}";
    case CopyKey::errorNoKeptCopy:
        return u"Auf diesem Computer ist keine frühere Version dieser App aufbewahrt.";
    case CopyKey::codeValidationMissingTeamID:
        return u"Für diesen Nimbara-Build ist kein Signaturteam konfiguriert, daher können keine "
               u"Apps installiert werden.";
    case CopyKey::codeValidationUnreadableBundle:
        return u"Das App-Paket konnte nicht gelesen werden.";
    case CopyKey::codeValidationBundleIdentifierMismatch:
        return u"Die Kennung der App stimmt nicht mit dem Katalog überein.";
    case CopyKey::codeValidationBundleVersionMismatch:
        return u"Die Version der App stimmt nicht mit dem veröffentlichten Release überein.";
    case CopyKey::codeValidationInvalidSignature:
        return u"Die Codesignatur der App fehlt oder ist ungültig.";
    case CopyKey::codeValidationSigningIdentifierMismatch:
        return u"Die Signatur der App wurde für eine andere App erstellt.";
    case CopyKey::codeValidationNotDeveloperID:
        return u"Die App ist nicht mit einem anerkannten Entwicklerzertifikat signiert.";
    case CopyKey::codeValidationTeamMismatch:
        return u"Die App wurde von einem Team signiert, dem Nimbara nicht vertraut.";
#define NIMBARA_CLI_KEY_CASE(name) case CopyKey::name:
        NIMBARA_CLI_COPY_KEYS(NIMBARA_CLI_KEY_CASE)
#undef NIMBARA_CLI_KEY_CASE
        return commandLineGerman(key);
    }
    return {};
}

} // namespace nimbara::copy_table
