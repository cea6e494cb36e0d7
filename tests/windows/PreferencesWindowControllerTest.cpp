#include "windows/PreferencesWindowController.h"

#include "ui_PreferencesWindowController.h"
#include "ui_RQAboutViewController.h"

#include "photolibraries/RQiPhotoLibrary.h"
#include "platform/ApplicationRegistry.h"
#include "platform/UserDefaults.h"
#include "services/Preferences.h"
#include "windows/IgnoredFoldersModel.h"
#include "windows/RQAboutViewController.h"

#include "ApplicationIdentity.h"
#include "support/EventLoop.h"
#include "support/ScreenCapture.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QAbstractAnimation>
#include <QAbstractItemModelTester>
#include <QApplication>
#include <QFileDialog>
#include <QGraphicsOpacityEffect>
#include <QListView>
#include <QMimeData>
#include <QTest>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// A Preferences window over settings in a temporary folder, and folders to drop: two new
// ones, one already listed, an application bundle and an iPhoto library on a fake list.
class PreferencesWindowControllerTest : public ::testing::Test
{
public:
    void SetUp() override
    {
        for (const QString &name : {u"alpha"_s, u"beta"_s, u"listed"_s, u"Tool.app"_s, u"Family.photolibrary"_s})
            m_folder.makeFolder(u"drops/"_s + name);
        m_folder.writeFile(u"drops/notes.txt"_s, "text"_ba);
        const QString list = m_folder.writeFile(
            u"iApps.plist"_s,
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?><plist version=\"1.0\"><dict>"
            "<key>iPhotoRecentDatabases</key><array><string>"
                + QUrl::fromLocalFile(drop(u"Family.photolibrary"_s)).toString().toUtf8()
                + "</string></array></dict></plist>");
        m_iPhoto = std::make_unique<RQiPhotoLibrary>(ApplicationRegistry(), list);
    }

    // Opens the window over the settings as they are stored now.
    void open(const std::function<void(Preferences &)> &stored = {})
    {
        m_tester.reset();
        m_controller.reset();
        m_preferences.reset();
        m_defaults = std::make_unique<UserDefaults>(settingsFile());
        m_preferences = std::make_unique<Preferences>(*m_defaults, u":/plists/DefaultIgnoredExtensions.plist"_s,
                                                      u":/plists/IgnoreList.plist"_s);
        if (stored)
            stored(*m_preferences);
        m_controller = std::make_unique<PreferencesWindowController>(*m_preferences);
        m_controller->setiPhotoLibrary(m_iPhoto.get());
        m_controller->showWindow();
        m_tester = std::make_unique<QAbstractItemModelTester>(
            &m_controller->ignoredFoldersModel(), QAbstractItemModelTester::FailureReportingMode::Fatal);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(window()));
        QApplication::setActiveWindow(window());
    }

    QString settingsFile() const { return m_folder.filePath(u"settings.ini"_s); }
    QString drop(const QString &name) const { return m_folder.filePath(u"drops/"_s + name); }
    QWidget *window() const { return m_controller->window(); }
    const Ui::PreferencesWindowController &ui() const { return m_controller->ui(); }
    Preferences &preferences() const { return *m_preferences; }

    // Replaces the size field's text keystroke by keystroke, as a person types.
    void typeSize(const QString &text) const
    {
        QLineEdit *field = ui().fileSizeTextField;
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
    }
    void chooseUnit(int index) const
    {
        QComboBox *unit = ui().fileSizeDropdown;
        unit->setFocus();
        while (unit->currentIndex() != index)
            QTest::keyClick(unit, unit->currentIndex() < index ? Qt::Key_Down : Qt::Key_Up);
    }

    // Drags the data over the folders table and drops it; answers whether it was taken.
    bool dragAndDrop(const QMimeData &data) const
    {
        QWidget *viewport = ui().ignoredTableView->viewport();
        const QPoint inside = viewport->rect().center();
        QDragEnterEvent enter(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &enter);
        if (!enter.isAccepted())
            return false;
        QDragMoveEvent move(inside, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &move);
        if (!move.isAccepted())
            return false;
        QDropEvent dropEvent(QPointF(inside), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(viewport, &dropEvent);
        return dropEvent.isAccepted();
    }

    // Runs every running animation of the window to its end.
    void finishAnimations() const { ::finishAnimations(*window()); }
    bool isAnimating() const
    {
        const auto animations = window()->findChildren<QAbstractAnimation *>();
        return std::any_of(animations.cbegin(), animations.cend(), [](const QAbstractAnimation *animation) {
            return animation->state() == QAbstractAnimation::Running;
        });
    }

    ApplicationIdentity m_identity;
    TemporaryFolder m_folder;
    std::unique_ptr<RQiPhotoLibrary> m_iPhoto;
    std::unique_ptr<UserDefaults> m_defaults;
    std::unique_ptr<Preferences> m_preferences;
    std::unique_ptr<PreferencesWindowController> m_controller;
    std::unique_ptr<QAbstractItemModelTester> m_tester;
};

