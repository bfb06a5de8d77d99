#pragma once

#include <linux/capability.h>

// While the guard lives, the calling thread may not give a file away, as a user who is not
// root may not: a change of owner, or of group to one the thread is no member of, fails with
// EPERM. The thread keeps every other right. Only root can hold it (held() is false else).
class ChownDenied {
public:
    ChownDenied();
    ~ChownDenied();
    ChownDenied(const ChownDenied&) = delete;
    ChownDenied& operator=(const ChownDenied&) = delete;

    bool held() const { return m_held; }

private:
    __user_cap_header_struct m_header{};
    __user_cap_data_struct m_previous[_LINUX_CAPABILITY_U32S_3]{};
    bool m_held = false;
};
