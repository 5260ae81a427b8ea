#pragma once
#include <QDialog>

class QLabel;
class QPushButton;

namespace zeltra::formats { struct GainUse; }

// The level dialog: a value in 0.5 dB steps between 0 and a maximum, shown against a zero
// point. There is no cancel: whatever closes it, the value is taken.
class TSetgainF : public QDialog {
    Q_OBJECT
public:
    explicit TSetgainF(QWidget* parent = nullptr);
    void setVisible(bool visible) override;

    int Tag = 0;     // the value
    int Maximum = 0; // set by the caller before opening
    int Zero = 0;

    // Shows the dialog modally for one use, starting from `value`; returns the value.
    int run(const zeltra::formats::GainUse& use, int value);

    QLabel* Title = nullptr;
    QLabel* Level = nullptr;
    QPushButton* Increase = nullptr;
    QPushButton* Decrease = nullptr;
    QPushButton* BitBtn1 = nullptr; // OK

    void FormShow();
    void IncreaseClick();
    void DecreaseClick();

protected:
    void showEvent(QShowEvent* e) override;

private:
    void showlevel();
    void build();
};
