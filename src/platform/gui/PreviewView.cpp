#include "platform/gui/PreviewView.h"

#include "foundation/RQMemoryFormatter.h"
#include "platform/gui/FileIconProvider.h"

#include <QFile>
#include <QEvent>
#include <QFileInfo>
#include <QImageReader>
#include <QLabel>
#include <QMimeDatabase>
#include <QPixmap>
#include <QPlainTextEdit>
#include <QScreen>
#include <QStackedLayout>
#include <QStringDecoder>
#include <QVBoxLayout>

#include <optional>

using namespace Qt::StringLiterals;

namespace {

enum Page { EmptyPage, ImagePage, TextPage, SummaryPage };

QImage readScaledImage(const QString &path, const QSize &box)
{
    QImageReader reader(path);
    reader.setAllocationLimit(PreviewView::imageAllocationLimitMegabytes);
    reader.setAutoTransform(true);
    const QSize full = reader.size();
    if (full.isValid() && (full.width() > box.width() || full.height() > box.height()))
        reader.setScaledSize(full.scaled(box, Qt::KeepAspectRatio));
    return reader.read();
}

std::optional<QString> readTextStart(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // A character cut at the end of the read stays in the decoder and is dropped.
    QStringDecoder decoder(QStringDecoder::Utf8);
    return decoder(file.read(PreviewView::textPreviewBytes));
}

} // namespace

PreviewView::Content PreviewView::contentForFile(const QString &path, const QSize &imageBox)
{
    // Pipes and devices would block or never end; folders have nothing to show but a name.
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return {Kind::Summary, {}, {}};
    const QMimeType type = QMimeDatabase().mimeTypeForFile(info, QMimeDatabase::MatchExtension);
    if (type.name().startsWith(u"image/"_s)) {
        QImage image = readScaledImage(path, imageBox);
        if (!image.isNull())
            return {Kind::Image, std::move(image), {}};
    } else if (type.inherits(u"text/plain"_s)) {
        if (std::optional<QString> text = readTextStart(path))
            return {Kind::Text, {}, std::move(*text)};
    }
    return {Kind::Summary, {}, {}};
}

PreviewView::PreviewView(QWidget *parent)
    : QWidget(parent),
      m_pages(new QStackedLayout()),
      m_imageLabel(new QLabel()),
      m_textView(new QPlainTextEdit()),
      m_iconLabel(new QLabel()),
      m_nameLabel(new QLabel()),
      m_sizeLabel(new QLabel())
{
    setAccessibleName(tr("Preview"));
    m_imageLabel->setAlignment(Qt::AlignCenter);
    // The pane sets the image's size, never the other way round.
    m_imageLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_imageLabel->setMinimumSize(1, 1);
    m_imageLabel->installEventFilter(this);
    m_textView->setReadOnly(true);
    m_textView->setFocusPolicy(Qt::NoFocus);
    m_textView->setLineWrapMode(QPlainTextEdit::WidgetWidth);

    auto *summary = new QWidget();
    auto *summaryLayout = new QVBoxLayout(summary);
    summaryLayout->addStretch();
    for (QLabel *label : {m_iconLabel, m_nameLabel, m_sizeLabel}) {
        label->setAlignment(Qt::AlignCenter);
        summaryLayout->addWidget(label);
    }
    m_nameLabel->setWordWrap(true);
    summaryLayout->addStretch();

    m_pages->insertWidget(EmptyPage, new QWidget());
    m_pages->insertWidget(ImagePage, m_imageLabel);
    m_pages->insertWidget(TextPage, m_textView);
    m_pages->insertWidget(SummaryPage, summary);
    setLayout(m_pages);
}

void PreviewView::setPreviewItem(const QString &path, const QString &name, double bytes)
{
    if (path.isEmpty()) {
        clear();
        return;
    }
    // Decoded once at most at the screen's size, so that a larger pane later still shows it sharp.
    const QSize screenSize = screen() ? screen()->size() : sizeHint();
    const QSize box = (QSizeF(screenSize.expandedTo(size())) * devicePixelRatioF()).toSize();
    m_content = contentForFile(path, box);
    switch (m_content.kind) {
    case Kind::Image:
        showImage();
        m_pages->setCurrentIndex(ImagePage);
        break;
    case Kind::Text:
        m_textView->setPlainText(m_content.text);
        m_pages->setCurrentIndex(TextPage);
        break;
    default:
        showSummary(path, name, bytes);
        break;
    }
}

void PreviewView::showImage()
{
    const qreal ratio = devicePixelRatioF();
    const QSize room = (QSizeF(m_imageLabel->size()) * ratio).toSize();
    const QImage &image = m_content.image;
    QPixmap pixmap = QPixmap::fromImage(image.width() > room.width() || image.height() > room.height()
                                            ? image.scaled(room, Qt::KeepAspectRatio, Qt::SmoothTransformation)
                                            : image);
    pixmap.setDevicePixelRatio(ratio);
    m_imageLabel->setPixmap(pixmap);
}

QSize PreviewView::shownImageSize() const
{
    const QPixmap pixmap = m_imageLabel->pixmap();
    return pixmap.isNull() ? QSize() : pixmap.deviceIndependentSize().toSize();
}

bool PreviewView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_imageLabel && event->type() == QEvent::Resize && m_content.kind == Kind::Image)
        showImage();
    return QWidget::eventFilter(watched, event);
}

void PreviewView::setShowsNameAndSize(bool shows)
{
    m_showsNameAndSize = shows;
    m_nameLabel->setVisible(shows);
    m_sizeLabel->setVisible(shows);
}

void PreviewView::clear()
{
    m_content = {};
    m_imageLabel->clear();
    m_textView->clear();
    m_pages->setCurrentIndex(EmptyPage);
}

QString PreviewView::summaryText() const
{
    return m_nameLabel->text() + u'\n' + m_sizeLabel->text();
}

void PreviewView::showSummary(const QString &path, const QString &name, double bytes)
{
    static const RQMemoryFormatter formatter;
    m_iconLabel->setPixmap(FileIconProvider::iconForFile(path).pixmap(64, 64));
    m_nameLabel->setText(name);
    m_sizeLabel->setText(formatter.stringFromBytes(bytes));
    m_pages->setCurrentIndex(SummaryPage);
}
