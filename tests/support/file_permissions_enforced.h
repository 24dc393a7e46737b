#pragma once

#include <QString>
#include <linux/capability.h>

namespace nimbara::test {

// While it lives, the calling thread obeys file modes even when it runs as root: it drops
// CAP_DAC_OVERRIDE, CAP_DAC_READ_SEARCH and CAP_FOWNER from its effective capabilities, and
// puts them back when it goes. Capabilities belong to one thread, so only work done
// synchronously on this thread is affected.
class FilePermissionsEnforced {
public:
    FilePermissionsEnforced();
    ~FilePermissionsEnforced();
    FilePermissionsEnforced(const FilePermissionsEnforced&) = delete;
    FilePermissionsEnforced& operator=(const FilePermissionsEnforced&) = delete;

    // Empty when the capabilities were dropped; otherwise why they could not be.
    QString error() const { return error_; }

private:
    __user_cap_data_struct saved_[_LINUX_CAPABILITY_U32S_3] = {};
    bool dropped_ = false;
    QString error_;
};

} // namespace nimbara::test
