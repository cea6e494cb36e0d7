#include "controls/RQDropView.h"
#include "controls/RQDropViewDelegate.h"
#include "controls/VXDropButton.h"
#include "photolibraries/InstalledApplication.h"
#include "photolibraries/RQPhotosLibrary.h"
#include "photolibraries/RQiPhotoLibrary.h"
#include "windows/RQTouchBarController.h"

#include "support/EventLoop.h"
#include "support/TemporaryFolder.h"

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMimeData>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>

using namespace Qt::StringLiterals;

namespace {

class RecordingDelegate final : public RQDropViewDelegate
{
public:
    void dropViewFileWasDropped(RQDropView &) override { messages.append(u"dropped"_s); }
    void dropViewDidEnter(RQDropView &) override { messages.append(u"enter"_s); }
    void dropViewDidExit(RQDropView &) override { messages.append(u"exit"_s); }

    QStringList messages;
};

// Folders, a file, a link, packages and photo libraries in a temporary folder, with an iPhoto
// whose recent list names two libraries and a Photos that is installed or not.
class DropFixture
{
public:
    DropFixture()
    {
        m_folder.makeFolder(u"Pictures"_s);
        m_folder.makeFolder(u"Music"_s);
        m_folder.writeFile(u"notes.txt"_s, "notes");
        m_folder.makeSymlink(u"Link"_s, m_folder.filePath(u"Pictures"_s));
        m_folder.makeFolder(u"Tool.app/Contents"_s);
        m_folder.makeFolder(u"Slides.key/Data"_s);
        m_folder.makeFolder(u"Family.photoslibrary"_s);
        m_folder.makeFolder(u"Second.photoslibrary"_s);
        QByteArray recent = R"(<plist version="1.0"><dict><key>iPhotoRecentDatabases</key><array>)";
        for (const QString &name : {u"One.photolibrary"_s, u"Two.photolibrary"_s})
            recent += "<string>" + QUrl::fromLocalFile(m_folder.makeFolder(name) + u"/AlbumData.xml"_s).toEncoded() + "</string>";
        m_iPhoto = std::make_unique<RQiPhotoLibrary>(ApplicationRegistry(), m_folder.writeFile(u"iApps.plist"_s, recent + "</array></dict></plist>"));
    }

    QString path(const QString &name) const { return m_folder.filePath(name); }

    // A view whose libraries are ours; with Photos installed when asked.
    std::unique_ptr<RQDropView> makeView(bool withPhotos)
    {
        auto view = std::make_unique<RQDropView>();
        view->setLibraries(*m_iPhoto, withPhotos ? m_photos : m_noPhotos);
        view->setDelegate(&delegate);
        view->resize(200, 120);
        return view;
    }

    QSet<QString> paths(const QStringList &names) const
    {
        QSet<QString> set;
        for (const QString &name : names)
            set.insert(path(name));
        return set;
    }

    RecordingDelegate delegate;

private:
    TemporaryFolder m_folder;
    std::unique_ptr<RQiPhotoLibrary> m_iPhoto;
    const RQPhotosLibrary m_photos{registryWithApplication(u"com.apple.Photos"_s, u"5.0"_s)};
    const RQPhotosLibrary m_noPhotos{ApplicationRegistry()};
};

std::unique_ptr<QMimeData> urlDrag(const QList<QUrl> &urls)
{
    auto mime = std::make_unique<QMimeData>();
    mime->setUrls(urls);
    return mime;
}

} // namespace

