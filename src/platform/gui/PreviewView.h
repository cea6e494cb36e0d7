#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>

class QLabel;
class QPlainTextEdit;
class QStackedLayout;

// The preview of one file: an image scaled to fit the pane with its proportions, the start of a text file, or else the
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

    // Whether a file shown by its icon is also named with its size under the icon; off where
    // labels next to the preview already say both.
    bool showsNameAndSize() const { return m_showsNameAndSize; }
    void setShowsNameAndSize(bool shows);

    Kind kind() const { return m_content.kind; }
    const Content &content() const { return m_content; }
    QString summaryText() const;

    // The size, in the view's own units, at which the image is drawn; empty without one.
    QSize shownImageSize() const;

    QSize sizeHint() const override { return {320, 240}; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    // The image, whole, at the largest size the pane holds and never beyond its own.
    void showImage();
    void showSummary(const QString &path, const QString &name, double bytes);

    Content m_content;
    bool m_showsNameAndSize = true;
    QStackedLayout *m_pages;
    QLabel *m_imageLabel;
    QPlainTextEdit *m_textView;
    QLabel *m_iconLabel;
    QLabel *m_nameLabel;
    QLabel *m_sizeLabel;
};
