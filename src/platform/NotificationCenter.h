#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

#include <functional>
#include <map>
#include <memory>
#include <mutex>

// One notification: its name (the program's own string), the object that posted it (compared
// by address only, never dereferenced) and optional details.
struct Notification
{
    QString name;
    const void *object = nullptr;
    QVariantMap userInfo;
};

// A name-keyed notification centre whose observers run on the main thread.
//
// A post made on the main thread reaches every matching observer before it returns, in the
// order they were added; a post from any other thread is handed to the main queue. An
// observer may add or remove observers while it runs; one removed meanwhile is not called.
// Observers are dropped when their context object is destroyed. Thread-safe.
class NotificationCenter final
{
public:
    using Observer = std::function<void(const Notification &)>;
    using Token = quint64;

    static NotificationCenter &defaultCenter();

    NotificationCenter() = default;
    NotificationCenter(const NotificationCenter &) = delete;
    NotificationCenter &operator=(const NotificationCenter &) = delete;

    // Observes the notifications of that name from that object (nullptr: from any object)
    // for as long as the context lives (nullptr: until removed). The answer removes it again.
    Token addObserver(const QString &name, const void *object, QObject *context,
                      Observer observer);
    void removeObserver(Token token);

    void post(const QString &name, const void *object = nullptr, const QVariantMap &userInfo = {});

private:
    struct Entry
    {
        QString name;
        const void *object = nullptr;
        QPointer<QObject> context;
        bool boundToContext = false;
        std::shared_ptr<const Observer> observer;
    };

    void deliver(const Notification &notification);
    std::shared_ptr<const Observer> liveObserver(Token token, const Notification &notification);

    std::mutex m_mutex;
    std::map<Token, Entry> m_entries;
    Token m_nextToken = 1;
};
