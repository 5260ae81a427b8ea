#include "link/QtSerialChannel.h"

#include "link/ComPorts.h"
#include "link/PortDiagnosis.h"
#include "link/UsbSerial.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcessEnvironment>

#include <algorithm>
#include <climits>
#include <linux/serial.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>

Q_LOGGING_CATEGORY(lcSerial, "zeltra.link.serial", QtInfoMsg)

using zeltra::link::SerialChannel;

QtSerialChannel::QtSerialChannel(QObject* parent) : QObject(parent)
{
    connect(&port_, &QSerialPort::readyRead, this, &QtSerialChannel::onReadyRead);
    connect(&port_, &QSerialPort::errorOccurred, this, &QtSerialChannel::onError);
}

QtSerialChannel::~QtSerialChannel()
{
    onReceived = nullptr;
    onLost = nullptr;
    close();
}

void QtSerialChannel::setAddress(const zeltra::link::PortAddress& address)
{
    number_ = address.kind == zeltra::link::PortAddress::Kind::Com ? address.number : 0;
    path_ = address.kind == zeltra::link::PortAddress::Kind::Device ? address.path : QString();
}

SerialChannel::OpenResult QtSerialChannel::open()
{
    close();
    notes_.clear();
    const QString named =
        !path_.isEmpty()
            ? path_
            : zeltra::link::comDevicePath(number_, QProcessEnvironment::systemEnvironment());
    if (named.isEmpty()) {
        error_ = QStringLiteral("Invalid port number (COM%1)").arg(number_);
        return OpenResult::Failed;
    }
    const QString tried = path_.isEmpty() ? QStringLiteral("COM%1").arg(number_) : path_;
    if (!openDevice(named, tried))
        return OpenResult::Failed;
    // Settings are applied after opening: a setting the device refuses must not make the
    // open fail.
    applyLineSettings();
    setLowLatency();
    port_.setReadBufferSize(ReceiveBufferBytes);
    port_.clear(QSerialPort::AllDirections);
    error_.clear();
    return OpenResult::Opened;
}

bool QtSerialChannel::openDevice(const QString& named, const QString& tried)
{
    if (const QString why = notADevice(named); !why.isEmpty()) {
        error_ = QStringLiteral("Can't open device %1: %2").arg(tried, why);
        return false;
    }
    // The device by its own name, so that every name of it (a link, a COMn variable) meets
    // the same locks; a lock file another program left under the name used counts too.
    const QString device = QFileInfo(named).canonicalFilePath();
    if (heldByLockFile(named) || heldByLockFile(device)) {
        error_ = inUse(tried);
        return false;
    }
    port_.setPortName(device.isEmpty() ? named : device);
    portError_.clear();
    if (!port_.open(QIODevice::ReadWrite)) {
        error_ = QStringLiteral("Can't open device %1: %2")
                     .arg(tried, portError_.isEmpty() ? port_.errorString() : portError_);
        port_.clearError();
        return false;
    }
    // The lock files go by name and TIOCEXCL does not hold against root: a lock on the device
    // itself keeps a second program of ours off it, whatever name it uses.
    if (::flock(int(port_.handle()), LOCK_EX | LOCK_NB) != 0) {
        error_ = inUse(tried);
        port_.close();
        port_.clearError();
        return false;
    }
    return true;
}

// An FTDI adapter holds received bytes up to its latency timer (16 ms by default), which
// makes every answer late: its driver delivers them at once while the port asks for low
// latency. Other drivers take the flag and ignore it, so it is neither set nor claimed there.
void QtSerialChannel::setLowLatency()
{
    const auto adapter = zeltra::link::adapterInfo(sysfsRoot_, port_.portName());
    if (!zeltra::link::takesLowLatency(adapter.driver))
        return;
    serial_struct ss{};
    const int fd = int(port_.handle());
    if (::ioctl(fd, TIOCGSERIAL, &ss) != 0)
        return;
    const int before = ss.flags;
    ss.flags |= ASYNC_LOW_LATENCY;
    if (::ioctl(fd, TIOCSSERIAL, &ss) == 0)
        serialFlags_ = before;
    else
        notes_ << QStringLiteral("low latency not taken");
}

void QtSerialChannel::restoreSerialFlags()
{
    if (!serialFlags_)
        return;
    serial_struct ss{};
    const int fd = int(port_.handle());
    if (::ioctl(fd, TIOCGSERIAL, &ss) == 0) {
        ss.flags = *serialFlags_;
        ::ioctl(fd, TIOCSSERIAL, &ss);
    }
    serialFlags_.reset();
}

QString QtSerialChannel::inUse(const QString& tried)
{
    return QStringLiteral("Can't open device %1: the device is in use (locked by another program)")
        .arg(tried);
}

bool QtSerialChannel::heldByLockFile(const QString& path)
{
    return !path.isEmpty() &&
           zeltra::link::lockHolder(path, zeltra::link::defaultLockFolders()).pid != 0;
}

// Why `path` is no terminal device to open, or empty. A missing file is left to the open.
QString QtSerialChannel::notADevice(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.canonicalFilePath().isEmpty())
        return {};
    struct stat st {};
    if (::stat(QFile::encodeName(info.canonicalFilePath()).constData(), &st) != 0 ||
        S_ISCHR(st.st_mode))
        return {};
    if (S_ISDIR(st.st_mode))
        return QStringLiteral("it is a folder, not a serial device");
    if (S_ISREG(st.st_mode))
        return QStringLiteral("it is a regular file, not a serial device");
    return QStringLiteral("it is not a serial device");
}

