#pragma once
#include "model/Images.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>

// One monitor format record of the monitor image: 17 bytes at 58 + 17n. Bytes 9 and 10 pack
// the channel set-up field by field; bytes 11..13 are the input and output masks.
namespace zeltra::formats {

constexpr int RecordSize = 17;
constexpr int NameSize = 8;
using RecordBytes = std::array<std::uint8_t, RecordSize>;

namespace rec {
constexpr std::size_t NameLength = 0;
constexpr std::size_t Name = 1;
constexpr std::size_t Source = 9;
constexpr std::size_t Layout = 10;
constexpr std::size_t InputMask = 11;
constexpr std::size_t OutputMask1 = 12;
constexpr std::size_t OutputMask2 = 13;
constexpr std::size_t Spare = 14; // never written by the editor
constexpr std::size_t InputTrim = 15;
constexpr std::size_t StereoTrim = 16;
} // namespace rec

enum InputType { InputMulti = 0, InputStereo = 1 };
enum Order { OrderLRC = 0, OrderLCR = 1 };
enum Surround { SurroundOff = 0, SurroundMono, SurroundStereo, SurroundLBR, SurroundLBBR };
constexpr int SurroundChoices = 5; // a stored value 5..7 has no choice of its own
enum SubSource { SourceLFE = 0, SourceLFELP, SourceSum, SourceSumLP };
enum SubGain { GainOff = 0, Gain0dB, GainMinus10dB, GainMinus7dB };
constexpr int NoStereoPair = -1; // stored as 3

// The fields of bytes 9..13, each in its own range except `surround`, which keeps whatever
// three bits a file held.
struct FormatFields {
    int input = 0;      // 0..7 = A..H
    int inputType = InputMulti;
    int stereoPair = 0; // 0..3, or NoStereoPair
    bool lrExtra = false;
    bool imax = false;
    int surround = SurroundOff;
    int order = OrderLRC;
    int source = SourceLFE;
    int gain = GainOff;
    std::uint8_t inputMask = 0;
    std::uint8_t outputMask1 = 0;
    std::uint8_t outputMask2 = 0;
    bool operator==(const FormatFields&) const = default;
};

// The choices of each field, in the editor's order; a field's value is its choice's index.
namespace choices {
QStringList inputs();      // "A".."H"
QStringList inputTypes();  // "Multi", "Stereo"
QStringList stereoPairs(); // "Stereo 1".."Stereo 4"
QStringList orders();      // "LRC", "LCR"
QStringList surrounds();
QStringList subSources();
QStringList subGains();
} // namespace choices

// The fields in words, as `zeltra-cli show` prints them: "input A Multi, order LRC, ...".
QString describeFields(const FormatFields& f);

std::uint8_t packSource(const FormatFields& f);
std::uint8_t packLayout(const FormatFields& f);
FormatFields unpackFields(const RecordBytes& r);
// Bytes 9..13 from the fields; the other bytes of `r` are left alone.
void packFields(const FormatFields& f, RecordBytes& r);

RecordBytes readRecord(const MonitorImage& img, int entry);
void writeRecord(MonitorImage& img, int entry, const RecordBytes& r);

// A name character the keyboard shows as typed: printable ASCII.
bool isNameChar(QChar c);
// Whether the name edit takes `text`: printable ASCII, plus any character the stored name
// already held (so such a name can still be edited around it).
bool acceptableName(const QString& text, const QString& stored);
// The name as the editor shows it: the stored bytes (at most 8) read as Latin-1, so that
// opening and storing again gives back the same bytes.
QString shownName(const RecordBytes& r);
// The 8 name bytes stored for `text` in entry `entry`: an empty name becomes "format" + entry,
// a short one is padded with blanks, a long one cut to 8. Characters without a one-byte
// form are left out, so every other byte of the record stays in its place.
QByteArray storedName(const QString& text, int entry);
// Bytes 0..8 of a record: the length 8 and the stored name.
void writeName(RecordBytes& r, const QByteArray& name8);

} // namespace zeltra::formats
