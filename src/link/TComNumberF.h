#pragma once
#include <QDialog>

class QComboBox;

// Port picker: lists the system's serial devices as "COMn" names.
class TComNumberF : public QDialog {
    Q_OBJECT
public:
    explicit TComNumberF(QWidget* parent = nullptr);
    int Tag() const { return tag_; }
    void setTag(int v) { tag_ = v; }
    // The text in the port box, for example "COM4".
    QString comboText() const;

private:
    int tag_ = 0;
    QComboBox* combo_;
};