int darkPixels(const QImage &image, const QRect &area)
{
    int count = 0;
    const QRect pixels(area.topLeft() * image.devicePixelRatio(), area.size() * image.devicePixelRatio());
    for (int y = pixels.top(); y <= pixels.bottom(); ++y) {
        for (int x = pixels.left(); x <= pixels.right(); ++x)
            count += QColor(image.pixel(x, y)).lightness() < 110 ? 1 : 0;
    }
    return count;
}

// The widget's rectangle in the window's coordinates.
QRect areaOf(const QWidget &widget, const QWidget &window)
{
    return QRect(widget.mapTo(&window, QPoint(0, 0)), widget.size());
}

} // namespace

TEST_F(PreferencesWindowControllerTest, FirstOpeningShowsTheDefaultsAndWritesNothing)
{
    open();
    EXPECT_TRUE(ui().useTrashCheckbox->isChecked());
    EXPECT_FALSE(ui().useHardLinksCheckbox->isChecked());
    EXPECT_EQ(ui().autoSelectButton->currentText(), u"Keep the newest file"_s);
    EXPECT_EQ(ui().fileSizeTextField->text(), u"20"_s);
    EXPECT_EQ(ui().fileSizeDropdown->currentText(), u"KB"_s);
    EXPECT_EQ(ui().fileSizeDropdown->count(), 7);
    EXPECT_EQ(ui().ignoredExtensionsField->text(), preferences().ignoreList().join(u", "_s));
    EXPECT_FALSE(preferences().ignoreList().isEmpty());
    EXPECT_EQ(m_controller->ignoredFoldersModel().paths(), preferences().ignoredPaths());
    EXPECT_EQ(m_controller->currentView(), ui().generalView);
    EXPECT_TRUE(ui().generalAction->isChecked());
    EXPECT_FALSE(QFileInfo::exists(settingsFile()));
    EXPECT_TRUE(QApplication::activeModalWidget() == nullptr);
    // A window of its own, not modal; showing it again brings back the same one.
    EXPECT_TRUE(window()->isWindow());
    EXPECT_EQ(window()->windowModality(), Qt::NonModal);
    window()->close();
    m_controller->showWindow();
    EXPECT_EQ(QApplication::topLevelWidgets().count(window()), 1);
    EXPECT_TRUE(window()->isVisible());

    const auto [single, twice] = ScreenCapture::save(*window(), u"preferences-general"_s);
    EXPECT_GT(darkPixels(single, areaOf(*ui().fileSizeTextField, *window())), 5);
    EXPECT_GT(darkPixels(twice, areaOf(*ui().useTrashCheckbox, *window())), 20);
    EXPECT_GT(darkPixels(single, areaOf(*ui().ignoredExtensionsField, *window())), 20);
}

