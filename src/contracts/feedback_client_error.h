#pragma once

#include "core/error.h"

namespace nimbara {

// Why the feedback server did not take a report.
class FeedbackClientError : public Error {
public:
    enum class Case { invalidStatus, server, invalidResponse };

    // "The feedback server returned HTTP <code>."
    static FeedbackClientError invalidStatus(int statusCode);
    // The server's own message.
    static FeedbackClientError server(const QString& message);
    // "The feedback server response was invalid."
    static FeedbackClientError invalidResponse();

    Case kind() const noexcept { return kind_; }

private:
    FeedbackClientError(Case kind, const QString& description, const QString& rendering)
        : Error(description, rendering), kind_(kind) {}

    Case kind_;
};

} // namespace nimbara
