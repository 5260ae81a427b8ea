#pragma once
#include "editing/LoopDetails.h"

#include <QDialog>

class QComboBox;
class QPushButton;
class TimecodeEdit;

// The loop details dialog: In and Out timecodes, machine, what happens at the Out point and
// which loop follows. The caller presets it from a loop entry, shows it modally and stores it.
class Tloopf : public QDialog {
    Q_OBJECT
  public:
    explicit Tloopf(QWidget* parent = nullptr);
    void setVisible(bool visible) override;

    TimecodeEdit* LoopStart = nullptr;
    TimecodeEdit* LoopEnd = nullptr;
    QComboBox* Machine = nullptr;
    QComboBox* EndAction = nullptr;
    QComboBox* EndDest = nullptr;
    QPushButton* OK = nullptr;

    // Shows a loop entry; a stored value the lists have no item for selects nothing.
    void preset(const zeltra::tables::LoopDetails& details);
    // What the dialog holds, over the entry it was preset with: an untouched timecode keeps its
    // bytes, a list with nothing selected keeps its stored value.
    zeltra::tables::LoopDetails details(const zeltra::tables::LoopDetails& preset) const;

  private:
    void build();

    QString shownStart_;
    QString shownEnd_;
};
