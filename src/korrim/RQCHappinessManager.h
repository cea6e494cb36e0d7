#pragma once

// Stands in for the maker's satisfaction prompt, started after a large clean-up. It has no
// window: start only notes that it was asked. Main thread only.
class RQCHappinessManager final
{
public:
    // The same object on every call.
    static RQCHappinessManager &sharedInstance();

    RQCHappinessManager(const RQCHappinessManager &) = delete;
    RQCHappinessManager &operator=(const RQCHappinessManager &) = delete;

    void start();

    // For tests: how often start was called since the last reset.
    int startCount() const { return m_startCount; }
    void reset() { m_startCount = 0; }

private:
    RQCHappinessManager() = default;

    int m_startCount = 0;
};
