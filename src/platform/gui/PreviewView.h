#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QStackedLayout;

// The preview of one file: an image scaled to fit, the start of a text file, or else the
// file's icon, name and size. No file is ever read whole: images are decoded at the shown
// size under an allocation limit, text is read up to textPreviewBytes, and anything that is
// not a regular file (a pipe, a device) is only named. Main thread only.
class PreviewView final : public QWidget
{
    Q_OBJECT

public:
    enum class Kind { Nothing, Image, Text, Summary };

    static constexpr qint64 textPreviewBytes = 4096;
    static constexpr int imageAllocationLimitMegabytes = 256;

    // What the preview of a file shows, made without widgets.
    struct Content
    {
        Kind kind = Kind::Nothing;
        QImage image;
        QString text;
    };
    // The image is scaled to fit within the box, never beyond its own size.
    static Content contentForFile(const QString &path, const QSize &imageBox);

    explicit PreviewView(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(PreviewView)

    // Shows the file at the path under its display name and size; an empty path clears.
    void setPreviewItem(const QString &path, const QString &name, double bytes);
    void clear();

    Kind kind() const { return m_content.kind; }
    const Content &content() const { return m_content; }
    QString summaryText() const;

    QSize sizeHint() const override { return {320, 240}; }

private:
    void showSummary(const QString &path, const QString &name, double bytes);

    Content m_content;
    QStackedLayout *m_pages;
    QLabel *m_imageLabel;
    QPlainTextEdit *m_textView;
    QLabel *m_iconLabel;
    QLabel *m_nameLabel;
    QLabel *m_sizeLabel;
};
