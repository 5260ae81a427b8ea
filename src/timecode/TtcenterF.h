#pragma once
#include <QDialog>

class QLabel;
class QPushButton;
class TimecodeEdit;

// The timecode entry dialog: one masked edit and OK. The caller fills `tcdata`, shows the
// dialog modally and reads `tcdata` back however it was closed.
class TtcenterF : public QDialog {
    Q_OBJECT
  public:
    explicit TtcenterF(QWidget* parent = nullptr);
    void setVisible(bool visible) override;
    // The entry, made with the window's other controls when first asked for.
    TimecodeEdit* entry();

    QLabel* Label1 = nullptr;
    TimecodeEdit* tcdata = nullptr;
    QPushButton* BitBtn1 = nullptr;

  private:
    void build();
};
