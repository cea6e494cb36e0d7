#include "platform/gui/PreviewView.h"

#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QCoreApplication>
#include <QImage>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

// Bytes this process has read through read(2) and the like so far.
qint64 bytesReadByProcess()
{
    QFile io(u"/proc/self/io"_s);
    if (!io.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : io.readAll().split('\n')) {
        if (line.startsWith("rchar:"))
            return line.mid(6).trimmed().toLongLong();
    }
    return -1;
}

QString sparseFile(const TemporaryFolder &folder, const QString &name, qint64 size)
{
    const QString path = folder.writeFile(name, "start");
    QFile file(path);
    EXPECT_TRUE(file.resize(size));
    return path;
}

QString filledImage(const TemporaryFolder &folder, const QString &name, QSize size, Qt::GlobalColor colour)
{
    const QString path = folder.filePath(name);
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(colour);
    EXPECT_TRUE(picture.save(path));
    return path;
}

} // namespace

TEST(PreviewViewTest, EachKindOfFileShowsWhatItCan)
{
    TemporaryFolder folder;
    const QString image = filledImage(folder, u"wide.png"_s, {2000, 1000}, Qt::darkCyan);
    const QString text = folder.writeFile(u"notes.txt"_s, QByteArray(5000, 'a'));
    const QString pipe = folder.filePath(u"pipe.txt"_s);
    ASSERT_EQ(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    const QString broken = folder.writeFile(u"broken.png"_s, "not an image at all");

    struct Case
    {
        const char *what;
        QString path;
        PreviewView::Kind kind;
        QSize imageSize;
        qsizetype textLength;
    };
    const Case cases[] = {
        {"an image, scaled to fit", image, PreviewView::Kind::Image, {400, 200}, 0},
        {"the start of a text file", text, PreviewView::Kind::Text, {}, 4096},
        {"a pipe is never opened", pipe, PreviewView::Kind::Summary, {}, 0},
        {"an image that does not decode", broken, PreviewView::Kind::Summary, {}, 0},
        {"a folder", folder.makeFolder(u"folder"_s), PreviewView::Kind::Summary, {}, 0},
        {"nothing there", folder.filePath(u"missing.txt"_s), PreviewView::Kind::Summary, {}, 0},
    };
    for (const Case &testCase : cases) {
        const PreviewView::Content content = PreviewView::contentForFile(testCase.path, {400, 300});
        EXPECT_EQ(content.kind, testCase.kind) << testCase.what;
        EXPECT_EQ(content.image.isNull() ? QSize() : content.image.size(), testCase.imageSize) << testCase.what;
        EXPECT_EQ(content.text.size(), testCase.textLength) << testCase.what;
    }
}

TEST(PreviewViewTest, AHugeFileIsNeverReadWhole)
{
    TemporaryFolder folder;
    constexpr qint64 twoGigabytes = 2LL * 1024 * 1024 * 1024;
    for (const QString &name : {u"huge.txt"_s, u"huge.png"_s, u"huge.bin"_s}) {
        const QString path = sparseFile(folder, name, twoGigabytes);
        const qint64 before = bytesReadByProcess();
        const PreviewView::Content content = PreviewView::contentForFile(path, {400, 300});
        const qint64 read = bytesReadByProcess() - before;
        EXPECT_LT(read, 1024 * 1024) << name.toStdString();
        EXPECT_LE(content.text.size(), PreviewView::textPreviewBytes) << name.toStdString();
    }
}

TEST(PreviewViewTest, AFileThatCannotBeReadIsNamedWithItsSize)
{
    TemporaryFolder folder;
    const QString path = folder.writeFile(u"secret.txt"_s, "hidden");
    ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), 0), 0);
    if (::access(QFile::encodeName(path).constData(), R_OK) == 0)
        GTEST_SKIP() << "this user reads every file";
    PreviewView view;
    view.setPreviewItem(path, u"secret.txt"_s, 6);
    EXPECT_EQ(view.kind(), PreviewView::Kind::Summary);
    EXPECT_TRUE(view.summaryText().startsWith(u"secret.txt\n"_s));
    view.setPreviewItem({}, {}, 0);
    EXPECT_EQ(view.kind(), PreviewView::Kind::Nothing);
}

// A landscape image is shown whole in a pane of other proportions, scaled with its aspect
// ratio, and again when the pane changes size.
TEST(PreviewViewTest, AnImageIsShownWholeInThePane)
{
    TemporaryFolder folder;
    const QString path = filledImage(folder, u"landscape.png"_s, {800, 600}, Qt::darkGreen);
    PreviewView view;
    view.resize(320, 141);
    view.show();
    view.setPreviewItem(path, u"landscape.png"_s, 1000);
    const struct {
        QSize pane;
        QSize shown;
    } cases[] = {{{320, 141}, {188, 141}}, {{400, 400}, {400, 300}}, {{1000, 900}, {800, 600}}};
    for (const auto &test : cases) {
        view.resize(test.pane);
        QCoreApplication::processEvents();
        EXPECT_EQ(view.shownImageSize(), test.shown) << test.pane.width() << "x" << test.pane.height();
    }
}
