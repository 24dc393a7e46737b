#include "presentation/feedback_rules.h"

namespace nimbara {

namespace FeedbackTypes {

const QList<FeedbackType>& allCases() {
    static const QList<FeedbackType> cases{FeedbackType::Bug, FeedbackType::Idea,
                                           FeedbackType::Improvement, FeedbackType::Other};
    return cases;
}

CopyKey title(FeedbackType type) {
    switch (type) {
    case FeedbackType::Bug:
        return CopyKey::feedbackTypeBug;
    case FeedbackType::Idea:
        return CopyKey::feedbackTypeIdea;
    case FeedbackType::Improvement:
        return CopyKey::feedbackTypeImprovement;
    case FeedbackType::Other:
        return CopyKey::feedbackTypeOther;
    }
    return CopyKey::feedbackTypeBug;
}

} // namespace FeedbackTypes

bool feedbackFieldsComplete(QStringView title, QStringView description) {
    return !title.trimmed().isEmpty() && !description.trimmed().isEmpty();
}

} // namespace nimbara