void QtSerialChannel::applyLineSettings()
{
    note(port_.setBaudRate(QSerialPort::Baud38400), QStringLiteral("38400 baud"));
    note(port_.setDataBits(QSerialPort::Data8), QStringLiteral("8 data bits"));
    note(port_.setStopBits(QSerialPort::OneStop), QStringLiteral("1 stop bit"));
    note(port_.setFlowControl(QSerialPort::NoFlowControl), QStringLiteral("no flow control"));
    if (port_.setParity(QSerialPort::OddParity))
        checkParity();
    else
        note(false, QStringLiteral("odd parity"));
    note(port_.setDataTerminalReady(true), QStringLiteral("DTR"));
    note(port_.setRequestToSend(true), QStringLiteral("RTS"));
    passEveryByte();
}

// Parity is generated on output only: received bytes are taken as they come, never checked,
// stripped, marked or translated.
void QtSerialChannel::passEveryByte()
{
    termios tio{};
    const int fd = int(port_.handle());
    if (tcgetattr(fd, &tio) != 0)
        return;
    tio.c_iflag &=
        ~tcflag_t(INPCK | PARMRK | ISTRIP | IXON | IXOFF | IXANY | ICRNL | INLCR | IGNCR | BRKINT);
    if (tcsetattr(fd, TCSANOW, &tio) != 0)
        notes_ << QStringLiteral("input translation left on");
}

void QtSerialChannel::note(bool ok, const QString& what)
{
    if (ok)
        return;
    notes_ << QStringLiteral("%1 not taken").arg(what);
    qCDebug(lcSerial) << port_.portName() << notes_.last();
    port_.clearError();
}

// The driver may accept the call and still not generate parity: read the line back.
void QtSerialChannel::checkParity()
{
    termios tio{};
    if (tcgetattr(int(port_.handle()), &tio) != 0)
        return;
    if (!(tio.c_cflag & PARENB) || !(tio.c_cflag & PARODD)) {
        notes_ << QStringLiteral("odd parity not in effect");
        qCDebug(lcSerial) << port_.portName() << notes_.last();
    }
}

void QtSerialChannel::close()
{
    deliveryPending_ = false;
    if (port_.isOpen()) {
        restoreSerialFlags();
        port_.close();
    }
    port_.clearError();
}

void QtSerialChannel::purgeReceive()
{
    if (port_.isOpen())
        port_.clear(QSerialPort::Input);
}

void QtSerialChannel::purgeTransmit()
{
    if (port_.isOpen())
        port_.clear(QSerialPort::Output);
}

SerialChannel::WriteResult QtSerialChannel::write(const QByteArray& bytes)
{
    if (!port_.isOpen())
        return WriteResult::Error;
    // While waiting for the write, the port may report arrived bytes; they are handed on
    // after the write, so the reply to this frame is never handled before it was sent.
    inWrite_ = true;
    writeFailed_ = false;
    const qint64 accepted = port_.write(bytes);
    QDeadlineTimer deadline(WriteTimeoutMs);
    if (accepted >= 0)
        port_.flush();
    while (accepted >= 0 && port_.isOpen() && port_.bytesToWrite() > 0 && !writeFailed_ &&
           !lostInWrite_ && !deadline.hasExpired())
        port_.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime())));
    inWrite_ = false;

    WriteResult result = WriteResult::All;
    if (accepted < 0 || writeFailed_ || lostInWrite_)
        result = WriteResult::Error;
    else if (accepted < bytes.size() || port_.bytesToWrite() > 0)
        result = WriteResult::Partial;
    if (port_.isOpen() && port_.bytesToWrite() > 0)
        port_.clear(QSerialPort::Output); // what did not go out in time is given up

    if (lostInWrite_) {
        lostInWrite_ = false;
        lose();
    } else if (deliveryPending_) {
        QMetaObject::invokeMethod(this, &QtSerialChannel::deliver, Qt::QueuedConnection);
    }
    return result;
}

bool QtSerialChannel::readByte(std::uint8_t& byte)
{
    char c = 0;
    if (!port_.isOpen() || !port_.getChar(&c))
        return false;
    byte = std::uint8_t(c);
    return true;
}

int QtSerialChannel::bytesWaiting() const
{
    return port_.isOpen() ? int(port_.bytesAvailable()) : 0;
}

void QtSerialChannel::onReadyRead()
{
    deliveryPending_ = true;
    if (!inWrite_)
        deliver();
}

void QtSerialChannel::deliver()
{
    if (!deliveryPending_ || inWrite_)
        return;
    deliveryPending_ = false;
    if (port_.isOpen() && port_.bytesAvailable() > 0 && onReceived)
        onReceived(int(std::min<qint64>(port_.bytesAvailable(), INT_MAX)));
}

void QtSerialChannel::onError(QSerialPort::SerialPortError error)
{
    if (error != QSerialPort::NoError)
        portError_ = port_.errorString(); // kept: the port's own text is cleared below
    switch (error) {
    case QSerialPort::NoError:
        return;
    case QSerialPort::ResourceError:
    case QSerialPort::ReadError:
        // The device went away. Left open, the port repeats the error without end.
        if (inWrite_)
            lostInWrite_ = true;
        else
            lose();
        return;
    case QSerialPort::WriteError:
        writeFailed_ = true;
        port_.clearError();
        return;
    default:
        port_.clearError(); // line errors are not reported
        return;
    }
}

void QtSerialChannel::lose()
{
    if (!port_.isOpen())
        return;
    qCDebug(lcSerial) << port_.portName() << "lost:" << port_.errorString();
    close();
    if (onLost)
        onLost();
}
