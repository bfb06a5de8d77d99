#include "tests/support/ChownDenied.h"

#include <sys/syscall.h>
#include <unistd.h>

ChownDenied::ChownDenied()
{
    m_header.version = _LINUX_CAPABILITY_VERSION_3;
    m_header.pid = 0; // this thread
    if (::geteuid() != 0 || ::syscall(SYS_capget, &m_header, m_previous) != 0)
        return;
    __user_cap_data_struct lowered[_LINUX_CAPABILITY_U32S_3];
    for (int i = 0; i < _LINUX_CAPABILITY_U32S_3; ++i)
        lowered[i] = m_previous[i];
    if ((lowered[0].effective & (1u << CAP_CHOWN)) == 0)
        return;
    lowered[0].effective &= ~(1u << CAP_CHOWN);
    m_held = ::syscall(SYS_capset, &m_header, lowered) == 0;
}

ChownDenied::~ChownDenied()
{
    if (m_held)
        ::syscall(SYS_capset, &m_header, m_previous);
}
