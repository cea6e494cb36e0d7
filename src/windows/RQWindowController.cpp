#include "windows/RQWindowController.h"

#include <QStyle>
#include <QStyleFactory>

RQWindowController::RQWindowController(QObject *parent) : QObject(parent) {}

QWidget *RQWindowController::window()
{
    return m_window.get([this] { return loadWindow(); },
                        [this](QWidget &window) {
                            window.setPalette(lightPalette());
                            windowDidLoad();
                        });
}

QPalette RQWindowController::lightPalette()
{
    static const QPalette palette = [] {
        const std::unique_ptr<QStyle> fusion(QStyleFactory::create(QStringLiteral("Fusion")));
        const QPalette standard = fusion->standardPalette();
        // Every role is set on its own, so none falls back to a dark application palette.
        QPalette light;
        for (int group = 0; group < QPalette::NColorGroups; ++group) {
            for (int role = 0; role < QPalette::NColorRoles; ++role) {
                const auto colorGroup = static_cast<QPalette::ColorGroup>(group);
                const auto colorRole = static_cast<QPalette::ColorRole>(role);
                light.setBrush(colorGroup, colorRole, standard.brush(colorGroup, colorRole));
            }
        }
        return light;
    }();
    return palette;
}

QWidget *RQWindowController::loadWindow()
{
    return nullptr;
}

void RQWindowController::windowDidLoad() {}
