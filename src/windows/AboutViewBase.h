#pragma once

#include "platform/gui/UrlOpener.h"
#include "windows/RQViewController.h"

class QAbstractButton;
class QLabel;

// What the two About views share: the copyright line with the running year, and four link
// buttons that open the maker's pages. Pages open through a URL opener that tests replace.
class AboutViewBase : public RQViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(AboutViewBase)

public:
    explicit AboutViewBase(QObject *parent = nullptr);

    void setUrlOpener(UrlOpener opener) { m_openUrl = std::move(opener); }

    // Shows the application's name and version as the view lays them out.
    virtual void setAppNameAndVersion() = 0;
    // Puts the running year in place of every "CURRENT_YEAR" of the copyright text.
    void setCopyright();
    // The year of today's date, in the Gregorian calendar.
    static qint64 year();

    void openURL(const QUrl &address);
    void faqButtonPressed();
    void fanButtonPressed();
    void twitterButtonPressed();
    void rovaquinButtonPressed();

protected:
    struct LinkButtons
    {
        QAbstractButton *faq = nullptr;
        QAbstractButton *fan = nullptr;
        QAbstractButton *twitter = nullptr;
        QAbstractButton *rovaquin = nullptr;
    };

    // Outlets of the subclass's interface file.
    virtual QLabel *copyrightLabel() const = 0;
    virtual LinkButtons linkButtons() const = 0;

    void viewDidLoad() override;

private:
    UrlOpener m_openUrl;
};
