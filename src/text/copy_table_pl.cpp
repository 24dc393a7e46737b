#include "text/copy_table.h"

namespace nimbara::copy_table {

// Polish templates. The switch has no default, so a key without a case fails to compile.
QStringView polish(CopyKey key) {
    switch (key) {
    case CopyKey::brand:
        return u"Nimbara";
    case CopyKey::ok:
        return u"OK";
    case CopyKey::refreshCatalog:
        return u"Sprawdź aplikacje";
    case CopyKey::openNimbara:
        return u"Otwórz Nimbarę...";
    case CopyKey::appCount:
        return u"{{count}} aplikacje gotowe";
    case CopyKey::betaBadge:
        return u"Dostępna";
    case CopyKey::statusReady:
        return u"Gotowa";
    case CopyKey::statusComingSoon:
        return u"Wkrótce";
    case CopyKey::statusLive:
        return u"Opublikowana";
    case CopyKey::statusBeta:
        return u"Dostępna";
    case CopyKey::statusRetired:
        return u"Wycofana";
    case CopyKey::installNotInstalled:
        return u"Niezainstalowana";
    case CopyKey::installInstalling:
        return u"Instalowanie {{progress}}%";
    case CopyKey::installInstalled:
        return u"Zainstalowana {{version}}";
    case CopyKey::installUpdateAvailable:
        return u"{{installed}} -> {{latest}}";
    case CopyKey::installFailed:
        return u"Niepowodzenie";
    case CopyKey::installAction:
        return u"Zainstaluj";
    case CopyKey::installingAction:
        return u"Instalowanie";
    case CopyKey::openAction:
        return u"Otwórz";
    case CopyKey::updateAction:
        return u"Aktualizuj";
    case CopyKey::notInstalledDetail:
        return u"Gotowa do instalacji.";
    case CopyKey::installingDetail:
        return u"Trwa instalacja.";
    case CopyKey::installedDetail:
        return u"Gotowa do otwarcia na tym komputerze.";
    case CopyKey::updateDetail:
        return u"Nowsza wersja jest gotowa.";
    case CopyKey::cancelInstallAction:
        return u"Anuluj";
    case CopyKey::downloadProgress:
        return u"{{received}} z {{total}} · {{rate}} · {{remaining}}";
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
        return u"jeszcze {{count}} s";
    case CopyKey::timeLeftMinutes:
        return u"jeszcze {{count}} min";
    case CopyKey::sidebarHome:
        return u"Start";
    case CopyKey::sidebarAllApps:
        return u"Wszystkie aplikacje";
    case CopyKey::sidebarSelected:
        return u"Wybrane";
    case CopyKey::sidebarUpdates:
        return u"Aktualizacje";
    case CopyKey::sidebarPreferences:
        return u"Ustawienia";
    case CopyKey::sidebarCategories:
        return u"Kategorie";
    case CopyKey::sidebarQuickSwitcher:
        return u"Szybki przełącznik";
    case CopyKey::topLibrary:
        return u"Biblioteka";
    case CopyKey::topCatalog:
        return u"Aplikacje Nimbara";
    case CopyKey::topSearchApps:
        return u"Szukaj aplikacji";
    case CopyKey::topClearSearch:
        return u"Wyczyść wyszukiwanie";
    case CopyKey::topQuickSwitch:
        return u"Szybkie przełączanie";
    case CopyKey::onboardingWelcome:
        return u"Witaj w Nimbarze.";
    case CopyKey::onboardingStepChoose:
        return u"Wybierz aplikacje";
    case CopyKey::onboardingStepInstall:
        return u"Zainstaluj wybrane aplikacje";
    case CopyKey::onboardingStepOpen:
        return u"Otwórz launcher";
    case CopyKey::onboardingStatus:
        return u"{{count}} aplikacje gotowe do instalacji";
    case CopyKey::onboardingTitle:
        return u"Wybierz, co zainstalować najpierw";
    case CopyKey::onboardingLead:
        return u"Wybierz aplikacje, które chcesz mieć na tym komputerze. Resztę możesz "
               u"zainstalować później.";
    case CopyKey::onboardingSelectedCount:
        return u"{{count}} wybrane";
    case CopyKey::onboardingContinue:
        return u"Dalej";
    case CopyKey::homeGreeting:
        return u"Cześć{{name}}.";
    case CopyKey::homeSubtitleEmpty:
        return u"Nimbara jest gotowa. Aplikacje pojawią się tutaj, gdy zostaną wydane.";
    case CopyKey::homeSubtitleApps:
        return u"{{count}} aplikacje są gotowe do instalacji.";
    case CopyKey::emptyTitle:
        return u"Nie ma jeszcze dostępnych aplikacji";
    case CopyKey::emptyBody:
        return u"Masz już launcher. Gdy pierwsza aplikacja będzie gotowa, pojawi się tutaj "
               u"automatycznie.";
    case CopyKey::emptyPrimaryAction:
        return u"Sprawdź aplikacje";
    case CopyKey::emptyTrustTitle:
        return u"Co dalej";
    case CopyKey::emptyTrustBody:
        return u"Nowe aplikacje pojawiają się tutaj dopiero wtedy, gdy mają prawdziwy plik do "
               u"pobrania i krótką informację o prywatności.";
    case CopyKey::comingSoonTitle:
        return u"Aplikacje już wkrótce";
    case CopyKey::comingSoonBody:
        return u"Te aplikacje są w przygotowaniu. Przycisk instalacji pojawi się, gdy plik do "
               u"pobrania będzie gotowy.";
    case CopyKey::comingSoonTileStatus:
        return u"Tylko podgląd";
    case CopyKey::firstAppTitle:
        return u"Gotowa do instalacji";
    case CopyKey::firstAppBody:
        return u"Otwórz stronę aplikacji, aby zobaczyć, co robi, co się zmieniło i co zostaje na "
               u"Twoim komputerze.";
    case CopyKey::publishedAppsTitle:
        return u"Już gotowe";
    case CopyKey::appListSubtitle:
        return u"{{count}} aplikacje";
    case CopyKey::allAppsTitle:
        return u"Wszystkie aplikacje";
    case CopyKey::selectedAppsTitle:
        return u"Wybrane aplikacje";
    case CopyKey::updatesTitle:
        return u"Aktualizacje";
    case CopyKey::noAppsTitle:
        return u"Żadna aplikacja nie pasuje do tego widoku";
    case CopyKey::noAppsBody:
        return u"Wybierz inną sekcję lub wyczyść wyszukiwanie.";
    case CopyKey::noUpdatesTitle:
        return u"Obecnie brak aktualizacji";
    case CopyKey::noUpdatesBody:
        return u"Nowe wersje aplikacji pojawią się tutaj po publikacji.";
    case CopyKey::noSelectedTitle:
        return u"Nie wybrano jeszcze żadnych aplikacji";
    case CopyKey::noSelectedBody:
        return u"Wybierz gotowe aplikacje podczas konfiguracji lub w bibliotece.";
    case CopyKey::basicsTitle:
        return u"Warto wiedzieć";
    case CopyKey::basicsOne:
        return u"Aplikacje oznaczone jako Gotowa można zainstalować z tego launchera.";
    case CopyKey::basicsTwo:
        return u"Aplikacje oznaczone jako Wkrótce są widoczne wcześniej, ale nie można ich jeszcze "
               u"pobrać.";
    case CopyKey::basicsThree:
        return u"Gdy pojawi się nowa aplikacja, Nimbara da Ci znać tutaj.";
    case CopyKey::selectedAppEmptyTitle:
        return u"Nie wybrano aplikacji";
    case CopyKey::selectedAppEmptyBody:
        return u"Wybierz aplikację, aby zobaczyć, co robi i czy jest gotowa do instalacji.";
    case CopyKey::detailsTitle:
        return u"Szczegóły";
    case CopyKey::bundleID:
        return u"ID aplikacji";
    case CopyKey::version:
        return u"Wersja";
    case CopyKey::minimumMacOS:
        return u"Minimalna wersja systemu";
    case CopyKey::checksum:
        return u"Weryfikacja pobierania";
    case CopyKey::checksumVerified:
        return u"Sprawdzane przed instalacją";
    case CopyKey::updateFeed:
        return u"Aktualizacje";
    case CopyKey::pendingRelease:
        return u"Jeszcze niegotowa";
    case CopyKey::notConfigured:
        return u"Nie skonfigurowano";
    case CopyKey::recentUpdates:
        return u"Ostatnie aktualizacje";
    case CopyKey::privacyTitle:
        return u"Prywatność";
    case CopyKey::quickSearchPlaceholder:
        return u"Szukaj aplikacji Nimbara";
    case CopyKey::quickResults:
        return u"Aplikacje · {{count}} wyników";
    case CopyKey::quickNoResults:
        return u"Brak wyników";
    case CopyKey::quickOpenHint:
        return u"Otwórz";
    case CopyKey::quickInstallHint:
        return u"Zainstaluj";
    case CopyKey::quickFooterLeft:
        return u"↑↓ nawiguj";
    case CopyKey::quickFooterRight:
        return u"↵ otwórz · esc zamknij";
    case CopyKey::menuQuickLaunch:
        return u"Szybkie uruchamianie";
    case CopyKey::menuUpdates:
        return u"Aktualizacje";
    case CopyKey::menuUpdatesDetail:
        return u"Tutaj pojawią się nowe wersje";
    case CopyKey::menuCheckForUpdates:
        return u"Sprawdź aktualizacje...";
    case CopyKey::menuMore:
        return u"Więcej";
    case CopyKey::menuQuit:
        return u"Zakończ Nimbarę";
    case CopyKey::updateChecking:
        return u"Sprawdzanie aktualizacji…";
    case CopyKey::updateAvailableTitle:
        return u"Dostępna jest Nimbara {{version}}";
    case CopyKey::updateAvailableBody:
        return u"Masz wersję {{installed}}. Po zainstalowaniu aktualizacji Nimbara uruchomi się "
               u"ponownie.";
    case CopyKey::updateInstall:
        return u"Zainstaluj aktualizację";
    case CopyKey::updateLater:
        return u"Później";
    case CopyKey::updateInstalling:
        return u"Instalowanie Nimbary {{version}}…";
    case CopyKey::updateRelaunching:
        return u"Ponowne uruchamianie Nimbary…";
    case CopyKey::updateUpToDateTitle:
        return u"Masz najnowszą wersję";
    case CopyKey::updateUpToDateBody:
        return u"Nimbara {{version}} to najnowsza dostępna wersja.";
    case CopyKey::updateCheckFailed:
        return u"Nie udało się sprawdzić aktualizacji: {{reason}}";
    case CopyKey::updateInstallFailed:
        return u"Nie udało się zainstalować aktualizacji: {{reason}}";
    case CopyKey::updateReleaseNotesLink:
        return u"Pełne informacje o wydaniu";
    case CopyKey::updateCancel:
        return u"Anuluj";
    case CopyKey::sendFeedback:
        return u"Wyślij opinię";
    case CopyKey::feedbackTitle:
        return u"Wyślij opinię";
    case CopyKey::feedbackLead:
        return u"Zgłoś błąd, zaproponuj pomysł albo powiedz nam, co mogłoby działać lepiej.";
    case CopyKey::feedbackType:
        return u"Rodzaj";
    case CopyKey::feedbackTypeBug:
        return u"Błąd";
    case CopyKey::feedbackTypeIdea:
        return u"Pomysł";
    case CopyKey::feedbackTypeImprovement:
        return u"Usprawnienie";
    case CopyKey::feedbackTypeOther:
        return u"Inne";
    case CopyKey::feedbackRelatedApp:
        return u"Powiązana aplikacja";
    case CopyKey::feedbackNoRelatedApp:
        return u"Brak aplikacji";
    case CopyKey::feedbackSummary:
        return u"Podsumowanie";
    case CopyKey::feedbackSummaryPlaceholder:
        return u"Krótki tytuł";
    case CopyKey::feedbackDescription:
        return u"Szczegóły";
    case CopyKey::feedbackDescriptionPlaceholder:
        return u"Co się stało, czego oczekujesz albo co chcesz zobaczyć?";
    case CopyKey::feedbackDiagnosticsTitle:
        return u"Diagnostyka";
    case CopyKey::feedbackDiagnosticsBody:
        return u"Nimbara dołącza do zgłoszenia podstawowe informacje, takie jak wersja systemu, "
               u"język i wybrana aplikacja.";
    case CopyKey::feedbackCancel:
        return u"Anuluj";
    case CopyKey::feedbackSubmit:
        return u"Wyślij";
    case CopyKey::feedbackSubmitting:
        return u"Wysyłanie";
    case CopyKey::feedbackSuccessTitle:
        return u"Opinia wysłana";
    case CopyKey::feedbackSuccessBody:
        return u"Dziękujemy. Przeczytamy ją i w razie potrzeby odpowiemy.";
    case CopyKey::feedbackIssue:
        return u"Zgłoszenie {{identifier}}";
    case CopyKey::feedbackClose:
        return u"Zamknij";
    case CopyKey::feedbackSubmitFailed:
        return u"Nie udało się teraz wysłać opinii.";
    case CopyKey::preferencesGeneral:
        return u"Ogólne";
    case CopyKey::preferencesApps:
        return u"Aplikacje";
    case CopyKey::preferencesUpdates:
        return u"Aktualizacje";
    case CopyKey::preferencesAdvanced:
        return u"Zaawansowane";
    case CopyKey::preferencesLaunchAtLogin:
        return u"Uruchamiaj Nimbarę po zalogowaniu";
    case CopyKey::preferencesLaunchAtLoginRequiresApproval:
        return u"System wymaga zatwierdzenia Nimbary, zanim będzie mogła uruchamiać się po "
               u"zalogowaniu.";
    case CopyKey::preferencesLaunchAtLoginOpenSettings:
        return u"Otwórz ustawienia autostartu";
    case CopyKey::preferencesLaunchAtLoginError:
        return u"Nie udało się zmienić uruchamiania po zalogowaniu: {{reason}}";
    case CopyKey::preferencesShowInMenuBar:
        return u"Pokazuj w zasobniku systemowym";
    case CopyKey::preferencesIncludeBetaApps:
        return u"Uwzględniaj wszystkie dostępne aplikacje";
    case CopyKey::preferencesLanguage:
        return u"Język";
    case CopyKey::preferencesGlobalShortcut:
        return u"Skrót globalny";
    case CopyKey::preferencesReleaseReadiness:
        return u"Gotowość aplikacji";
    case CopyKey::preferencesSigning:
        return u"Można instalować tylko aplikacje z prawdziwym plikiem do pobrania dla tego "
               u"systemu.";
    case CopyKey::preferencesUpdateFeeds:
        return u"Aktualizacje pojawiają się tutaj, gdy zostanie wydana nowa wersja.";
    case CopyKey::preferencesChecksums:
        return u"Nimbara sprawdza pobrane pliki przed ich instalacją.";
    case CopyKey::preferencesResetOnboarding:
        return u"Zresetuj wprowadzenie";
    case CopyKey::removeAction:
        return u"Usuń";
    case CopyKey::removeAppConfirmTitle:
        return u"Usunąć {{app}}?";
    case CopyKey::removeAppConfirmBody:
        return u"Aplikacja {{app}} zostanie przeniesiona do kosza. Możesz ją później zainstalować "
               u"ponownie z Nimbary.";
    case CopyKey::removeAppConfirmButton:
        return u"Przenieś do kosza";
    case CopyKey::uninstallSectionTitle:
        return u"Odinstaluj Nimbarę";
    case CopyKey::uninstallSectionBody:
        return u"Usuń z tego komputera wszystkie zainstalowane aplikacje oraz samą Nimbarę.";
    case CopyKey::uninstallDeleteDataToggle:
        return u"Usuń również dane aplikacji";
    case CopyKey::uninstallEverythingAction:
        return u"Odinstaluj Nimbarę i wszystkie aplikacje";
    case CopyKey::uninstallEverythingConfirmTitle:
        return u"Odinstalować Nimbarę i wszystkie aplikacje?";
    case CopyKey::uninstallEverythingConfirmBody:
        return u"{{count}} aplikacje i Nimbara zostaną przeniesione do kosza, a Nimbara się "
               u"zamknie. Dane aplikacji pozostaną na tym komputerze.";
    case CopyKey::uninstallEverythingConfirmBodyWithData:
        return u"{{count}} aplikacje i Nimbara zostaną przeniesione do kosza, ich dane zostaną "
               u"usunięte, a Nimbara się zamknie.";
    case CopyKey::uninstallEverythingConfirmButton:
        return u"Odinstaluj i zakończ";
    case CopyKey::uninstallCancel:
        return u"Anuluj";
    case CopyKey::uninstallPartialFailure:
        return u"Nie udało się usunąć części aplikacji {{app}}: {{reason}}";
    case CopyKey::uninstallEverythingPartialFailure:
        return u"Odinstalowanie zakończyło się z problemami: {{reason}}";
    case CopyKey::announcementTitle:
        return u"Nowość w Nimbarze";
    case CopyKey::announcementOpenApp:
        return u"Zobacz aplikację";
    case CopyKey::announcementDismiss:
        return u"Nie teraz";
    case CopyKey::errorManifestFallback:
        return u"Nie udało się odświeżyć aplikacji. Wyświetlany jest ostatni znany stan.";
    case CopyKey::errorCannotInstall:
        return u"Nie można teraz zainstalować {{app}}.";
    case CopyKey::errorInstallFailed:
        return u"Nie udało się zainstalować {{app}}. {{reason}}";
    case CopyKey::errorNoBundle:
        return u"Nie znaleziono na tym komputerze pakietu aplikacji {{app}}.";
    case CopyKey::errorArchiveLayout:
        return u"Pobrany plik musi zawierać dokładnie jedną aplikację na najwyższym poziomie.";
    case CopyKey::errorReinstallRequired:
        return u"Aplikacja {{app}} na tym komputerze nie zgadza się już z tym, co zainstalowała "
               u"Nimbara. Zainstaluj ją ponownie z Nimbary.";
    case CopyKey::updateAllAction:
        return u"Aktualizuj wszystkie ({{count}})";
    case CopyKey::cancelUpdateAllAction:
        return u"Zatrzymaj aktualizacje";
    case CopyKey::rollBackAction:
        return u"Przywróć wersję {{version}}";
    case CopyKey::errorUpdateAllFailed:
        return u"Nie udało się zaktualizować tych aplikacji: {{apps}}. Strona każdej z nich podaje "
               u"powód.";
    case CopyKey::errorRollBackFailed:
        return u"Nie udało się przywrócić poprzedniej wersji {{app}}. {{reason}}";
    case CopyKey::errorNoKeptCopy:
        return u"Na tym komputerze nie ma zachowanej wcześniejszej wersji tej aplikacji.";
    case CopyKey::codeValidationMissingTeamID:
        return u"Ta kompilacja Nimbary nie ma skonfigurowanego zespołu podpisującego, więc nie "
               u"można instalować aplikacji.";
    case CopyKey::codeValidationUnreadableBundle:
        return u"Nie udało się odczytać pakietu aplikacji.";
    case CopyKey::codeValidationBundleIdentifierMismatch:
        return u"Identyfikator aplikacji nie zgadza się z katalogiem.";
    case CopyKey::codeValidationBundleVersionMismatch:
        return u"Wersja aplikacji nie zgadza się z opublikowanym wydaniem.";
    case CopyKey::codeValidationInvalidSignature:
        return u"Podpisu kodu aplikacji brakuje lub jest on nieprawidłowy.";
    case CopyKey::codeValidationSigningIdentifierMismatch:
        return u"Podpis aplikacji został utworzony dla innej aplikacji.";
    case CopyKey::codeValidationNotDeveloperID:
        return u"Aplikacja nie jest podpisana uznanym certyfikatem programisty.";
    case CopyKey::codeValidationTeamMismatch:
        return u"Aplikację podpisał zespół, któremu Nimbara nie ufa.";
#define NIMBARA_CLI_KEY_CASE(name) case CopyKey::name:
        NIMBARA_CLI_COPY_KEYS(NIMBARA_CLI_KEY_CASE)
#undef NIMBARA_CLI_KEY_CASE
        return commandLinePolish(key);
    }
    return {};
}

} // namespace nimbara::copy_table
