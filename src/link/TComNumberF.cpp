#include "link/TComNumberF.h"

#include "link/PortAddress.h"
#include "link/PortDiagnosis.h"

#include <QComboBox>
#include <QCursor>
#include <QGuiApplication>
#include <QHeaderView>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QProcessEnvironment>
#include <QPushButton>
#include <QScreen>
#include <QSerialPortInfo>
#include <QSignalBlocker>
#include <QStandardItemModel>
#include <QTreeView>

namespace {

enum Column { NameColumn, PathColumn, DescriptionColumn, ColumnCount };

QList<zeltra::link::ComPortEntry> systemPorts()
{
    QList<zeltra::link::SystemDevice> devices;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts())
        devices.append({info.systemLocation(), info.description()});
    return zeltra::link::availableComPorts(devices, QProcessEnvironment::systemEnvironment());
}

} // namespace

TComNumberF::TComNumberF(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("ComNumberF"));
    setWindowTitle(QStringLiteral("Select Com Port"));
}

// The controls are made when the picker first opens.
void TComNumberF::build()
{
    if (ComboBox1)
        return;
    Label1 = new QLabel(QStringLiteral("Select Port"), this);
    ComboBox1 = new QComboBox(this);
    BitBtn1 = new QPushButton(QStringLiteral("OK"), this);
    ports_ = new QStandardItemModel(0, ColumnCount, this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont font(QStringLiteral("Tahoma"));
    font.setPixelSize(16);
    font.setBold(true);
    Label1->setFont(font);

    // The popup shows each device beside its name; the box itself only ever shows the name.
    auto* view = new QTreeView(ComboBox1);
    view->setRootIsDecorated(false);
    view->setHeaderHidden(true);
    view->header()->setSectionResizeMode(QHeaderView::ResizeToContents);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setEditable(true);
    ComboBox1->setInsertPolicy(QComboBox::NoInsert);
    ComboBox1->setModel(ports_);
    ComboBox1->setView(view);
    ComboBox1->setModelColumn(NameColumn);
    ComboBox1->setEditText(QStringLiteral("Com1"));
    connect(ComboBox1, &QComboBox::editTextChanged, this, &TComNumberF::ComboBox1Change);

    BitBtn1->setObjectName(QStringLiteral("BitBtn1"));
    BitBtn1->setDefault(true);
    connect(BitBtn1, &QPushButton::clicked, this, &QDialog::accept);

    NetAddress = new QLineEdit(address_, this);
    NetAddress->setObjectName(QStringLiteral("NetAddress"));
    NetAddress->setPlaceholderText(QStringLiteral("rfc2217://host:port or tcp://host:port"));
    NetAddress->setMaxLength(zeltra::link::MaxAddressLength);
    NetAddress->setMinimumWidth(NetAddress->fontMetrics().horizontalAdvance(NetAddress->placeholderText()) + 16);
    NetAddress->setToolTip(QStringLiteral(
        "A keyboard on a serial device server: rfc2217:// sets the line on the server, tcp:// "
        "sends raw bytes to a port already set to 38400 8O1. Empty: the serial port."));
    connect(NetAddress, &QLineEdit::textChanged, this, [this](const QString& t) { address_ = t; });
    // Picking a serial port means the serial port.
    connect(ComboBox1, &QComboBox::activated, NetAddress, &QLineEdit::clear);

    auto* layout = new QGridLayout(this);
    layout->addWidget(Label1, 0, 0, 1, 2);
    layout->addWidget(new QLabel(QStringLiteral("Serial port"), this), 1, 0);
    layout->addWidget(new QLabel(QStringLiteral("or network port"), this), 1, 1);
    layout->addWidget(ComboBox1, 2, 0);
    layout->addWidget(NetAddress, 2, 1);
    layout->addWidget(BitBtn1, 3, 0, 1, 2);
}

QString TComNumberF::comboText() const
{
    if (!networkAddress().isEmpty())
        return networkAddress();
    return ComboBox1 ? ComboBox1->currentText() : QStringLiteral("Com1"); // the box's first text
}

QString TComNumberF::networkAddress() const
{
    return address_.trimmed();
}

void TComNumberF::setNetworkAddress(const QString& text)
{
    address_ = text;
    if (NetAddress)
        NetAddress->setText(text);
}

void TComNumberF::GetAvailableComPorts(QStringList& list)
{
    list.clear();
    for (const auto& port : systemPorts())
        list << port.name;
}

void TComNumberF::setVisible(bool visible)
{
    if (visible)
        build(); // before the dialog sizes itself to its layout
    QDialog::setVisible(visible);
}

void TComNumberF::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    FormShow();
}

void TComNumberF::FormShow()
{
    adjustSize();
    const QPoint cursor = QCursor::pos();
    const QScreen* screen = QGuiApplication::screenAt(cursor);
    if (!screen)
        screen = this->screen();
    if (screen)
        move(zeltra::link::placeAtCursor(cursor, frameGeometry().size(), screen->geometry()));
    const QString text = QStringLiteral("Com%1").arg(tag_);
    ComboBox1->setEditText(text);
    fillPorts(systemPorts());
    ComboBox1->setFocus();
}

void TComNumberF::fillPorts(const QList<zeltra::link::ComPortEntry>& ports)
{
    const QString text = ComboBox1->currentText();
    {
        const QSignalBlocker block(ComboBox1);
        ports_->removeRows(0, ports_->rowCount());
        for (const auto& port : ports) {
            const QString note = zeltra::link::diagnosePort(port.number, port.path).note();
            QList<QStandardItem*> row{new QStandardItem(port.name), new QStandardItem(port.path),
                                      new QStandardItem(note.isEmpty() ? port.description
                                                                       : QStringLiteral("cannot open: ") + note)};
            for (auto* item : row)
                item->setEditable(false);
            ports_->appendRow(row);
        }
        ComboBox1->setCurrentIndex(-1);
        ComboBox1->setEditText(text); // the list replaces the items, never the text
    }
    ComboBox1->view()->setMinimumWidth(ComboBox1->view()->sizeHintForColumn(NameColumn) +
                                       ComboBox1->view()->sizeHintForColumn(PathColumn) +
                                       ComboBox1->view()->sizeHintForColumn(DescriptionColumn));
}

void TComNumberF::ComboBox1Change(const QString& text)
{
    tag_ = zeltra::link::portNumberFromText(text);
}
