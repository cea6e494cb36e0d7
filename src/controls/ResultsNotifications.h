#pragma once

#include <QString>

// The names the file rows post and the results browser and removal sheet observe.

// Object: the RQFile whose tick changed; its flag already holds the new value.
inline const QString RQDidToggleSelectedNotification = QStringLiteral("RQDidToggleSelected");
// No object; user info {"file": the RQFile as std::shared_ptr<RQFile>}.
inline const QString RQShowInFinderNotification = QStringLiteral("RQShowInFinder");
inline const QString RQShowInFinderFileKey = QStringLiteral("file");
