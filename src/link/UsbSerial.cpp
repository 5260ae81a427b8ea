#include "link/UsbSerial.h"

#include <QFile>
#include <QFileInfo>

namespace zeltra::link {

namespace {

constexpr qint64 MaxAttributeBytes = 16;

std::optional<int> readNumber(const QString& path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return std::nullopt;
    bool ok = false;
    const int n = f.read(MaxAttributeBytes).trimmed().toInt(&ok);
    return ok && n >= 0 && n <= 255 ? std::optional<int>(n) : std::nullopt;
}

} // namespace

AdapterInfo adapterInfo(const QString& sysfsRoot, const QString& devicePath)
{
    const QString name = QFileInfo(QFileInfo(devicePath).canonicalFilePath()).fileName();
    if (name.isEmpty() || name.contains(QLatin1String("..")))
        return {};
    const QString device = sysfsRoot + QStringLiteral("/class/tty/") + name + QStringLiteral("/device");
    const QFileInfo driverLink(device + QStringLiteral("/driver"));
    if (!driverLink.isSymLink())
        return {};
    AdapterInfo info;
    info.driver = QFileInfo(driverLink.symLinkTarget()).fileName();
    if (info.driver == QLatin1String("ftdi_sio"))
        info.latencyTimer = readNumber(device + QStringLiteral("/latency_timer"));
    return info;
}

bool takesLowLatency(const QString& driver)
{
    return driver == QLatin1String("ftdi_sio");
}

QString adapterText(const AdapterInfo& info)
{
    if (info.driver.isEmpty())
        return {};
    QString text = QStringLiteral("driver ") + info.driver;
    if (info.latencyTimer)
        text += QStringLiteral(", latency timer %1 ms").arg(*info.latencyTimer);
    return text;
}

} // namespace zeltra::link
