#include "link/ComPorts.h"

#include <QMap>

namespace zeltra::link {
namespace {

const QString EnvPrefix = QStringLiteral("ZELTRA_COM");

struct DeviceFamily {
    const char* prefix;
    int firstNumber;
};
constexpr int FamilySize = 32;
constexpr DeviceFamily Families[] = {{"/dev/ttyS", 1}, {"/dev/ttyUSB", 33}, {"/dev/ttyACM", 65}};

// A decimal number without sign, blanks or leading zeros; 0 when the text is not one.
int plainNumber(const QString& text)
{
    if (text.isEmpty() || text.size() > 3 || text.startsWith(QLatin1Char('0')))
        return 0;
    for (QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return 0;
    return text.toInt();
}

// Port numbers the environment points at a device, with their paths.
QMap<int, QString> environmentPorts(const QProcessEnvironment& env)
{
    QMap<int, QString> ports;
    for (const QString& key : env.keys()) {
        if (!key.startsWith(EnvPrefix))
            continue;
        const int n = plainNumber(key.mid(EnvPrefix.size()));
        const QString path = env.value(key);
        if (n > 0 && !path.isEmpty())
            ports.insert(n, path);
    }
    return ports;
}

QString familyPath(int n)
{
    for (const auto& f : Families)
        if (n >= f.firstNumber && n < f.firstNumber + FamilySize)
            return QString::fromLatin1(f.prefix) + QString::number(n - f.firstNumber);
    return {};
}

// The index in a device name such as "ttyUSB3": plain decimal, 0..31; -1 otherwise.
int familyIndex(const QString& digits)
{
    if (digits == QLatin1String("0"))
        return 0;
    const int index = plainNumber(digits);
    return (index > 0 && index < FamilySize) ? index : -1;
}

int familyNumber(const QString& path)
{
    for (const auto& f : Families) {
        const QString prefix = QString::fromLatin1(f.prefix);
        if (!path.startsWith(prefix))
            continue;
        const int index = familyIndex(path.mid(prefix.size()));
        if (index >= 0)
            return f.firstNumber + index;
    }
    return 0;
}

} // namespace

QString comDevicePath(int n, const QProcessEnvironment& env)
{
    if (n <= 0 || n > MaxComNumber)
        return {};
    const QString fromEnv = env.value(EnvPrefix + QString::number(n));
    if (!fromEnv.isEmpty())
        return fromEnv;
    return familyPath(n);
}

QList<ComPortEntry> availableComPorts(const QList<SystemDevice>& devices,
                                      const QProcessEnvironment& env)
{
    QMap<int, ComPortEntry> byNumber;
    const auto ports = environmentPorts(env);
    for (auto it = ports.cbegin(); it != ports.cend(); ++it) {
        if (it.key() <= MaxComNumber)
            byNumber.insert(it.key(),
                            {it.key(), QStringLiteral("COM%1").arg(it.key()), it.value(), {}});
    }
    for (const auto& d : devices) {
        const int n = familyNumber(d.path);
        if (n == 0)
            continue;
        if (!ports.contains(n))
            byNumber.insert(n, {n, QStringLiteral("COM%1").arg(n), d.path, d.description});
        // A device the environment also names keeps the system's description.
        for (auto& e : byNumber)
            if (e.path == d.path && e.description.isEmpty())
                e.description = d.description;
    }
    return byNumber.values();
}

int portNumberFromText(const QString& text)
{
    bool ok = false;
    const int n = text.mid(3, 3).toInt(&ok, 10);
    return ok ? n : 0;
}

QPoint placeAtCursor(QPoint cursor, QSize size, const QRect& desktop)
{
    QPoint at = cursor;
    if (at.y() + size.height() > desktop.bottom() + 1)
        at.setY(desktop.bottom() + 1 - size.height());
    if (at.x() + size.width() > desktop.right() + 1)
        at.setX(desktop.right() + 1 - size.width());
    at.setX(std::max(at.x(), desktop.left()));
    at.setY(std::max(at.y(), desktop.top()));
    return at;
}

} // namespace zeltra::link
