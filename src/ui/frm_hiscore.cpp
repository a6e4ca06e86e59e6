#include "ui/frm_hiscore.h"

#include "game/text.h"
#include "game/texts.h"
#include "ui/small_window.h"
#include "ui/text_conversion.h"

#include <QComboBox>
#include <QHeaderView>
#include <QLabel>
#include <QStyledItemDelegate>
#include <QTreeWidget>

namespace pylons {
namespace {

// A fixed-length field ends in blanks that belong to the data, not to the drawing: left in, they
// make "Wim Kolckenberger" wider than its column, which then cuts the name short with an ellipsis.
// The rows keep every character; only what is drawn leaves the trailing blanks out.
class WithoutTrailingBlanks final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QString displayText(const QVariant& value, const QLocale& locale) const override {
        QString text = QStyledItemDelegate::displayText(value, locale);
        while (text.endsWith(QLatin1Char(' '))) {
            text.chop(1);
        }
        return text;
    }
};

} // namespace

frmHiscore::frmHiscore(const HiScoreTable& table, QWidget* owner)
    : QDialog(owner), table_(table), cmbLevels_(new QComboBox(this)),
      lsvHiScore_(new QTreeWidget(this)) {
    SetUpSmallWindow(*this, "frmHiscore", FromGameText(texts::kHiScoreCaption),
                     layout::hiscore::kWidth, layout::hiscore::kHeight);

    auto* label = new QLabel(FromGameText(texts::kLevelLabel), this);
    label->setObjectName(QStringLiteral("lblLevel"));
    label->move(ToPixels(layout::hiscore::kLabel.left), ToPixels(layout::hiscore::kLabel.top));
    label->adjustSize();

    cmbLevels_->setObjectName(QStringLiteral("cmbLevels"));
    Place(*cmbLevels_, layout::hiscore::kLevels);
    for (int level = 3; level <= 9; ++level) {
        cmbLevels_->addItem(QString::number(level));
    }
    cmbLevels_->setCurrentIndex(-1);
    connect(cmbLevels_, &QComboBox::activated, this, &frmHiscore::cmbLevels_Click);

    lsvHiScore_->setObjectName(QStringLiteral("lsvHiScore"));
    Place(*lsvHiScore_, layout::hiscore::kList);
    lsvHiScore_->setRootIsDecorated(false);
    lsvHiScore_->setHeaderLabels({FromGameText(texts::kHiScoreColumns[0]),
                                  FromGameText(texts::kHiScoreColumns[1]),
                                  FromGameText(texts::kHiScoreColumns[2])});
    for (int column = 0; column < 3; ++column) {
        lsvHiScore_->setColumnWidth(column, ToPixels(layout::hiscore::kColumnWidths[column]));
    }
    lsvHiScore_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    lsvHiScore_->setItemDelegate(new WithoutTrailingBlanks(lsvHiScore_));

    connect(AddOkButton(*this, layout::hiscore::kOk), &QPushButton::clicked, this,
            &frmHiscore::cmdOk_Click);
}

void frmHiscore::cmbLevels_Click() {
    const int position = cmbLevels_->currentIndex();
    if (position < 0) {
        return;
    }
    lsvHiScore_->clear();
    for (int place = 1; place <= 3; ++place) {
        const HiScoreRecord& record = table_.Record(position * 3 + place);
        auto* row = new QTreeWidgetItem(lsvHiScore_);
        row->setText(0, FromGameText(record.Name.View()));
        row->setText(1, FromGameText(record.Time.View()));
        row->setText(2, FromGameText(NumberText(record.Moves)));
    }
}

} // namespace pylons