TEST_F(PreferencesWindowControllerTest, TheSizeIsStoredInBytesAtEveryKeystrokeAndUnitChange)
{
    const struct
    {
        const char *name;
        double storedSize;
        qint64 storedUnit;
        QString opensAs;
        std::function<void(PreferencesWindowControllerTest &)> edit;
        double size;
        QString field;
    } cases[] = {
        {"5 in MB", 20000, 1, u"20"_s,
         [](auto &test) { test.chooseUnit(2); test.typeSize(u"5"_s); }, 5000000, u"5"_s},
        {"50 in MB", 20000, 2, u"0.02"_s,
         [](auto &test) {
             test.typeSize(u"5"_s);
             EXPECT_EQ(test.preferences().minFileSize(), 5000000);
             QTest::keyClicks(test.ui().fileSizeTextField, u"0"_s);
         }, 50000000, u"50"_s},
        {"KB to MB at 20", 20000, 1, u"20"_s, [](auto &test) { test.chooseUnit(2); }, 20000000, u"20"_s},
        {"bytes shown in KB", 5000000, 1, u"5000"_s, [](auto &) {}, 5000000, u"5000"_s},
        {"not a number", 20000, 1, u"20"_s, [](auto &test) { test.typeSize(u"abc"_s); }, 0, u"abc"_s},
        {"a number and more", 20000, 3, u"0.00002"_s, [](auto &test) { test.typeSize(u"1.5 GB"_s); },
         1500000000, u"1.5 GB"_s},
    };
    for (const auto &entry : cases) {
        SCOPED_TRACE(entry.name);
        open([&](Preferences &stored) {
            stored.setMinFileSize(entry.storedSize);
            stored.setMinFileSizeType(entry.storedUnit);
        });
        EXPECT_EQ(ui().fileSizeTextField->text(), entry.opensAs);
        EXPECT_EQ(ui().fileSizeDropdown->currentIndex(), entry.storedUnit);
        entry.edit(*this);
        EXPECT_EQ(preferences().minFileSize(), entry.size);
        EXPECT_EQ(ui().fileSizeTextField->text(), entry.field);
        EXPECT_EQ(UserDefaults(settingsFile()).doubleForKey(u"MinimumFileSize"_s), entry.size);
    }
}

TEST_F(PreferencesWindowControllerTest, EachControlWritesItsSettingAtOnce)
{
    open();
    // On the box itself: a check box wider than its text takes clicks on the box and text.
    const auto clickBox = [](QCheckBox *box) {
        QTest::mouseClick(box, Qt::LeftButton, {}, QPoint(8, box->height() / 2));
    };
    clickBox(ui().useTrashCheckbox);
    EXPECT_FALSE(preferences().useTrash());
    clickBox(ui().useHardLinksCheckbox);
    EXPECT_TRUE(preferences().useHardLinks());
    ui().autoSelectButton->setFocus();
    QTest::keyClick(ui().autoSelectButton, Qt::Key_Up);
    EXPECT_EQ(preferences().autoSelectType(), 0);

    QLineEdit *extensions = ui().ignoredExtensionsField;
    extensions->setFocus();
    extensions->selectAll();
    QTest::keyClicks(extensions, u" JPG, ,tmp ,  x y,"_s);
    EXPECT_EQ(preferences().ignoreList(), QStringList({u"JPG"_s, u"tmp"_s, u"x y"_s}));

    // Return leaves the size field with nothing holding the keyboard.
    typeSize(u"7"_s);
    QTest::keyClick(ui().fileSizeTextField, Qt::Key_Return);
    EXPECT_FALSE(ui().fileSizeTextField->hasFocus());
    EXPECT_EQ(QApplication::focusWidget(), nullptr);
}

TEST_F(PreferencesWindowControllerTest, DropsAreTakenWholeOnlyWithFoldersNotListedYet)
{
    open([&](Preferences &stored) { stored.setIgnoredPaths(QStringList{drop(u"listed"_s)}); });
    const auto urls = [this](const QStringList &names) {
        QList<QUrl> list;
        for (const QString &name : names)
            list.append(QUrl::fromLocalFile(drop(name)));
        return list;
    };
    const struct
    {
        const char *name;
        QList<QUrl> urls;
        QString text;
        QStringList added;
    } cases[] = {
        {"a listed folder", urls({u"listed"_s}), {}, {}},
        {"a pair with one listed", urls({u"alpha"_s, u"listed"_s}), {}, {}},
        {"an application bundle", urls({u"Tool.app"_s}), {}, {}},
        {"a plain file", urls({u"notes.txt"_s}), {}, {}},
        {"a folder that is not there", urls({u"gone"_s}), {}, {}},
        {"a text drag", {}, drop(u"alpha"_s), {}},
        {"a known iPhoto library", urls({u"Family.photolibrary"_s}), {}, {drop(u"Family.photolibrary"_s)}},
        {"two new folders", urls({u"beta"_s, u"alpha"_s}), {}, {drop(u"beta"_s), drop(u"alpha"_s)}},
    };
    QStringList expected = preferences().ignoredPaths();
    for (const auto &entry : cases) {
        QMimeData data;
        if (!entry.urls.isEmpty())
            data.setUrls(entry.urls);
        if (!entry.text.isEmpty())
            data.setText(entry.text);
        EXPECT_EQ(dragAndDrop(data), !entry.added.isEmpty()) << entry.name;
        expected += entry.added;
        EXPECT_EQ(preferences().ignoredPaths(), expected) << entry.name;
        EXPECT_EQ(m_controller->ignoredFoldersModel().paths(), expected) << entry.name;
    }
}

