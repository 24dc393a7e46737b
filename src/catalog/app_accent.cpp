#include "catalog/app_accent.h"

namespace nimbara::AppAccents {

using namespace Qt::StringLiterals;

const QList<AppAccent>& allCases() {
    static const QList<AppAccent> cases{AppAccent::lime, AppAccent::violet, AppAccent::amber,
                                        AppAccent::blue, AppAccent::cyan};
    return cases;
}

QLatin1StringView rawValue(AppAccent accent) {
    switch (accent) {
    case AppAccent::lime:
        return "lime"_L1;
    case AppAccent::violet:
        return "violet"_L1;
    case AppAccent::amber:
        return "amber"_L1;
    case AppAccent::blue:
        return "blue"_L1;
    case AppAccent::cyan:
        return "cyan"_L1;
    }
    return {};
}

std::optional<AppAccent> fromRaw(QStringView raw) {
    for (AppAccent accent : allCases()) {
        if (raw == rawValue(accent))
            return accent;
    }
    return std::nullopt;
}

} // namespace nimbara::AppAccents
