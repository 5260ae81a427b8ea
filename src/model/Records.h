#pragma once
#include "model/FormatRecord.h"
#include "model/Images.h"
#include "model/Timecode.h"

#include <QtGlobal>
#include <algorithm>
#include <span>
#include <type_traits>

// The records of the layout images, each as a view over its bytes with the offsets of its
// fields as the byte tables give them. Every reader and writer of a record (the table window
// and its grids, the loop details, `show`, the layout document) goes through these, so each
// record is decoded in one place. A view over a const image only reads; over a mutable one
// it also writes, and it writes nothing but its own record.
//
//   records::loop(image, 2).endAction()      // byte 9, low nibble, of loop 2
//   records::cue(image, 0).setNumber(4660);  // bytes 4..5 of cue 0, high byte first
namespace zeltra::records {

template <class Byte> class View {
  public:
    static constexpr bool Writable = !std::is_const_v<Byte>;
    explicit View(std::span<Byte> bytes) : b_(bytes) {}
    std::span<const std::uint8_t> bytes() const { return b_; }

  protected:
    std::uint8_t byte(std::size_t at) const { return b_[at]; }
    std::uint16_t be16(std::size_t at) const { return std::uint16_t(b_[at] << 8 | b_[at + 1]); }
    timecode::Bcd bcd(std::size_t at) const
    {
        timecode::Bcd t{};
        std::copy_n(b_.begin() + std::ptrdiff_t(at), t.size(), t.begin());
        return t;
    }
    void setByte(std::size_t at, std::uint8_t v) requires Writable { b_[at] = v; }
    void setBe16(std::size_t at, std::uint16_t v) requires Writable
    {
        b_[at] = std::uint8_t(v >> 8);
        b_[at + 1] = std::uint8_t(v);
    }
    void setBcd(std::size_t at, const timecode::Bcd& t) requires Writable
    {
        std::copy(t.begin(), t.end(), b_.begin() + std::ptrdiff_t(at));
    }

  private:
    std::span<Byte> b_;
};

// Cue k of a machine image (74 + 6k): a timecode and the number the cue table shows beside it.
template <class Byte> class Cue : public View<Byte> {
  public:
    static constexpr std::size_t Size = mcn::CueSize;
    static constexpr std::size_t TimecodeAt = 0;
    static constexpr std::size_t NumberAt = 4; // high byte first
    using View<Byte>::View;
    timecode::Bcd timecode() const { return this->bcd(TimecodeAt); }
    std::uint16_t number() const { return this->be16(NumberAt); }
    void setTimecode(const timecode::Bcd& t) requires View<Byte>::Writable { this->setBcd(TimecodeAt, t); }
    void setNumber(std::uint16_t n) requires View<Byte>::Writable { this->setBe16(NumberAt, n); }
};

// Loop k of a machine image (266 + 10k): In and Out timecodes and the loop details, the
// machine (byte 8) and the end action and destination (byte 9's low and high nibbles). The
// loop table shows and edits bytes 8..9 as one number, its clip.
template <class Byte> class Loop : public View<Byte> {
  public:
    static constexpr std::size_t Size = mcn::LoopSize;
    static constexpr std::size_t InAt = 0;
    static constexpr std::size_t OutAt = 4;
    static constexpr std::size_t MachineAt = 8;
    static constexpr std::size_t EndAt = 9; // end action | end destination << 4
    static constexpr std::size_t ClipAt = MachineAt;
    using View<Byte>::View;
    timecode::Bcd in() const { return this->bcd(InAt); }
    timecode::Bcd out() const { return this->bcd(OutAt); }
    int machine() const { return this->byte(MachineAt); }
    int endAction() const { return this->byte(EndAt) & 15; }
    int endDestination() const { return this->byte(EndAt) >> 4; }
    std::uint16_t clip() const { return this->be16(ClipAt); }
    void setIn(const timecode::Bcd& t) requires View<Byte>::Writable { this->setBcd(InAt, t); }
    void setOut(const timecode::Bcd& t) requires View<Byte>::Writable { this->setBcd(OutAt, t); }
    void setMachine(int m) requires View<Byte>::Writable { this->setByte(MachineAt, std::uint8_t(m)); }
    void setEndAction(int a) requires View<Byte>::Writable
    {
        this->setByte(EndAt, std::uint8_t((this->byte(EndAt) & 0xF0) | (a & 15)));
    }
    void setEndDestination(int loop) requires View<Byte>::Writable
    {
        this->setByte(EndAt, std::uint8_t((this->byte(EndAt) & 0x0F) | (loop & 15) << 4));
    }
    void setClip(std::uint16_t clip) requires View<Byte>::Writable { this->setBe16(ClipAt, clip); }
};

// GPO k of a machine image (426 + 4k): the time its output fires.
template <class Byte> class GpoTime : public View<Byte> {
  public:
    static constexpr std::size_t Size = mcn::GpoSize;
    using View<Byte>::View;
    timecode::Bcd timecode() const { return this->bcd(0); }
    void setTimecode(const timecode::Bcd& t) requires View<Byte>::Writable { this->setBcd(0, t); }
};

// Macro m (A..H) of a machine image (474 + m): the code of its macro function, 0 for none.
template <class Byte> class Macro : public View<Byte> {
  public:
    static constexpr std::size_t Size = 1;
    using View<Byte>::View;
    std::uint8_t code() const { return this->byte(0); }
    void setCode(std::uint8_t c) requires View<Byte>::Writable { this->setByte(0, c); }
};

// Format-memory slot s of a monitor image (42 + s): the format record its key recalls
// (0..15; a file may hold any byte). Slots 0..7 are "User-A".."User-H", 8..15 the same keys
// shifted.
template <class Byte> class FormatMemory : public View<Byte> {
  public:
    static constexpr std::size_t Size = 1;
    using View<Byte>::View;
    int format() const { return this->byte(0); }
    void setFormat(int record) requires View<Byte>::Writable { this->setByte(0, std::uint8_t(record)); }
};

// Output trim t of a monitor image (330 + t): the step of the output key with code 80 + t.
template <class Byte> class Trim : public View<Byte> {
  public:
    static constexpr std::size_t Size = 1;
    using View<Byte>::View;
    int step() const { return this->byte(0); }
    void setStep(int step) requires View<Byte>::Writable { this->setByte(0, std::uint8_t(step)); }
};

// Format record r of a monitor image (58 + 17r): its name and the fields of bytes 9..16.
template <class Byte> class Format : public View<Byte> {
  public:
    static constexpr std::size_t Size = mon::FormatSize;
    using View<Byte>::View;
    formats::RecordBytes record() const
    {
        formats::RecordBytes r{};
        std::copy_n(this->bytes().begin(), r.size(), r.begin());
        return r;
    }
    int nameLength() const { return this->byte(formats::rec::NameLength); }
    QString name() const { return formats::shownName(record()); }
    formats::FormatFields fields() const { return formats::unpackFields(record()); }
    int inputTrim() const { return this->byte(formats::rec::InputTrim); }
    int stereoTrim() const { return this->byte(formats::rec::StereoTrim); }
    void setRecord(const formats::RecordBytes& r) requires View<Byte>::Writable
    {
        for (std::size_t i = 0; i < r.size(); ++i)
            this->setByte(i, r[i]);
    }
};

// The bytes of a whole image, or of a span that holds one.
inline std::span<std::uint8_t> whole(std::span<std::uint8_t> s) { return s; }
inline std::span<const std::uint8_t> whole(std::span<const std::uint8_t> s) { return s; }
template <std::size_t N> std::span<std::uint8_t> whole(ImageBytes<N>& image) { return image.bytes; }
template <std::size_t N> std::span<const std::uint8_t> whole(const ImageBytes<N>& image)
{
    return image.bytes;
}

// The view of record `index` of `count`, each Record::Size bytes from `first`.
template <template <class> class Record, class Byte>
Record<Byte> at(std::span<Byte> image, std::size_t first, int index, int count)
{
    Q_ASSERT(index >= 0 && index < count);
    Q_UNUSED(count);
    return Record<Byte>(image.subspan(first + Record<Byte>::Size * std::size_t(index), Record<Byte>::Size));
}

// Each takes a machine or monitor image (or the span of one) and the record's number.
template <class Image> auto cue(Image&& img, int k)
{
    return at<Cue>(whole(img), mcn::Cues, k, mcn::CueCount);
}
template <class Image> auto loop(Image&& img, int k)
{
    return at<Loop>(whole(img), mcn::Loops, k, mcn::LoopCount);
}
template <class Image> auto gpo(Image&& img, int k)
{
    return at<GpoTime>(whole(img), mcn::Gpos, k, mcn::GpoCount);
}
template <class Image> auto macro(Image&& img, int m)
{
    return at<Macro>(whole(img), mcn::MacroTable, m, mcn::MacroCount);
}
template <class Image> auto formatMemory(Image&& img, int slot)
{
    return at<FormatMemory>(whole(img), mon::FormatAssign, slot, mon::FormatSlots);
}
template <class Image> auto trim(Image&& img, int t)
{
    return at<Trim>(whole(img), mon::OutputTrim, t, mon::OutputTrims);
}
template <class Image> auto format(Image&& img, int r)
{
    return at<Format>(whole(img), mon::FormatTable, r, mon::FormatCount);
}

} // namespace zeltra::records
