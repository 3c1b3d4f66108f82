#pragma once
// Records from the loopback cable's input in the output's format, from the moment it is made
// until its buffer is full, so that input frame n is output frame n when the output opens at
// the same cable time.

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/LoopbackCable.h"

namespace tonewell::testing {

class CableRecorder {
public:
    CableRecorder(LoopbackCable& cable, const WaveFormat& format, std::uint32_t seconds)
        : input_(cable.createInput()), bytes_(static_cast<std::size_t>(format.averageBytesPerSecond) * seconds),
          bytesPerSecond_(format.averageBytesPerSecond) {
        header_.data = bytes_.data();
        header_.bufferLength = static_cast<std::uint32_t>(bytes_.size());
        EXPECT_EQ(input_->open(format, notifications_), AudioResult::NoError);
        EXPECT_EQ(input_->prepare(header_), AudioResult::NoError);
        EXPECT_EQ(input_->addBuffer(header_), AudioResult::NoError);
        EXPECT_EQ(input_->start(), AudioResult::NoError);
    }
    ~CableRecorder() {
        input_->reset();
        input_->unprepare(header_);
        input_->close();
    }
    CableRecorder(const CableRecorder&) = delete;
    CableRecorder& operator=(const CableRecorder&) = delete;

    bool full() const { return header_.bytesRecorded.load() == header_.bufferLength; }
    // Second k of the recording, as bytes.
    std::string second(std::uint32_t k) const {
        return std::string(reinterpret_cast<const char*>(bytes_.data()) + k * bytesPerSecond_, bytesPerSecond_);
    }
    std::string all() const { return std::string(bytes_.begin(), bytes_.end()); }
    // The 16-bit sample at a position counted in samples (mono: frames).
    std::int16_t sample16(std::size_t index) const {
        return static_cast<std::int16_t>(bytes_[2 * index] | (bytes_[2 * index + 1] << 8));
    }
    std::size_t samples16() const { return bytes_.size() / 2; }

private:
    InputNotificationQueue notifications_;
    std::unique_ptr<AudioInput> input_;
    std::vector<std::uint8_t> bytes_;
    std::size_t bytesPerSecond_;
    WaveHeader header_;
};

}  // namespace tonewell::testing
