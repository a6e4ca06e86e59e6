#include "ui/frm_about.h"

#include "game/desktop.h"
#include "game/links.h"
#include "game/texts.h"
#include "ui/small_window.h"
#include "ui/text_conversion.h"

#include <QLabel>
#include <QMouseEvent>

#include <functional>

namespace pylons {
namespace {

// A label that acts on a click.
class LinkLabel final : public QLabel {
public:
    LinkLabel(const QString& text, std::function<void()> onClick, QWidget* parent)
        : QLabel(text, parent), onClick_(std::move(onClick)) {
        setCursor(Qt::PointingHandCursor);
        QPalette blue = palette();
        blue.setColor(QPalette::WindowText, QColor(0, 0, 255));
        setPalette(blue);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint())) {
            onClick_();
        }
    }

private:
    std::function<void()> onClick_;
};

} // namespace

frmAbout::frmAbout(Desktop& desktop, QWidget* owner) : QDialog(owner), desktop_(desktop) {
    SetUpSmallWindow(*this, "frmAbout", FromGameText(texts::kAboutCaption), layout::about::kWidth,
                     layout::about::kHeight);

    auto* theme = new QLabel(FromGameText(texts::kAboutTheme), this);
    theme->setObjectName(QStringLiteral("lblTheme"));
    QFont large = theme->font();
    large.setPointSize(12);
    large.setWeight(QFont::Normal);
    theme->setFont(large);
    theme->adjustSize();
    theme->move((width() - theme->width()) / 2, ToPixels(layout::about::kTheme.top));

    auto* name = new QLabel(FromGameText(texts::kAboutAuthor), this);
    name->setObjectName(QStringLiteral("lblNaam"));
    Place(*name, layout::about::kVersion);

    auto* site = new LinkLabel(
        FromGameText(kWebSiteAddress), [this] { lblWebSite_Click(); }, this);
    site->setObjectName(QStringLiteral("lblWebSite"));
    Place(*site, layout::about::kWebSite);

    auto* email = new LinkLabel(
        FromGameText(kEmailAddress), [this] { lblEmail_Click(); }, this);
    email->setObjectName(QStringLiteral("lblEmail"));
    Place(*email, layout::about::kEmail);

    connect(AddOkButton(*this, layout::about::kOk), &QPushButton::clicked, this,
            &frmAbout::cmdOk_Click);
}

void frmAbout::lblWebSite_Click() {
    desktop_.ShellOpen(kWebSiteAddress);
}

void frmAbout::lblEmail_Click() {
    desktop_.ShellOpen(std::string(kMailtoPrefix) + std::string(kEmailAddress));
}

} // namespace pylons