TEST_F(PreferencesWindowControllerTest, DeleteKeysAndTheMinusButtonRemoveTheSelectedFolders)
{
    const QStringList listed = {u"/a"_s, u"/b"_s, u"/c"_s, u"/d"_s, u"/b"_s};
    open([&](Preferences &stored) { stored.setIgnoredPaths(listed); });
    RQDeleteTableView *table = ui().ignoredTableView;
    table->setFocus();
    const auto select = [table](const QList<int> &rows) {
        table->clearSelection();
        for (const int row : rows)
            table->selectionModel()->select(table->model()->index(row, 0),
                                            QItemSelectionModel::Select | QItemSelectionModel::Rows);
    };
    const struct
    {
        const char *name;
        QList<int> rows;
        std::function<void()> remove;
        QStringList left;
    } cases[] = {
        {"forward delete without a row", {}, [table] { QTest::keyClick(table, Qt::Key_Delete); }, listed},
        {"delete with two rows", {0, 2}, [table] { QTest::keyClick(table, Qt::Key_Delete); },
         {u"/b"_s, u"/d"_s, u"/b"_s}},
        {"backspace on one of a pair", {2}, [table] { QTest::keyClick(table, Qt::Key_Backspace); },
         {u"/b"_s, u"/d"_s}},
        {"the minus button", {1}, [this] { QTest::mouseClick(ui().removeFolderButton, Qt::LeftButton); },
         {u"/b"_s}},
    };
    for (const auto &entry : cases) {
        select(entry.rows);
        entry.remove();
        EXPECT_EQ(preferences().ignoredPaths(), entry.left) << entry.name;
        EXPECT_EQ(m_controller->ignoredFoldersModel().paths(), entry.left) << entry.name;
    }
}

TEST_F(PreferencesWindowControllerTest, ThePlusButtonAddsChosenFoldersWithoutTheDropRule)
{
    open([&](Preferences &stored) { stored.setIgnoredPaths(QStringList{drop(u"listed"_s)}); });
    QTest::mouseClick(ui().addFolderButton, Qt::LeftButton);
    auto *chooser = window()->findChild<QFileDialog *>();
    ASSERT_NE(chooser, nullptr);
    EXPECT_TRUE(chooser->isVisible());
    EXPECT_EQ(chooser->windowModality(), Qt::WindowModal);
    chooser->setDirectory(m_folder.filePath(u"drops"_s));
    auto *list = chooser->findChild<QListView *>(u"listView"_s);
    ASSERT_NE(list, nullptr);
    const auto entry = [list](const QString &name) {
        const QModelIndex root = list->rootIndex();
        for (int row = 0; row < list->model()->rowCount(root); ++row) {
            if (list->model()->index(row, 0, root).data().toString() == name)
                return list->model()->index(row, 0, root);
        }
        return QModelIndex();
    };
    ASSERT_TRUE(processEventsUntil([&] { return entry(u"notes.txt"_s).isValid(); }));
    EXPECT_FALSE(entry(u"notes.txt"_s).flags().testFlag(Qt::ItemIsEnabled));
    // An application bundle, which a drop refuses, and a folder listed already.
    for (const QString &name : {u"Tool.app"_s, u"listed"_s, u"alpha"_s})
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          list->visualRect(entry(name)).center());
    static_cast<QDialog *>(chooser)->accept();
    EXPECT_EQ(preferences().ignoredPaths(),
              QStringList({drop(u"listed"_s), drop(u"Tool.app"_s), drop(u"alpha"_s)}));
    EXPECT_EQ(m_controller->ignoredFoldersModel().paths(), preferences().ignoredPaths());
}

