#include "platform/MainQueue.h"

#include "platform/SanitizerHandOff.h"

#include <QCoreApplication>
#include <QMetaObject>

#include <utility>

namespace {

// The task as the event loop holds it, which shows the hand-off to the thread sanitizer (see
// SanitizerHandOff.h). Qt moves it once into its own storage: the release is made there, at the
// address the call then acquires before it reads anything of the delivery.
class Delivery final
{
public:
    explicit Delivery(DispatchQueue::Task task) : m_task(std::move(task)) {}
    Delivery(Delivery &&other) noexcept : m_task(std::move(other.m_task)) { showReleaseToSanitizer(this); }
    Delivery(const Delivery &) = delete;
    Delivery &operator=(const Delivery &) = delete;
    Delivery &operator=(Delivery &&) = delete;
    ~Delivery() = default;

    void operator()()
    {
        showAcquireToSanitizer(this);
        m_task();
    }

private:
    DispatchQueue::Task m_task;
};

} // namespace

void MainQueue::async(Task task)
{
    QCoreApplication *application = QCoreApplication::instance();
    if (!application || !task)
        return;
    QMetaObject::invokeMethod(application, Delivery(std::move(task)), Qt::QueuedConnection);
}
