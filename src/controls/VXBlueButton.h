#pragma once

#include "controls/RQButton.h"

// The blue pill button, green once its work has succeeded; drawn at 60 % while disabled.
class VXBlueButton final : public RQButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VXBlueButton)
    Q_PROPERTY(bool success READ success WRITE setSuccess)

public:
    explicit VXBlueButton(QWidget *parent = nullptr);

    bool success() const { return m_success; }
    void setSuccess(bool success);

    // Blanks the title while work is in progress, and puts it back.
    void startProgress();
    void stopProgress();
    QString oldTitle() const { return m_oldTitle; }

private:
    bool m_success = false;
    QString m_oldTitle;
};
