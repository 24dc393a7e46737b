#include "core/plain_identifier.h"

namespace nimbara {

bool isPlainIdentifier(QStringView identifier) {
    if (identifier.isEmpty() || identifier == u"." || identifier == u"..") {
        return false;
    }
    for (const QChar c : identifier) {
        const char16_t u = c.unicode();
        const bool allowed = (u >= u'a' && u <= u'z') || (u >= u'A' && u <= u'Z') ||
                             (u >= u'0' && u <= u'9') || u == u'.' || u == u'-' || u == u'_';
        if (!allowed) {
            return false;
        }
    }
    return true;
}

} // namespace nimbara
