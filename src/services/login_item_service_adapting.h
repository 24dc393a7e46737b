#pragma once

// The session's side of launch at login: whether the launcher is registered to start when the
// user logs in, and the means to register or unregister it.

namespace nimbara {

// What the session reports about the launcher's login registration.
enum class LoginItemServiceStatus {
    notRegistered,    // nothing starts the launcher at login
    enabled,          // the launcher starts at login
    requiresApproval, // registered, but the user must still allow it
    notFound,         // the session cannot find the launcher's registration at all
};

// One session's login-item registration of the launcher. Synchronous and called on the main
// thread; implementations do only tiny file or system calls.
class LoginItemServiceAdapting {
public:
    virtual ~LoginItemServiceAdapting() = default;
    virtual LoginItemServiceStatus status() const = 0;
    // Each throws a nimbara::Error carrying the system's own message when it fails.
    virtual void registerItem() = 0;
    virtual void unregisterItem() = 0;
};

} // namespace nimbara
