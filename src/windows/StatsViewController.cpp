#include "windows/StatsViewController.h"

#include "ui_StatsViewController.h"

#include "controls/MWLinedBackgroundView.h"
#include "controls/MWSpaceLabel.h"
#include "controls/StringFontSize.h"
#include "platform/gui/ImageLoader.h"
#include "windows/StatTheme.h"
#include "windows/StatThemeBlue.h"
#include "windows/StatThemeDefault.h"
#include "windows/StatThemeGreen.h"
#include "windows/StatThemeOrange.h"
#include "windows/StatThemeRed.h"

#include <QGraphicsDropShadowEffect>
#include <QPropertyAnimation>
#include <QVariantAnimation>

using namespace Qt::StringLiterals;

namespace {

constexpr int textColourFadeMilliseconds = 400;
constexpr int pulseMilliseconds = 800;
constexpr qreal pulseLow = 0.5;
// The counters' text keeps this much of the label's width free.
constexpr qreal counterWidthMargin = 5.0;
constexpr int defaultTotalTitleHeight = 14;
constexpr int freeTotalTitleHeight = 28;

} // namespace

StatsViewController::StatsViewController(QObject *parent)
    : RQViewController(parent)
{
    m_memoryFormatter.setMinimumUnit(1); // nothing below KB
}

StatsViewController::~StatsViewController() = default;

QWidget *StatsViewController::loadView()
{
    return loadInterfaceForm<MWLinedBackgroundView>(m_form);
}

void StatsViewController::viewDidLoad()
{
    RQViewController::viewDidLoad();
    setupLabels();
    changeToDefault();
    m_showingDefault = true;
    m_shouldAnimate = true;
    m_animating = false;
}

void StatsViewController::setupLabels()
{
    Ui::StatsViewController &outlets = form();
    // Children of the panel: a panel destroyed mid-fade runs no completion.
    m_textColourFade = new QVariantAnimation(view());
    m_textColourFade->setDuration(textColourFadeMilliseconds);
    connect(m_textColourFade, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &colour) { setTextColour(colour.value<QColor>()); });

    m_pulse = new QPropertyAnimation(outlets.usedSpaceLabel, "alphaValue", outlets.usedSpaceLabel);
    m_pulse->setDuration(pulseMilliseconds);
    connect(m_pulse, &QAbstractAnimation::finished, this, &StatsViewController::continuePulse);

    for (QLabel *title : {outlets.freeSpaceTitleLabel, outlets.usedSpaceTitleLabel,
                          outlets.totalSpaceTitleLabel}) {
        auto *engraving = new QGraphicsDropShadowEffect(title);
        engraving->setColor(Qt::white);
        engraving->setBlurRadius(0);
        engraving->setOffset(0, 1);
        title->setGraphicsEffect(engraving);
    }
}

void StatsViewController::setTotalFilesScanned(qint64 count)
{
    showCount(*freeSpaceLabel(), count);
}

void StatsViewController::setTotalDuplicatesFound(qint64 count)
{
    showCount(*usedSpaceLabel(), count);
}

void StatsViewController::showCount(MWSpaceLabel &label, qint64 count)
{
    label.setIntegerValue(count);
    const QSizeF box(label.width() - counterWidthMargin, label.height());
    // No answer (a box too small to hold anything) keeps the font.
    if (const std::optional<QFont> fitted = rq_fontToFitSize(label.text(), box, label.font()))
        label.setFont(*fitted);
}

void StatsViewController::setTotalSpaceBytes(double bytes)
{
    const QVariantList numberAndUnit = m_memoryFormatter.arrayFromBytes(bytes);
    totalSpaceLabel()->setSizeUnitAnimated(static_cast<float>(numberAndUnit.at(0).toDouble()),
                                           numberAndUnit.at(1).toString(), false);
}

void StatsViewController::startFlashingTotalDuplicates()
{
    // A start during a fade only lets the pulse go on: the fade's end continues it. A second
    // fade would make a second chain that a stop could not end.
    if (m_pulse->state() == QAbstractAnimation::Running) {
        m_shouldAnimate = true;
        m_animating = true;
        return;
    }
    continuePulse();
}

