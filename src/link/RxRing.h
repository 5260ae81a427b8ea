#pragma once
#include <QByteArray>
#include <array>
#include <cstdint>
#include <functional>

namespace zeltra::link {

// The 32-byte receive ring. Bytes go in as they arrive; `scan` takes out every complete frame
// whose checksum matches and drops one byte at a time where it does not, so the scan
// resynchronises on the next byte.
//
// With a head test, a byte that starts no frame the far end sends is dropped as soon as it
// is first in the ring, instead of being waited on as the start of a long frame.
class RxRing {
  public:
    static constexpr int Size = 32;
    using HeadTest = bool (*)(std::uint8_t head);

    explicit RxRing(HeadTest startsFrame = nullptr) : startsFrame_(startsFrame) {}

    // When the ring is full the oldest byte is dropped, so the newest bytes are always kept.
    void push(std::uint8_t byte);
    // Hands each good frame, checksum included, to `handle` in arrival order. Stops when the
    // bytes left are fewer than the first of them announces.
    void scan(const std::function<void(const QByteArray&)>& handle);
    // Bytes waiting that do not yet make a frame.
    int available() const { return (write_ - read_ + Size) % Size; }
    // Gives up on the oldest waiting byte: a frame start that was never completed.
    void dropOldest();
    void clear() { read_ = write_ = 0; }

  private:
    std::array<std::uint8_t, Size> ring_{};
    int write_ = 0;
    int read_ = 0;
    HeadTest startsFrame_ = nullptr;
};

} // namespace zeltra::link
