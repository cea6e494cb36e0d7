#pragma once

#include <QString>

// A held power-management lock: the descriptor that the power service handed out. The lock
// is released when the descriptor is closed, which happens when this object goes.
class InhibitorLock final
{
public:
    InhibitorLock() = default;
    explicit InhibitorLock(int descriptor) : m_descriptor(descriptor) {}
    ~InhibitorLock() { release(); }
    InhibitorLock(InhibitorLock &&other) noexcept;
    InhibitorLock &operator=(InhibitorLock &&other) noexcept;
    InhibitorLock(const InhibitorLock &) = delete;
    InhibitorLock &operator=(const InhibitorLock &) = delete;

    bool isHeld() const { return m_descriptor >= 0; }
    void release();

private:
    int m_descriptor = -1;
};

// Holds off idle sleep while a lock it hands out is held.
class PowerInhibitor
{
public:
    PowerInhibitor() = default;
    virtual ~PowerInhibitor() = default;
    PowerInhibitor(const PowerInhibitor &) = delete;
    PowerInhibitor &operator=(const PowerInhibitor &) = delete;

    // what: the colon-separated things to hold off ("idle", "idle:sleep"); why: a text for
    // the user. An empty lock when the service is missing or refuses.
    virtual InhibitorLock inhibit(const QString &what, const QString &why) = 0;
};