TEST(RQDropViewTest, TakesADragOnlyWhenEveryItemIsAnAcceptableLocalFolder)
{
    const struct {
        const char *name;
        QStringList held;
        QStringList dragged; // names in the fixture, or whole URLs
        bool withPhotos;
        bool accepting;
        bool accepted;
        QStringList heldAfterDrop;
    } cases[] = {
        {"folder", {}, {u"Pictures"_s}, false, true, true, {u"Pictures"_s}},
        {"file", {}, {u"notes.txt"_s}, false, true, false, {}},
        {"folder with a file", {}, {u"Pictures"_s, u"notes.txt"_s}, false, true, false, {}},
        {"link to a folder", {}, {u"Link"_s}, false, true, true, {u"Link"_s}},
        // Named like another platform's packages, they are folders to their users here.
        {"a folder named like an application", {}, {u"Tool.app"_s}, false, true, true, {u"Tool.app"_s}},
        {"a folder named like a presentation", {u"Music"_s}, {u"Slides.key"_s}, false, true, true,
         {u"Music"_s, u"Slides.key"_s}},
        {"Photos library without Photos", {}, {u"Family.photoslibrary"_s}, false, true, true,
         {u"Family.photoslibrary"_s}},
        {"Photos library", {u"Music"_s}, {u"Family.photoslibrary"_s}, true, true, true,
         {u"Music"_s, u"Family.photoslibrary"_s}},
        {"second Photos library", {u"Family.photoslibrary"_s}, {u"Second.photoslibrary"_s}, true, true, false, {}},
        {"two Photos libraries at once", {}, {u"Family.photoslibrary"_s, u"Second.photoslibrary"_s}, true, true, false, {}},
        {"two iPhoto libraries", {}, {u"One.photolibrary"_s, u"Two.photolibrary"_s}, false, true, true,
         {u"One.photolibrary"_s, u"Two.photolibrary"_s}},
        {"web address", {}, {u"http://example.org/Pictures"_s}, false, true, false, {}},
        {"local folder with a web address", {}, {u"Pictures"_s, u"http://example.org/"_s}, false, true, false, {}},
        {"not accepting", {}, {u"Pictures"_s}, false, false, false, {}},
        {"a held folder with a trailing slash", {u"Pictures"_s}, {u"Pictures/"_s}, false, true, true, {u"Pictures"_s}},
    };
    for (const auto &testCase : cases) {
        SCOPED_TRACE(testCase.name);
        DropFixture fixture;
        auto view = fixture.makeView(testCase.withPhotos);
        view->setAcceptingDrops(testCase.accepting);
        if (!testCase.held.isEmpty())
            view->setFilePaths(fixture.paths(testCase.held));
        QList<QUrl> urls;
        for (const QString &item : testCase.dragged)
            urls.append(item.startsWith("http"_L1) ? QUrl(item) : QUrl::fromLocalFile(fixture.path(item)));
        const auto mime = urlDrag(urls);

        QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, mime.get(),
                              Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &enter);
        EXPECT_EQ(enter.isAccepted(), testCase.accepted);
        if (!testCase.accepted) {
            EXPECT_EQ(fixture.delegate.messages, QStringList());
            continue;
        }
        EXPECT_EQ(enter.dropAction(), Qt::CopyAction);
        EXPECT_EQ(fixture.delegate.messages, QStringList{u"enter"_s});

        QDropEvent drop(QPointF(20, 20), Qt::CopyAction | Qt::MoveAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view.get(), &drop);
        EXPECT_TRUE(drop.isAccepted());
        EXPECT_EQ(drop.dropAction(), Qt::CopyAction);
        EXPECT_EQ(fixture.delegate.messages, (QStringList{u"enter"_s, u"dropped"_s, u"exit"_s}));
        EXPECT_EQ(view->filePaths(), fixture.paths(testCase.heldAfterDrop));
    }
}

TEST(RQDropViewTest, TextDragsAreIgnoredAndALeavingDragIsReported)
{
    DropFixture fixture;
    auto view = fixture.makeView(false);
    QMimeData text;
    text.setText(fixture.path(u"Pictures"_s));
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &enter);
    EXPECT_FALSE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &text, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &drop);
    EXPECT_FALSE(drop.isAccepted());
    EXPECT_EQ(fixture.delegate.messages, QStringList());
    EXPECT_FALSE(view->filePaths().has_value());

    const auto folder = urlDrag({QUrl::fromLocalFile(fixture.path(u"Pictures"_s))});
    QDragEnterEvent folderEnter(QPoint(5, 5), Qt::CopyAction, folder.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &folderEnter);
    QDragLeaveEvent leave;
    QApplication::sendEvent(view.get(), &leave);
    EXPECT_EQ(fixture.delegate.messages, (QStringList{u"enter"_s, u"exit"_s}));
    EXPECT_FALSE(view->filePaths().has_value());
}

