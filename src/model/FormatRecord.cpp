#include "model/FormatRecord.h"

#include "model/Records.h"

namespace zeltra::formats {

std::uint8_t packSource(const FormatFields& f)
{
    const int pair = f.stereoPair == NoStereoPair ? 3 : (f.stereoPair & 3);
    return std::uint8_t((f.imax ? 0x80 : 0) | (f.lrExtra ? 0x40 : 0) | pair << 4 |
                        (f.inputType & 1) << 3 | (f.input & 7));
}

std::uint8_t packLayout(const FormatFields& f)
{
    return std::uint8_t((f.gain & 3) << 6 | (f.source & 3) << 4 | (f.order & 1) << 3 |
                        (f.surround & 7));
}

FormatFields unpackFields(const RecordBytes& r)
{
    const std::uint8_t s = r[rec::Source];
    const std::uint8_t l = r[rec::Layout];
    FormatFields f;
    f.input = s & 7;
    f.inputType = (s >> 3) & 1;
    f.stereoPair = (s >> 4) & 3;
    f.lrExtra = (s & 0x40) != 0;
    f.imax = (s & 0x80) != 0;
    f.surround = l & 7;
    f.order = (l >> 3) & 1;
    f.source = (l >> 4) & 3;
    f.gain = (l >> 6) & 3;
    f.inputMask = r[rec::InputMask];
    f.outputMask1 = r[rec::OutputMask1];
    f.outputMask2 = r[rec::OutputMask2];
    return f;
}

void packFields(const FormatFields& f, RecordBytes& r)
{
    r[rec::Source] = packSource(f);
    r[rec::Layout] = packLayout(f);
    r[rec::InputMask] = f.inputMask;
    r[rec::OutputMask1] = f.outputMask1;
    r[rec::OutputMask2] = f.outputMask2;
}

RecordBytes readRecord(const MonitorImage& img, int entry)
{
    return records::format(img, entry).record();
}

void writeRecord(MonitorImage& img, int entry, const RecordBytes& r)
{
    records::format(img, entry).setRecord(r);
}

bool isNameChar(QChar c) { return c.unicode() >= 0x20 && c.unicode() <= 0x7E; }

bool acceptableName(const QString& text, const QString& stored)
{
    for (QChar c : text)
        if (!isNameChar(c) && !stored.contains(c))
            return false;
    return true;
}

QString shownName(const RecordBytes& r)
{
    const int len = std::min<int>(r[rec::NameLength], NameSize);
    return QString::fromLatin1(reinterpret_cast<const char*>(r.data() + rec::Name), len);
}

QByteArray storedName(const QString& text, int entry)
{
    QByteArray name;
    for (QChar c : text)
        if (c.unicode() <= 0xFF) // one byte each; anything wider has no place in the record
            name += char(c.unicode());
    if (name.isEmpty())
        name = "format" + QByteArray::number(entry) + ' ';
    if (name.size() < NameSize)
        name += QByteArray(NameSize - name.size(), ' ');
    return name.left(NameSize);
}

void writeName(RecordBytes& r, const QByteArray& name8)
{
    r[rec::NameLength] = NameSize;
    for (int i = 0; i < NameSize; ++i)
        r[rec::Name + std::size_t(i)] = i < name8.size() ? std::uint8_t(name8[i]) : std::uint8_t(' ');
}

namespace choices {
QStringList inputs() { return {"A", "B", "C", "D", "E", "F", "G", "H"}; }
QStringList inputTypes() { return {"Multi", "Stereo"}; }
QStringList stereoPairs() { return {"Stereo 1", "Stereo 2", "Stereo 3", "Stereo 4"}; }
QStringList orders() { return {"LRC", "LCR"}; }
QStringList surrounds() { return {"Off", "Mono", "Stereo", "LBR", "LBBR"}; }
QStringList subSources() { return {"LFE", "LFE LP", "Sum", "Sum LP"}; }
QStringList subGains() { return {"Off", "0dB", "-10 dB", "-7dB"}; }
} // namespace choices

namespace {
// The choice at `index`, or the stored number when no choice has it.
QString choice(const QStringList& items, int index)
{
    return index >= 0 && index < items.size() ? items[index] : QString::number(index);
}

QString hex(std::uint8_t b) { return QStringLiteral("%1").arg(b, 2, 16, QLatin1Char('0')).toUpper(); }
} // namespace

QString describeFields(const FormatFields& f)
{
    QString text = QStringLiteral("input %1 %2").arg(choice(choices::inputs(), f.input),
                                                     choice(choices::inputTypes(), f.inputType));
    if (f.inputType == InputStereo && f.stereoPair != NoStereoPair)
        text += QLatin1Char(' ') + choice(choices::stereoPairs(), f.stereoPair);
    text += QStringLiteral(", order %1, surround %2, sub %3 gain %4")
                .arg(choice(choices::orders(), f.order), choice(choices::surrounds(), f.surround),
                     choice(choices::subSources(), f.source), choice(choices::subGains(), f.gain));
    if (f.imax)
        text += QStringLiteral(", IMAX");
    if (f.lrExtra)
        text += QStringLiteral(", L&R extra");
    return text + QStringLiteral(", masks in %1 out %2 %3")
                      .arg(hex(f.inputMask), hex(f.outputMask1), hex(f.outputMask2));
}

} // namespace zeltra::formats