void StatsViewController::continuePulse()
{
    MWSpaceLabel &label = *usedSpaceLabel();
    if (!m_shouldAnimate && m_animating) {
        label.setAlphaValue(1.0);
        m_animating = false;
        return;
    }
    m_shouldAnimate = true;
    m_animating = true;
    m_pulse->setStartValue(label.alphaValue());
    m_pulse->setEndValue(label.alphaValue() == 1.0 ? pulseLow : 1.0);
    m_pulse->start();
}

void StatsViewController::stopFlashingTotalDuplicates()
{
    m_shouldAnimate = false;
}

void StatsViewController::changeToTheme(const StatTheme &theme)
{
    backgroundView()->setBackgroundColor(theme.backgroundColor());
    const QColor text = theme.textColor();
    m_textColourFade->stop();
    if (view()->isVisible()) {
        m_textColourFade->setStartValue(freeSpaceLabel()->palette().color(QPalette::WindowText));
        m_textColourFade->setEndValue(text);
        m_textColourFade->start();
    } else {
        // Nobody would see the fade: the panel takes the colour at once.
        setTextColour(text);
    }
    const NamedImage divider = ImageLoader::imageNamed(theme.separatorImageName());
    for (QLabel *image : {divider1(), divider2()})
        image->setPixmap(divider.pixmap(divider.size(), image->devicePixelRatioF()));
}

void StatsViewController::setTextColour(const QColor &colour)
{
    for (QLabel *label : allLabels()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, colour);
        label->setPalette(palette);
    }
}

void StatsViewController::changeToDefault()
{
    changeToTheme(StatThemeDefault());
}

void StatsViewController::changeToDefaultLabels()
{
    m_showingDefault = true;
    showTitles({u"Free Space"_s, u"Used Space"_s, u"Total Capacity"_s}, defaultTotalTitleHeight);
}

void StatsViewController::changeToFreeLabels()
{
    m_showingDefault = false;
    showTitles({u"Current Free Space"_s, u"Amount To Be Freed"_s, u"Your new free disk space will be"_s},
               freeTotalTitleHeight);
}

void StatsViewController::showTitles(const std::array<QString, 3> &titles, int totalTitleHeight)
{
    Ui::StatsViewController &outlets = form();
    outlets.freeSpaceTitleLabel->setText(titles[0]);
    outlets.usedSpaceTitleLabel->setText(titles[1]);
    outlets.totalSpaceTitleLabel->setText(titles[2]);
    // The layout places the title; only its height changes, to one line or two.
    outlets.totalSpaceTitleLabel->setWordWrap(totalTitleHeight > defaultTotalTitleHeight);
    outlets.totalSpaceTitleLabel->setFixedHeight(totalTitleHeight);
    updateUI();
}

void StatsViewController::changeToRed()
{
    changeToTheme(StatThemeRed());
}

void StatsViewController::changeToBlue()
{
    changeToTheme(StatThemeBlue());
}

void StatsViewController::changeToGreen()
{
    changeToTheme(StatThemeGreen());
}

void StatsViewController::changeToOrange()
{
    changeToTheme(StatThemeOrange());
}

QList<QLabel *> StatsViewController::allLabels()
{
    Ui::StatsViewController &outlets = form();
    return {outlets.freeSpaceLabel,      outlets.usedSpaceLabel,      outlets.totalSpaceLabel,
            outlets.freeSpaceTitleLabel, outlets.usedSpaceTitleLabel, outlets.totalSpaceTitleLabel};
}

Ui::StatsViewController &StatsViewController::form()
{
    view();
    return *m_form;
}

MWLinedBackgroundView *StatsViewController::backgroundView()
{
    return static_cast<MWLinedBackgroundView *>(view());
}

MWSpaceLabel *StatsViewController::freeSpaceLabel()
{
    return form().freeSpaceLabel;
}

MWSpaceLabel *StatsViewController::usedSpaceLabel()
{
    return form().usedSpaceLabel;
}

MWSpaceLabel *StatsViewController::totalSpaceLabel()
{
    return form().totalSpaceLabel;
}

QLabel *StatsViewController::divider1()
{
    return form().divider1;
}

QLabel *StatsViewController::divider2()
{
    return form().divider2;
}
