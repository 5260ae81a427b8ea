#pragma once
#include "link/SerialChannel.h"

#include <QObject>
#include <QSerialPort>
#include <QStringList>
#include <optional>

// The serial channel on a serial port: 38400 baud, 8 data bits, odd parity, 1 stop bit, no
// flow control, DTR and RTS asserted. The port number names the device through the COM map.
class QtSerialChannel : public QObject, public zeltra::link::SerialChannel {
    Q_OBJECT
  public:
    static constexpr int WriteTimeoutMs = 1000;
    static constexpr qint64 ReceiveBufferBytes = 4096;

    explicit QtSerialChannel(QObject* parent = nullptr);
    ~QtSerialChannel() override;

    // A COM number (through the COM map) or a device path.
    void setAddress(const zeltra::link::PortAddress& address) override;
    OpenResult open() override;
    QString errorString() const override { return error_; }
    void close() override;
    bool active() const override { return port_.isOpen(); }
    void purgeReceive() override;
    void purgeTransmit() override;
    WriteResult write(const QByteArray& bytes) override;
    bool readByte(std::uint8_t& byte) override;
    int bytesWaiting() const override;

    // Line settings the device could not take at the last open (a pseudo-terminal has no
    // parity, DTR or RTS); the port works without them.
    QStringList notes() const { return notes_; }
    // The adapter's driver takes the low-latency flag and has it while the port is open.
    bool lowLatency() const { return serialFlags_.has_value(); }
    // Where the kernel's sysfs is, for the adapter's driver (tests give a tree of their own).
    void setSysfsRoot(const QString& root) { sysfsRoot_ = root; }

  private:
    static QString notADevice(const QString& path);
    static QString inUse(const QString& tried);
    static bool heldByLockFile(const QString& path);
    bool openDevice(const QString& named, const QString& tried);
    void applyLineSettings();
    void setLowLatency();
    void restoreSerialFlags();
    void note(bool ok, const QString& what);
    void checkParity();
    void passEveryByte();
    void onReadyRead();
    void onError(QSerialPort::SerialPortError error);
    void deliver();
    void lose();

    QSerialPort port_;
    int number_ = 0;
    QString path_;
    QString error_;
    QString portError_; // what the port said of its last error, before it was cleared
    QStringList notes_;
    QString sysfsRoot_ = QStringLiteral("/sys");
    std::optional<int> serialFlags_; // the adapter's flags before low latency was set
    bool inWrite_ = false;
    bool deliveryPending_ = false;
    bool lostInWrite_ = false;
    bool writeFailed_ = false;
};
