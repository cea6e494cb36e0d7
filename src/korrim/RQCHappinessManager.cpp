#include "korrim/RQCHappinessManager.h"

#include <QLoggingCategory>

Q_LOGGING_CATEGORY(korrimLog, "marrowick.korrim")

RQCHappinessManager &RQCHappinessManager::sharedInstance()
{
    static RQCHappinessManager manager;
    return manager;
}

void RQCHappinessManager::start()
{
    ++m_startCount;
    qCDebug(korrimLog) << "satisfaction prompt started";
}
