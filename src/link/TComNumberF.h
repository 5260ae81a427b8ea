#pragma once
#include "link/ComPorts.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QPushButton;
class QStandardItemModel;

// Port picker: the system's serial devices as "COMn" names. The number is read from the
// text in the port box, whatever closes the dialog. Its controls are made when it first opens;
// the devices are listed each time it opens.
class TComNumberF : public QDialog {
    Q_OBJECT
  public:
    explicit TComNumberF(QWidget* parent = nullptr);
    int Tag() const { return tag_; }
    void setTag(int v) { tag_ = v; }
    // The text in the port box, for example "COM4".
    QString comboText() const;

    // The port names known to the system, in number order.
    void GetAvailableComPorts(QStringList& list);

    void setVisible(bool visible) override;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void build();
    void FormShow();
    void ComboBox1Change(const QString& text);
    void fillPorts(const QList<zeltra::link::ComPortEntry>& ports);

    int tag_ = 0;
    QLabel* Label1 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QStandardItemModel* ports_ = nullptr;
};
