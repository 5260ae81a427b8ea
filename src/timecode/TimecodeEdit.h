#pragma once
#include <QLineEdit>

// A masked edit for one timecode "HH:MM:SS:FF": a digit or nothing in each of the eight digit
// positions, the colons fixed, an unfilled position shown as "_".
//
// QLineEdit::text() drops unfilled positions and setText() lets the digits after a blank
// slide left, so the timecode goes in and out position by position here instead.
class TimecodeEdit : public QLineEdit {
    Q_OBJECT
  public:
    explicit TimecodeEdit(QWidget* parent = nullptr);

    // Shows `text` position by position: a digit stays where it stands, anything else leaves
    // its position unfilled.
    void setTimecode(const QString& text);
    // Eleven characters, an unfilled position as a blank: what the timecode conversion reads.
    QString timecode() const;
};