TEST(RQDropViewTest, ClearThenDropHoldsOnlyTheNewFolders)
{
    DropFixture fixture;
    auto view = fixture.makeView(false);
    view->addFilePaths({fixture.path(u"Pictures"_s)});
    view->clear();
    EXPECT_FALSE(view->filePaths().has_value());
    const auto mime = urlDrag({QUrl::fromLocalFile(fixture.path(u"Music"_s))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &enter);
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, mime.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view.get(), &drop);
    EXPECT_EQ(view->filePaths(), fixture.paths({u"Music"_s}));
}

TEST(RQDropViewTest, ChooserTakesTheFirstPhotosLibraryAndCancelSendsNothing)
{
    DropFixture fixture;
    auto view = fixture.makeView(true);
    RQTouchBarController &touchBar = RQTouchBarController::sharedController();

    touchBar.setHidden(true);
    view->chooserDidEnd({});
    EXPECT_EQ(fixture.delegate.messages, QStringList());
    EXPECT_FALSE(view->filePaths().has_value());
    EXPECT_TRUE(touchBar.hidden()) << "the bar comes back a moment after the chooser closes";
    EXPECT_TRUE(processEventsUntil([&touchBar] { return !touchBar.hidden(); }));

    touchBar.setHidden(true);
    view->chooserDidEnd({fixture.path(u"Second.photoslibrary"_s), fixture.path(u"Pictures/"_s),
                         fixture.path(u"Family.photoslibrary"_s), fixture.path(u"notes.txt"_s),
                         fixture.path(u"Tool.app"_s)});
    EXPECT_EQ(fixture.delegate.messages, QStringList{u"dropped"_s});
    EXPECT_EQ(view->filePaths(), fixture.paths({u"Second.photoslibrary"_s, u"Pictures"_s, u"Tool.app"_s}));
    EXPECT_TRUE(processEventsUntil([&touchBar] { return !touchBar.hidden(); }));
}

TEST(RQDropViewTest, SpaceOpensTheChooserWithTheBarHiddenUntilItCloses)
{
    DropFixture fixture;
    QWidget window;
    window.resize(300, 200);
    auto view = fixture.makeView(false);
    view->setParent(&window);
    window.show();
    EXPECT_EQ(view->focusPolicy(), Qt::StrongFocus);
    EXPECT_FALSE(view->accessibleName().isEmpty());

    QKeyEvent space(QEvent::KeyPress, Qt::Key_Space, Qt::NoModifier, u" "_s);
    QApplication::sendEvent(view.get(), &space);
    auto *chooser = window.findChild<QFileDialog *>();
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(RQTouchBarController::sharedController().hidden());
    chooser->reject();
    EXPECT_TRUE(processEventsUntil([] { return !RQTouchBarController::sharedController().hidden(); }));
    EXPECT_EQ(fixture.delegate.messages, QStringList());
}

TEST(RQDropViewTest, DropButtonHandsDragsToItsDropView)
{
    DropFixture fixture;
    auto view = fixture.makeView(false);
    VXDropButton button;
    const auto folder = urlDrag({QUrl::fromLocalFile(fixture.path(u"Pictures"_s))});
    const auto file = urlDrag({QUrl::fromLocalFile(fixture.path(u"notes.txt"_s))});

    QDragEnterEvent withoutDelegate(QPoint(1, 1), Qt::CopyAction, folder.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &withoutDelegate);
    EXPECT_FALSE(withoutDelegate.isAccepted());

    button.setDelegate(view.get());
    QDragEnterEvent refused(QPoint(1, 1), Qt::CopyAction, file.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &refused);
    EXPECT_FALSE(refused.isAccepted());
    EXPECT_EQ(button.cursor().shape(), Qt::ArrowCursor);

    QDragEnterEvent enter(QPoint(1, 1), Qt::CopyAction, folder.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &enter);
    EXPECT_TRUE(enter.isAccepted());
    EXPECT_EQ(button.cursor().shape(), Qt::DragCopyCursor);
    QDropEvent drop(QPointF(1, 1), Qt::CopyAction, folder.get(), Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&button, &drop);
    EXPECT_EQ(button.cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(fixture.delegate.messages, (QStringList{u"enter"_s, u"dropped"_s, u"exit"_s}));
    EXPECT_EQ(view->filePaths(), fixture.paths({u"Pictures"_s}));
}
