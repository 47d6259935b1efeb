#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace horavia::audiolib {

// Decoded PCM waiting for the mixer: appended at the back, taken from the front. Not locked itself; the
// engine's lock guards it.
class PcmQueue final {
public:
    std::size_t Size() const { return data_.size() - head_; }
    bool Empty() const { return Size() == 0; }
    const std::uint8_t* Front() const { return data_.data() + head_; }

    void Append(const std::uint8_t* bytes, std::size_t n) { data_.insert(data_.end(), bytes, bytes + n); }

    void Consume(std::size_t n) {
        head_ += n < Size() ? n : Size();
        // compact once the consumed part dominates, so the buffer does not grow without end
        if (head_ > 0 && head_ >= data_.size() / 2) {
            data_.erase(data_.begin(), data_.begin() + static_cast<std::ptrdiff_t>(head_));
            head_ = 0;
        }
    }

    void Clear() {
        data_.clear();
        head_ = 0;
    }

private:
    std::vector<std::uint8_t> data_;
    std::size_t head_ = 0;
};

} // namespace horavia::audiolib
