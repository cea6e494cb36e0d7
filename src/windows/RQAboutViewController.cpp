#include "windows/RQAboutViewController.h"

#include "ui_RQAboutViewController.h"

#include <QCoreApplication>

RQAboutViewController::RQAboutViewController(QObject *parent)
    : AboutViewBase(parent)
{
}

RQAboutViewController::~RQAboutViewController() = default;

QWidget *RQAboutViewController::loadView()
{
    return loadForm(m_ui);
}

void RQAboutViewController::setAppNameAndVersion()
{
    m_ui->appNameLabel->setText(QCoreApplication::applicationName());
    m_ui->appVersionLabel->setText(
        QStringLiteral("Version %1").arg(QCoreApplication::applicationVersion()));
}

QLabel *RQAboutViewController::copyrightLabel() const
{
    return m_ui->copyrightLabel;
}

AboutViewBase::LinkButtons RQAboutViewController::linkButtons() const
{
    return {m_ui->faqButton, m_ui->fanButton, m_ui->twitterButton, m_ui->rovaquinButton};
}
