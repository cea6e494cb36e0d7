#include "windows/AboutViewController.h"

#include "ui_AboutViewController.h"

#include <QCoreApplication>

AboutViewController::AboutViewController(QObject *parent)
    : AboutViewBase(parent)
{
}

AboutViewController::~AboutViewController() = default;

QWidget *AboutViewController::loadView()
{
    return loadForm(m_ui);
}

void AboutViewController::setAppNameAndVersion()
{
    m_ui->appNameLabel->setText(QStringLiteral("%1 v%2").arg(
        QCoreApplication::applicationName(), QCoreApplication::applicationVersion()));
}

QLabel *AboutViewController::copyrightLabel() const
{
    return m_ui->copyrightLabel;
}

AboutViewBase::LinkButtons AboutViewController::linkButtons() const
{
    return {m_ui->faqButton, m_ui->fanButton, m_ui->twitterButton, m_ui->rovaquinButton};
}
