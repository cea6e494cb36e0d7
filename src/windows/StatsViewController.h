#pragma once

#include "foundation/RQMemoryFormatter.h"
#include "windows/RQViewController.h"

#include <QString>

#include <array>
#include <memory>

class MWLinedBackgroundView;
class MWSpaceLabel;
class QLabel;
class QPropertyAnimation;
class QVariantAnimation;
class StatTheme;
namespace Ui {
class StatsViewController;
}

// The scan statistics screen: three counters in a row on a lined background (items scanned,
// duplicates found, the space they take), coloured by a theme. While the finder hashes, the
// duplicates counter pulses. Main thread only; the counters take the finder's rate.
class StatsViewController final : public RQViewController
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(StatsViewController)

public:
    explicit StatsViewController(QObject *parent = nullptr);
    ~StatsViewController() override;

    void setTotalFilesScanned(qint64 count);
    void setTotalDuplicatesFound(qint64 count);
    void setTotalSpaceBytes(double bytes);

    // Fades the duplicates counter between opaque and half transparent, 0.8 s each way.
    void startFlashingTotalDuplicates();
    // The fade under way finishes, and the counter is left opaque.
    void stopFlashingTotalDuplicates();

    // Colours the panel; the text colour fades in 0.4 s while the panel is shown.
    void changeToTheme(const StatTheme &theme);
    void changeToDefault();
    void changeToRed();
    void changeToBlue();
    void changeToGreen();
    void changeToOrange();

    // The titles of a free-space panel, which nothing shows yet: "Free Space", "Used Space",
    // "Total Capacity" (the default set), or the three of a clean-up to come, whose last one
    // takes two lines.
    void changeToDefaultLabels();
    void changeToFreeLabels();
    bool showingDefault() const { return m_showingDefault; }
    // Nothing to bring up to date: the labels show what they are given at once.
    void updateUI() {}

    MWLinedBackgroundView *backgroundView();
    MWSpaceLabel *freeSpaceLabel();
    MWSpaceLabel *usedSpaceLabel();
    MWSpaceLabel *totalSpaceLabel();
    QLabel *divider1();
    QLabel *divider2();
    // The running animations, for tests that end them with setCurrentTime().
    QPropertyAnimation *pulse() const { return m_pulse; }
    QVariantAnimation *textColourFade() const { return m_textColourFade; }
    bool isPulsing() const { return m_animating; }

protected:
    QWidget *loadView() override;
    void viewDidLoad() override;

private:
    Ui::StatsViewController &form();
    void setupLabels();
    void showTitles(const std::array<QString, 3> &titles, int totalTitleHeight);
    QList<QLabel *> allLabels();
    void setTextColour(const QColor &colour);
    void showCount(MWSpaceLabel &label, qint64 count);
    void continuePulse();

    std::unique_ptr<Ui::StatsViewController> m_form;
    RQMemoryFormatter m_memoryFormatter;
    bool m_showingDefault = true;
    bool m_shouldAnimate = true;
    bool m_animating = false;
    QPropertyAnimation *m_pulse = nullptr;
    QVariantAnimation *m_textColourFade = nullptr;
};
