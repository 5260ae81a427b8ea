#pragma once
// Starts a ser2net of the test's own (never the system's service) that serves one device on
// 127.0.0.1: an RFC 2217 accepter and a raw TCP accepter on free ports, from a private YAML
// configuration, and stops it by its pid.
#include <QFile>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QThread>

#include <csignal>

class Ser2netProcess {
  public:
    ~Ser2netProcess() { signal(SIGTERM); }

    // `chardelay`: ser2net's own wait after each byte from the device before it sends (its
    // default); off, every byte goes out at once.
    bool start(const QString& device, bool chardelay = false)
    {
        QString yaml = QStringLiteral("%YAML 1.1\n---\n");
        for (bool rfc2217 : {true, false}) {
            QTcpServer probe; // a free port
            probe.listen(QHostAddress::LocalHost);
            ports_[rfc2217] = probe.serverPort();
            yaml += QStringLiteral("connection: &%1\n  accepter: %2tcp,127.0.0.1,%3\n"
                                   "  connector: serialdev,%4,38400o81,local\n"
                                   "  options:\n    kickolduser: false\n%5")
                        .arg(rfc2217 ? "rfc2217" : "raw", rfc2217 ? "telnet(rfc2217)," : "")
                        .arg(ports_[rfc2217])
                        .arg(device, chardelay ? "" : "    chardelay: false\n");
        }
        QFile config(dir_.filePath(QStringLiteral("ser2net.yaml")));
        if (!config.open(QIODevice::WriteOnly) || config.write(yaml.toLocal8Bit()) < 0)
            return false;
        config.close();
        process_.setProcessChannelMode(QProcess::MergedChannels);
        process_.start(QStringLiteral("ser2net"),
                       {QStringLiteral("-n"), QStringLiteral("-u"), QStringLiteral("-c"),
                        config.fileName(), QStringLiteral("-P"), pidFile()});
        // ser2net writes its pid (-n: no fork, so the process's own) once the accepters listen.
        process_.waitForStarted(5000);
        for (int waited = 0; !written(); waited += 20) {
            if (waited > 10000 || process_.state() != QProcess::Running) {
                error_ = QStringLiteral("ser2net: ") + process_.errorString() + process_.readAll();
                return false;
            }
            QThread::msleep(20);
        }
        return true;
    }

    // The RFC 2217 accepter, or the raw one.
    quint16 port(bool rfc2217) const { return ports_[rfc2217]; }
    QString address(bool rfc2217) const
    {
        return QStringLiteral("%1://127.0.0.1:%2")
            .arg(rfc2217 ? "rfc2217" : "tcp")
            .arg(port(rfc2217));
    }
    QString error() const { return error_; }
    void kill() { signal(SIGKILL); }

  private:
    QString pidFile() const { return dir_.filePath(QStringLiteral("pid")); }
    bool written() const
    {
        QFile f(pidFile());
        return f.open(QIODevice::ReadOnly) &&
               f.readAll().trimmed().toLongLong() == process_.processId();
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

    QTemporaryDir dir_;
    QProcess process_;
    quint16 ports_[2] = {};
    QString error_;
};
