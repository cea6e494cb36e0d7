#pragma once

#include <QString>
#include <QUrl>

// The application's store identifier, the web addresses it opens and its support e-mail
// address. Until the project has pages of its own, every address lies under the reserved
// domain marrowick.example.
namespace ApplicationConstants {

// Handed to the maker's framework as decimal text.
inline constexpr qint64 storeIdentifier = 1480000018;

namespace Detail {
inline QUrl address(const QString &path)
{
    return QUrl(QStringLiteral("https://marrowick.example/") + path);
}
} // namespace Detail

// Help > Marrowick Help, and the About pane's FAQ button.
inline QUrl supportAddress() { return Detail::address(QStringLiteral("support")); }
// The address that the alerts which ask the user to write to us name.
inline QString supportEmailAddress() { return QStringLiteral("support@marrowick.example"); }
// Help > Follow Rovaquin.
inline QUrl socialAddress() { return Detail::address(QStringLiteral("follow")); }
// The maker's home page (the About pane's maker button, and where shared posts return to).
inline QUrl makerAddress() { return Detail::address(QString()); }
inline QUrl facebookAddress() { return Detail::address(QStringLiteral("facebook")); }
inline QUrl twitterAddress() { return Detail::address(QStringLiteral("twitter")); }
// The product's short link, quoted in shared posts.
inline QUrl productShortAddress() { return Detail::address(QStringLiteral("get")); }
// The pages that receive a shared post when the desktop offers no sharing service.
inline QUrl tweetPageAddress() { return Detail::address(QStringLiteral("intent/tweet")); }
inline QUrl feedDialogAddress() { return Detail::address(QStringLiteral("dialog/feed")); }
inline constexpr qint64 feedDialogApplicationIdentifier = 1480000019;
// Where the maker's framework leads for a rating and for the mailing list.
inline QUrl ratingAddress() { return Detail::address(QStringLiteral("rate")); }
inline QUrl mailingListAddress() { return Detail::address(QStringLiteral("mailing-list")); }

} // namespace ApplicationConstants
