#pragma once
// Starts a ser2net of the test's own (never the system's service) that serves one device on
// 127.0.0.1: an RFC 2217 accepter and a raw TCP accepter on free ports, from a private YAML
// configuration, and stops it by its pid.
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
        if (program.isEmpty()) {
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
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(program,
                       {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"), config,
                        QStringLiteral("-P"), dir_.filePath(QStringLiteral("pid"))});
        if (!process_.waitForStarted(5000))
            return false;
        for (int waited = 0; pid() == 0; waited += 20) { // written once the accepters listen
            if (waited > 10000 || process_.state() != QProcess::Running) {
                error_ = QString::fromLocal8Bit(process_.readAll());
                return false;
            }
            QThread::msleep(20);
        }
        return true;
    }

    // The RFC 2217 accepter, or the raw one.
    quint16 port(bool rfc2217) const { return rfc2217 ? rfc2217_ : tcp_; }
    QString address(bool rfc2217) const
    {
        return QStringLiteral("%1://127.0.0.1:%2")
            .arg(rfc2217 ? "rfc2217" : "tcp")
            .arg(port(rfc2217));
    }
    QString error() const { return error_; }

    void kill() { signal(SIGKILL); }
    void stop() { signal(SIGTERM); }

  private:
    // The pid ser2net wrote, when it is that of the process started here (-n: no fork).
    qint64 pid() const
    {
        QFile f(dir_.filePath(QStringLiteral("pid")));
        const qint64 written = f.open(QIODevice::ReadOnly) ? f.readAll().trimmed().toLongLong() : 0;
        return written == process_.processId() ? written : 0;
    }
    void signal(int sig)
    {
        if (process_.state() == QProcess::NotRunning)
            return;
        ::kill(pid_t(process_.processId()), sig);
        if (!process_.waitForFinished(5000))
            process_.kill();
        process_.waitForFinished(5000);
    }

    static quint16 freePort()
    {
        QTcpServer probe;
        probe.listen(QHostAddress::LocalHost);
        return probe.serverPort();
    }

    QByteArray yaml(const QString& device, bool chardelay) const
    {
        QString text = QStringLiteral("%YAML 1.1\n---\n");
        for (bool rfc2217 : {true, false})
            text += QStringLiteral("connection: &%1\n  accepter: %2tcp,127.0.0.1,%3\n"
                                   "  connector: serialdev,%4,38400o81,local\n"
                                   "  options:\n    kickolduser: false\n%5")
                        .arg(rfc2217 ? "rfc2217" : "raw", rfc2217 ? "telnet(rfc2217)," : "")
                        .arg(port(rfc2217))
                        .arg(device, chardelay ? "" : "    chardelay: false\n");
        return text.toLocal8Bit();
    }

    QTemporaryDir dir_;
    QProcess process_;
    quint16 rfc2217_ = 0;
    quint16 tcp_ = 0;
    QString error_;
};
