#pragma once
#include "link/SerialChannel.h"

#include <QObject>
#include <QSerialPort>
#include <QStringList>

// The serial channel on a serial port: 38400 baud, 8 data bits, odd parity, 1 stop bit, no
// flow control, DTR and RTS asserted. The port number names the device through the COM map.
class QtSerialChannel : public QObject, public zeltra::link::SerialChannel {
    Q_OBJECT
  public:
    static constexpr int WriteTimeoutMs = 1000;
    static constexpr qint64 ReceiveBufferBytes = 4096;

    explicit QtSerialChannel(QObject* parent = nullptr);
    ~QtSerialChannel() override;

    void setPortNumber(int n) override { number_ = n; }
    // A device path that the next opens use instead of the port number's (empty: the number).
    void setDevicePath(const QString& path) { path_ = path; }
    bool open() override;
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

  private:
    static QString notADevice(const QString& path);
    static QString inUse(const QString& tried);
    static bool heldByLockFile(const QString& path);
    void applyLineSettings();
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
    bool inWrite_ = false;
    bool deliveryPending_ = false;
    bool lostInWrite_ = false;
    bool writeFailed_ = false;
};
