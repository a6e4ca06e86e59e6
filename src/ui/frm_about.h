#pragma once

#include <QDialog>

namespace pylons {

class Desktop;

// The About window: the game, its version and its author, with links to the web site and to a
// mail message.
class frmAbout final : public QDialog {
    Q_OBJECT
public:
    frmAbout(Desktop& desktop, QWidget* owner);

    void lblWebSite_Click();
    void lblEmail_Click();
    void cmdOk_Click() { accept(); }

private:
    Desktop& desktop_;
};

} // namespace pylons
