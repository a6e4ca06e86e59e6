#pragma once

#include "storage/hiscore.h"

#include <QDialog>

class QComboBox;
class QTreeWidget;

namespace pylons {

// The high-score window: the three best results of the level chosen in the list. It only reads
// the table.
class frmHiscore final : public QDialog {
    Q_OBJECT
public:
    frmHiscore(const HiScoreTable& table, QWidget* owner);

    void cmbLevels_Click();
    void cmdOk_Click() { accept(); }

private:
    const HiScoreTable& table_;
    QComboBox* cmbLevels_;
    QTreeWidget* lsvHiScore_;
};

} // namespace pylons
