#include "timecode/TimecodeEdit.h"

#include "model/Timecode.h"

namespace {
const QString Mask = QStringLiteral("00:00:00:00;_");
constexpr QChar Blank = u'_';

bool isDigitPosition(int i) {
    return i % 3 != 2;
}
} // namespace

TimecodeEdit::TimecodeEdit(QWidget* parent) : QLineEdit(parent) {
    setInputMask(Mask);
    setMaxLength(zeltra::timecode::TextLength);
}

void TimecodeEdit::setTimecode(const QString& text) {
    QString shown(zeltra::timecode::TextLength, QLatin1Char(':'));
    for (int i = 0; i < shown.size(); ++i) {
        if (!isDigitPosition(i))
            continue;
        const QChar c = i < text.size() ? text[i] : Blank;
        shown[i] = (c >= u'0' && c <= u'9') ? c : Blank;
    }
    setText(shown);
    setCursorPosition(0); // typing goes over the timecode from its first digit
}

QString TimecodeEdit::timecode() const {
    QString text =
        displayText().leftJustified(zeltra::timecode::TextLength, QLatin1Char(' '), true);
    text.replace(Blank, QLatin1Char(' '));
    return text;
}
