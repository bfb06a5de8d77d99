#pragma once

#include <linux/capability.h>

// While the guard lives, the calling thread lacks one of root's rights and keeps every other:
// without CAP_CHOWN a change of owner, or of group to one the thread is no member of, fails
// with EPERM, as it does for a user who is not root; without CAP_FOWNER the thread may not
// act as the owner of another's file (remove it from a sticky folder that is not its own).
// Only root can hold it (held() is false else).
class CapabilityDenied {
public:
    explicit CapabilityDenied(int capability);
    ~CapabilityDenied();
    CapabilityDenied(const CapabilityDenied&) = delete;
    CapabilityDenied& operator=(const CapabilityDenied&) = delete;

    bool held() const { return m_held; }

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_previous[_LINUX_CAPABILITY_U32S_3]{};
    bool m_held = false;
};
