#pragma once

class RQDeleteTableView;

// Told when the user presses Delete or Backspace in an RQDeleteTableView.
class RQDeleteTableViewDelegate
{
public:
    virtual ~RQDeleteTableViewDelegate() = default;

    virtual void tableViewDeleteFromKeyboard(RQDeleteTableView &tableView) = 0;
};
