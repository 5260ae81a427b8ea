#pragma once
#include "link/ComPorts.h"

#include <QDialog>

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QStandardItemModel;

// Port picker: the system's serial devices as "COMn" names, and beside them a field for a
// network port (rfc2217://HOST:PORT or tcp://HOST:PORT), which is used when it is not empty.
// The number is read from the text in the port box, whatever closes the dialog. Its controls
// are made when it first opens; the devices are listed each time it opens.
class TComNumberF : public QDialog {
    Q_OBJECT
  public:
    explicit TComNumberF(QWidget* parent = nullptr);
    int Tag() const { return tag_; }
    void setTag(int v) { tag_ = v; }
    // The port chosen, for the port's caption: the network address when one is given, else
    // the text in the port box, for example "COM4".
    QString comboText() const;
    // The network address field, trimmed; picking a serial port from the list empties it.
    QString networkAddress() const;
    void setNetworkAddress(const QString& text);

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
    QLineEdit* NetAddress = nullptr;
    QString address_; // the field's text before its controls exist
    QStandardItemModel* ports_ = nullptr;
};
