#include "contracts/feedback_records.h"

#include "core/enum_names.h"

namespace nimbara {

QLatin1StringView feedbackTypeRawValue(FeedbackType type) {
    static constexpr EnumNames<FeedbackType, 4> names(
        {QLatin1StringView("bug"), QLatin1StringView("idea"), QLatin1StringView("improvement"),
         QLatin1StringView("other")});
    return names.rawValue(type);
}

} // namespace nimbara
