#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QFileDialog;
class QWidget;

// A chooser of several folders, shown as a sheet on a window: the file dialog of our own (the
// same on every desktop) in folder mode, with the accept button "Choose" and no folder
// creation. Entries that the predicate refuses are shown disabled and cannot be chosen.
class FolderChooser final
{
public:
    // Gets an entry's absolute path; an empty predicate enables everything.
    using ShouldEnable = std::function<bool(const QString &path)>;
    // Gets the chosen paths in the order they were picked; none when the user cancelled.
    using Completion = std::function<void(const QStringList &chosenPaths)>;

    // Opens the chooser window-modal on the window, starting in the home folder, and returns
    // at once. The completion runs once on the main thread when the chooser closes, whichever
    // way; chosen paths that the predicate refuses (a typed one) are left out. The dialog
    // deletes itself afterwards; the answer lets callers drive it.
    static QFileDialog *open(QWidget *window, ShouldEnable shouldEnable, Completion completion);

    FolderChooser() = delete;
};
