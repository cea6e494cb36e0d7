#pragma once

#include "foundation/RQMemoryFormatter.h"
#include "windows/RQViewController.h"

#include <QLocale>
#include <QPointer>
#include <QUrl>
#include <QVariantList>

#include <memory>

class MWPhotosDeleteWindowController;
class QLabel;

namespace Ui {
class FinishedViewController;
}

// The screen after a removal: how many items went and the space freed, the Photos help sheet
// when Photos items were removed, the satisfaction prompt after a large clean-up, and rate,
// share, quit and scan again. The values are set before the view is first asked for; the
// parent window too. Main thread only.
class FinishedViewController final : public RQViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(FinishedViewController)

public:
    enum ShareService : qint64 { Facebook = 0, Twitter = 1 };
    static constexpr double promptThreshold = 1e9;

    static std::unique_ptr<FinishedViewController> controllerWithTotalFreed(double totalFreed, qint64 totalDuplicates,
                                                                            bool hasPhotosDupes);
    ~FinishedViewController() override;

    void setParentWindow(QWidget *window) { m_parentWindow = window; }

    // The count written with the grouping of the locale (the user's own unless given).
    static QString titleForCount(qint64 totalDuplicates, const QLocale &locale = QLocale::system());
    // The web page that posts the message (no sharing services here), every value encoded in
    // full so that "&", "#", "+" and "%" arrive as written.
    static QUrl shareAddress(qint64 service, const QString &message);
    QString shareMessage(qint64 service) const;

    QLabel *titleLabel() const;
    QLabel *touchBarLabel() const { return m_touchBarLabel.get(); }
    MWPhotosDeleteWindowController *photosDeleteWindowController() const { return m_photosDeleteWindowController.get(); }

    void rate();
    void like() { share(Facebook); }
    void tweet() { share(Twitter); }
    void share(qint64 service);
    void quit();
    void scanAgain();
    void showPhotosHelpIfNeeded();

protected:
    QWidget *loadView() override;
    void viewDidLoad() override;

private:
    FinishedViewController() = default;
    void closingStep();

    double m_totalFreed = 0;
    qint64 m_totalDuplicates = 0;
    bool m_hasPhotosDupes = false;
    QPointer<QWidget> m_parentWindow;
    RQMemoryFormatter m_memoryFormatter;
    QVariantList m_memoryArray;
    std::unique_ptr<Ui::FinishedViewController> m_ui;
    std::unique_ptr<QLabel> m_touchBarLabel;
    std::unique_ptr<MWPhotosDeleteWindowController> m_photosDeleteWindowController;
};
