#pragma once

#include "text/copy_key.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QStringView>

// What the feedback form offers and when it may be sent, as pure functions.
namespace nimbara {

namespace FeedbackTypes {
Q_NAMESPACE
// The kinds of report the form offers, in the order its segmented choice lists them.
enum class FeedbackType { Bug, Idea, Improvement, Other };
Q_ENUM_NS(FeedbackType)

// Bug, Idea, Improvement, Other.
const QList<FeedbackType>& allCases();
CopyKey title(FeedbackType type);
} // namespace FeedbackTypes

// Both the summary and the details hold something besides white space and line breaks.
bool feedbackFieldsComplete(QStringView title, QStringView description);

} // namespace nimbara