TEST_F(PreferencesWindowControllerTest, AboutFromTheMenuChangesAtOnceAToolbarClickAnimates)
{
    open();
    const QSize generalSize = window()->size();
    m_controller->openAbout();
    ASSERT_NE(m_controller->aboutViewController(), nullptr);
    QWidget *about = m_controller->aboutViewController()->view();
    EXPECT_EQ(m_controller->currentView(), about);
    EXPECT_TRUE(ui().aboutAction->isChecked());
    // The window has its new size at once; only the pane fades in.
    const QSize aboutSize = window()->size();
    EXPECT_NE(aboutSize, generalSize);
    ASSERT_NE(about->graphicsEffect(), nullptr);
    finishAnimations();
    EXPECT_EQ(about->graphicsEffect(), nullptr);
    EXPECT_FALSE(isAnimating());

    // From the toolbar the window grows over time.
    QTest::mouseClick(ui().toolbar->widgetForAction(ui().generalAction), Qt::LeftButton);
    EXPECT_EQ(m_controller->currentView(), ui().generalView);
    EXPECT_TRUE(ui().generalAction->isChecked());
    EXPECT_EQ(window()->size(), aboutSize);
    EXPECT_TRUE(isAnimating());
    finishAnimations();
    EXPECT_EQ(window()->size(), generalSize);
    EXPECT_EQ(ui().generalView->graphicsEffect(), nullptr);

    QTest::mouseClick(ui().toolbar->widgetForAction(ui().aboutAction), Qt::LeftButton);
    EXPECT_EQ(m_controller->currentView(), about);
    EXPECT_EQ(window()->size(), generalSize);
    finishAnimations();
    EXPECT_EQ(window()->size(), aboutSize);
    // The same controller on every visit.
    m_controller->openAbout();
    EXPECT_EQ(m_controller->aboutViewController()->view(), about);

    const auto [single, twice] = ScreenCapture::save(*window(), u"preferences-about"_s);
    const auto &aboutUi = m_controller->aboutViewController()->ui();
    EXPECT_GT(darkPixels(single, areaOf(*aboutUi.appNameLabel, *window())), 20);
    EXPECT_GT(darkPixels(twice, areaOf(*aboutUi.copyrightLabel, *window())), 20);
}

TEST_F(PreferencesWindowControllerTest, ThreeFoldersShowInTheTable)
{
    open([&](Preferences &stored) {
        stored.setIgnoredPaths(QStringList{drop(u"alpha"_s), drop(u"beta"_s), drop(u"listed"_s)});
    });
    EXPECT_EQ(ui().ignoredTableView->model()->rowCount(), 3);
    const auto [single, twice] = ScreenCapture::save(*window(), u"preferences-general-three-folders"_s);
    RQDeleteTableView *table = ui().ignoredTableView;
    for (int row = 0; row < 3; ++row) {
        QRect cell = table->visualRect(table->model()->index(row, 0));
        cell.translate(table->viewport()->mapTo(window(), QPoint(0, 0)));
        EXPECT_GT(darkPixels(single, cell), 20) << row;
        EXPECT_GT(darkPixels(twice, cell), 80) << row;
    }
}

TEST_F(PreferencesWindowControllerTest, TabReachesEveryControlWhichCarryAccessibleNames)
{
    open();
    ui().useTrashCheckbox->setFocus();
    QList<QWidget *> reached;
    for (int step = 0; step < 12; ++step) {
        QWidget *focused = QApplication::focusWidget();
        ASSERT_NE(focused, nullptr) << step;
        reached.append(focused);
        QTest::keyClick(focused, Qt::Key_Tab);
    }
    const QList<QWidget *> controls = {ui().useTrashCheckbox, ui().useHardLinksCheckbox,
                                       ui().autoSelectButton, ui().fileSizeTextField,
                                       ui().fileSizeDropdown, ui().ignoredExtensionsField,
                                       ui().ignoredTableView, ui().addFolderButton,
                                       ui().removeFolderButton};
    for (QWidget *control : controls)
        EXPECT_TRUE(reached.contains(control)) << control->objectName().toStdString();

    const struct
    {
        QWidget *widget;
        QString name;
    } names[] = {
        {ui().fileSizeTextField, u"Minimum file size"_s}, {ui().fileSizeDropdown, u"Size unit"_s},
        {ui().ignoredTableView, u"Ignored folders"_s},    {ui().addFolderButton, u"Add folder"_s},
        {ui().removeFolderButton, u"Remove folder"_s},
    };
    for (const auto &entry : names)
        EXPECT_EQ(entry.widget->accessibleName(), entry.name);
}
