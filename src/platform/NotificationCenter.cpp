#include "platform/NotificationCenter.h"

#include "platform/DispatchQueue.h"

#include <QCoreApplication>
#include <QThread>

#include <vector>

NotificationCenter &NotificationCenter::defaultCenter()
{
    static NotificationCenter center;
    return center;
}

NotificationCenter::Token NotificationCenter::addObserver(const QString &name, const void *object,
                                                          QObject *context, Observer observer)
{
    std::lock_guard lock(m_mutex);
    const Token token = m_nextToken++;
    m_entries.emplace(token, Entry{name, object, context, context != nullptr,
                                   std::make_shared<const Observer>(std::move(observer))});
    return token;
}

void NotificationCenter::removeObserver(Token token)
{
    std::lock_guard lock(m_mutex);
    m_entries.erase(token);
}

void NotificationCenter::post(const QString &name, const void *object, const QVariantMap &userInfo)
{
    Notification notification{name, object, userInfo};
    const QCoreApplication *application = QCoreApplication::instance();
    if (application && QThread::currentThread() == application->thread()) {
        deliver(notification);
        return;
    }
    DispatchQueue::main().async(
        [this, notification = std::move(notification)] { deliver(notification); });
}

// Observers run without the lock held, so they may post, add and remove observers; each one
// is looked up again just before its turn.
void NotificationCenter::deliver(const Notification &notification)
{
    std::vector<Token> tokens;
    {
        std::lock_guard lock(m_mutex);
        for (const auto &[token, entry] : m_entries) {
            if (entry.name == notification.name)
                tokens.push_back(token);
        }
    }
    for (const Token token : tokens) {
        if (const auto observer = liveObserver(token, notification))
            (*observer)(notification);
    }
}

std::shared_ptr<const NotificationCenter::Observer>
NotificationCenter::liveObserver(Token token, const Notification &notification)
{
    std::lock_guard lock(m_mutex);
    const auto found = m_entries.find(token);
    if (found == m_entries.end())
        return nullptr;
    if (found->second.boundToContext && !found->second.context) {
        m_entries.erase(found);
        return nullptr;
    }
    const Entry &entry = found->second;
    if (entry.object && entry.object != notification.object)
        return nullptr;
    return entry.observer;
}
