#include "link/RxRing.h"

#include "link/Frames.h"

namespace zeltra::link {

void RxRing::push(std::uint8_t byte)
{
    ring_[std::size_t(write_)] = byte;
    write_ = (write_ + 1) % Size;
    if (write_ == read_) // full: one slot always stays free to tell full from empty
        read_ = (read_ + 1) % Size;
}

void RxRing::dropOldest()
{
    if (available() > 0)
        read_ = (read_ + 1) % Size;
}

void RxRing::scan(const std::function<void(const QByteArray&)>& handle)
{
    while (available() > 0) {
        if (startsFrame_ && !startsFrame_(ring_[std::size_t(read_)])) {
            read_ = (read_ + 1) % Size;
            continue;
        }
        const int length = frameLength(ring_[std::size_t(read_)]);
        if (available() < length)
            return;
        QByteArray frame;
        frame.reserve(length);
        std::uint8_t sum = 0;
        for (int i = 0; i < length - 1; ++i) {
            const auto b = ring_[std::size_t((read_ + i) % Size)];
            frame.append(char(b));
            sum = std::uint8_t(sum + b);
        }
        if (sum == ring_[std::size_t((read_ + length - 1) % Size)]) {
            read_ = (read_ + length) % Size;
            frame.append(char(sum));
            handle(frame);
        } else {
            read_ = (read_ + 1) % Size;
        }
    }
}

} // namespace zeltra::link
