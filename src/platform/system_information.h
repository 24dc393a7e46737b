#pragma once

#include "platform/operating_system_version.h"

#include <QStringView>

namespace nimbara {

// Facts about the running system.
class SystemInformation {
public:
    virtual ~SystemInformation() = default;
    // The running system's version, which catalogs state minimum versions against.
    virtual OperatingSystemVersion runningSystemVersion() const = 0;
};

// On Linux the running system's version is the kernel release (uname), leading numbers only.
class LinuxSystemInformation : public SystemInformation {
public:
    OperatingSystemVersion runningSystemVersion() const override;
};

// The leading dot-separated numbers of a kernel release: "6.1.0-28-amd64" gives 6.1.0, "5.15"
// gives 5.15.0; up to three numbers are read and anything from the first other character on
// is ignored.
OperatingSystemVersion versionFromKernelRelease(QStringView release);

} // namespace nimbara
