#include "JsonResults.h"

#include "ExitCodes.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace zeltra::cli {
namespace {

QByteArray text(const QJsonObject& o)
{
    return QJsonDocument(o).toJson(QJsonDocument::Indented);
}

QJsonObject mismatch(const Mismatch& m)
{
    return {{"block", m.block},
            {"address", m.address},
            {"fileByte", m.fileByte},
            {"keyboardByte", m.keyboardByte}};
}

QJsonObject leftOut(const link::RefusedByte& r)
{
    return {{"block", r.block}, {"address", r.address}, {"keyboardByte", int(r.value)}};
}

QJsonObject port(const PortReport& r)
{
    QJsonArray mismatches;
    for (const Mismatch& m : r.mismatches)
        mismatches.append(mismatch(m));
    QJsonArray left;
    for (const link::RefusedByte& b : r.leftOut)
        left.append(leftOut(b));
    return {{"address", r.address},          {"device", r.device},
            {"exitCode", r.exitCode},        {"message", r.message},
            {"blocksDone", r.blocksDone},    {"bytesWritten", r.bytesWritten},
            {"bytesRead", r.bytesRead},      {"mismatches", mismatches},
            {"leftOut", left}};
}

} // namespace

QByteArray portsDocument(const QList<PortLine>& ports, const QStringList& networkPorts)
{
    QJsonArray list;
    for (const PortLine& line : ports) {
        const link::ComPortEntry& p = line.port;
        const link::AdapterInfo& a = line.adapter;
        list.append(QJsonObject{{"address", p.name},
                                {"device", p.path},
                                {"description", p.description},
                                {"driver", a.driver.isEmpty() ? QJsonValue() : QJsonValue(a.driver)},
                                {"latencyTimerMs", a.latencyTimer ? QJsonValue(*a.latencyTimer) : QJsonValue()}});
    }
    return text({{"command", "ports"},
                 {"exitCode", ExitDone},
                 {"message", ports.isEmpty() && networkPorts.isEmpty() ? "no ports found" : "done"},
                 {"ports", list},
                 {"networkPorts", QJsonArray::fromStringList(networkPorts)}});
}

QByteArray transferDocument(const QString& command, const QString& file,
                            const QList<PortReport>& ports)
{
    QJsonArray list;
    const PortReport* worst = nullptr;
    for (const PortReport& p : ports) {
        list.append(port(p));
        if (!worst || p.exitCode > worst->exitCode)
            worst = &p;
    }
    return text({{"command", command},
                 {"file", file},
                 {"exitCode", worst ? worst->exitCode : int(ExitDone)},
                 {"message", worst ? worst->message : QStringLiteral("done")},
                 {"ports", list}});
}

QByteArray diffDocument(const QString& a, const QString& b,
                        const QList<layoutdoc::Difference>& differences)
{
    QJsonArray list;
    for (const layoutdoc::Difference& d : differences)
        list.append(QJsonObject{{"section", d.section},
                                {"item", d.item},
                                {"field", d.field},
                                {"from", d.from},
                                {"to", d.to},
                                {"text", d.text}});
    const bool same = differences.isEmpty();
    return text({{"command", "diff"},
                 {"files", QJsonArray{a, b}},
                 {"exitCode", same ? ExitDone : ExitMismatch},
                 {"message", same ? "the layouts are equal" : "the layouts differ"},
                 {"differences", list}});
}

QByteArray failureDocument(const QString& command, int exitCode, const QString& message)
{
    QJsonObject o{{"command", command}, {"exitCode", exitCode}, {"message", message}};
    o.insert(command == QLatin1String("diff") ? QStringLiteral("differences")
                                              : QStringLiteral("ports"),
             QJsonArray());
    return text(o);
}

} // namespace zeltra::cli
