#pragma once
// Starts a ser2net of the test's own (never the system's service) that serves one device on
// 127.0.0.1: an RFC 2217 accepter and a raw TCP accepter on free ports, from a private YAML
// configuration, and stops it by its pid.
#include <QDeadlineTimer>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

class Ser2netProcess {
  public:
    ~Ser2netProcess() { stop(); }

    // `chardelay`: ser2net's own wait after each byte from the device before it sends (its
    // default); off, every byte goes out at once.
    bool start(const QString& device, bool chardelay = false)
    {
        const QString program = QStandardPaths::findExecutable(QStringLiteral("ser2net"));
        if (program.isEmpty() || !dir_.isValid()) {
            error_ = QStringLiteral("ser2net is not installed (scripts/install-deps installs it)");
            return false;
        }
        rfc2217_ = freePort();
        tcp_ = freePort();
        const QString config = dir_.filePath(QStringLiteral("ser2net.yaml"));
        QFile f(config);
        if (!f.open(QIODevice::WriteOnly) || f.write(yaml(device, chardelay)) < 0)
            return false;
        f.close();
        pidFile_ = dir_.filePath(QStringLiteral("ser2net.pid"));
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(program, {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"),
                                 config, QStringLiteral("-P"), pidFile_});
        if (!process_.waitForStarted(5000))
            return false;
        QDeadlineTimer deadline(10000);
        while (!(listening(rfc2217_) && listening(tcp_))) {
            if (deadline.hasExpired() || process_.state() != QProcess::Running) {
                error_ = QString::fromLocal8Bit(process_.readAll());
                return false;
            }
            QThread::msleep(20);
        }
        return true;
    }

    QString rfc2217Address() const { return QStringLiteral("rfc2217://127.0.0.1:%1").arg(rfc2217_); }
    QString tcpAddress() const { return QStringLiteral("tcp://127.0.0.1:%1").arg(tcp_); }
    quint16 rfc2217Port() const { return rfc2217_; }
    QString error() const { return error_; }

    // The pid ser2net wrote, which must be the process this started.
    qint64 pid() const
    {
        QFile f(pidFile_);
        const qint64 written = f.open(QIODevice::ReadOnly) ? f.read(32).trimmed().toLongLong() : 0;
        return written == process_.processId() ? written : 0;
    }

    void kill() { signal(SIGKILL); }
    void stop() { signal(SIGTERM); }

  private:
    void signal(int sig)
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        const qint64 p = pid() ? pid() : process_.processId();
        if (p > 0)
            ::kill(pid_t(p), sig);
        if (!process_.waitForFinished(5000)) {
            process_.kill();
            process_.waitForFinished(5000);
        }
    }

    static quint16 freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }

    // Listening on 127.0.0.1 as /proc/net/tcp shows it: nothing connects to find out.
    static bool listening(quint16 port)
    {
        QFile f(QStringLiteral("/proc/net/tcp"));
        if (!f.open(QIODevice::ReadOnly))
            return false;
        const QByteArray local = "0100007F:" + QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
        for (const QByteArray& line : f.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() > 3 && fields[1] == local && fields[3] == "0A")
                return true;
        }
        return false;
    }

    QByteArray yaml(const QString& device, bool chardelay) const
    {
        const QByteArray options = QByteArray("  options:\n    kickolduser: false\n") +
                                   (chardelay ? "" : "    chardelay: false\n");
        auto connection = [&](const char* name, const QByteArray& accepter) {
            return QByteArray("connection: &") + name + "\n  accepter: " + accepter +
                   "\n  connector: serialdev," + device.toLocal8Bit() + ",38400o81,local\n" + options;
        };
        return "%YAML 1.1\n---\n" +
               connection("rfc2217", "telnet(rfc2217),tcp,127.0.0.1," + QByteArray::number(rfc2217_)) +
               connection("raw", "tcp,127.0.0.1," + QByteArray::number(tcp_));
    }

    QTemporaryDir dir_;
    QProcess process_;
    QString pidFile_;
    quint16 rfc2217_ = 0;
    quint16 tcp_ = 0;
    QString error_;
};
