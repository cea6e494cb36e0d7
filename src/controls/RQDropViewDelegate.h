#pragma once

class RQDropView;

// Told by the folder drop target what happens to it. Only dropViewFileWasDropped must be
// answered; the other two do nothing unless overridden.
class RQDropViewDelegate
{
public:
    // Paths from a drop or from the chooser were added to the view's set.
    virtual void dropViewFileWasDropped(RQDropView &dropView) = 0;
    // A drag whose every path is acceptable entered the view.
    virtual void dropViewDidEnter(RQDropView &dropView) { static_cast<void>(dropView); }
    // The drag left the view or ended, a completed drop included.
    virtual void dropViewDidExit(RQDropView &dropView) { static_cast<void>(dropView); }

protected:
    RQDropViewDelegate() = default;
    ~RQDropViewDelegate() = default;
    RQDropViewDelegate(const RQDropViewDelegate &) = default;
    RQDropViewDelegate &operator=(const RQDropViewDelegate &) = default;
};
