#include "tests/support/CapabilityDenied.h"

#include <sys/syscall.h>
#include <unistd.h>

CapabilityDenied::CapabilityDenied(int capability)
{
    m_header.version = _LINUX_CAPABILITY_VERSION_3;
    m_header.pid = 0; // this thread
    if (::geteuid() != 0 || ::syscall(SYS_capget, &m_header, m_previous) != 0)
        return;
    __user_cap_data_struct lowered[_LINUX_CAPABILITY_U32S_3];
    for (int i = 0; i < _LINUX_CAPABILITY_U32S_3; ++i)
        lowered[i] = m_previous[i];
    if ((lowered[CAP_TO_INDEX(capability)].effective & CAP_TO_MASK(capability)) == 0)
        return;
    lowered[CAP_TO_INDEX(capability)].effective &= ~CAP_TO_MASK(capability);
    m_held = ::syscall(SYS_capset, &m_header, lowered) == 0;
}

CapabilityDenied::~CapabilityDenied()
{
    if (m_held)
        ::syscall(SYS_capset, &m_header, m_previous);
}
