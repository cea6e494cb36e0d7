#pragma once

#include <QList>
#include <QObject>
#include <QPointer>
#include <QWidget>

// Takes the space bar before any view of the watched windows sees it (an item view would tick
// its current row): plain Space asks for the preview, Ctrl+Space for a tick of the current
// row. While a text field or spin box has focus, Space types as usual. Installed on the
// application while the results are shown, removed while the removal sheet is open.
class PreviewKeyFilter final : public QObject
{
    Q_OBJECT

public:
    explicit PreviewKeyFilter(QObject *parent = nullptr);
    ~PreviewKeyFilter() override;
    Q_DISABLE_COPY_MOVE(PreviewKeyFilter)

    // Key presses are taken only in these windows.
    void addWindow(QWidget *window);

    void install();
    void remove();
    bool isInstalled() const { return m_installed; }

signals:
    void previewRequested();
    void tickRequested();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    bool watches(const QWidget *widget) const;
    static bool typesText(const QWidget *focus);

    QList<QPointer<QWidget>> m_windows;
    bool m_installed = false;
};
