#include "platform/PowerInhibitor.h"

#include <unistd.h>

#include <utility>

InhibitorLock::InhibitorLock(InhibitorLock &&other) noexcept
    : m_descriptor(std::exchange(other.m_descriptor, -1))
{
}

InhibitorLock &InhibitorLock::operator=(InhibitorLock &&other) noexcept
{
    if (this != &other) {
        release();
        m_descriptor = std::exchange(other.m_descriptor, -1);
    }
    return *this;
}

void InhibitorLock::release()
{
    if (m_descriptor >= 0)
        ::close(std::exchange(m_descriptor, -1));
}
