#pragma once
// What the oscilloscope firmware sends, taken apart without a port: the
// initialisation frames that precede the stream, and the record stream.
// Both parsers are fed bytes as they arrive, one at a time or in runs, and
// say what each completed frame or record was. The capture reads the line
// and acts on what they report.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "OscillogramFile.h"

namespace tovrel {

// What a completed initialisation frame said.
struct InitEvent {
    enum class Kind { None, Progress, Final };
    Kind kind = Kind::None;
    std::uint16_t step = 0;  // value hi * 256 + lo
};

// Initialisation frames: 0xAA, address, index, hi, lo and two check bytes
// that are not tested. Bytes other than 0xAA before a frame are skipped one
// at a time; a frame of another address than 0x88, or another index than 2
// (progress) or 3 (final), is skipped whole.
class InitFrameParser {
public:
    // One byte; an event once a frame of progress or the final frame is
    // complete, None otherwise.
    InitEvent Feed(std::uint8_t b);
    // Feeds bytes up to and including the one that completes the final
    // frame; `events` gets every progress and final event. Returns the count
    // of bytes taken.
    std::size_t Feed(const std::uint8_t* bytes, std::size_t count, std::vector<InitEvent>& events);
    // A frame has begun (its 0xAA came) and is not complete yet.
    bool InFrame() const { return have_ > 0; }
    // The final frame has come; later bytes are not taken.
    bool Done() const { return done_; }
    void Reset() { *this = InitFrameParser(); }

private:
    std::uint8_t frame_[7] = {};
    int have_ = 0;  // bytes of the frame so far
    bool done_ = false;
};

// What the record stream delivered.
struct StreamEvent {
    enum class Kind {
        None,         // the record is not complete yet
        Record,       // a data record
        End,          // the variator's end record
        WrongMarker,  // a record that does not start with 0xAA
    };
    Kind kind = Kind::None;
    OscillogramRecord record;  // Record and End: the whole record; WrongMarker: the marker
};

// Records of 4 bytes (16-bit mode) or 6 bytes (32-bit mode), each starting
// with 0xAA. The stream is over after the end record or a wrong marker: a
// wrong marker is reported as soon as it comes, and nothing is taken after
// either.
class RecordStreamParser {
public:
    explicit RecordStreamParser(bool mode32) : mode32_(mode32) {}
    StreamEvent Feed(std::uint8_t b);
    // Feeds bytes until the stream is over; `events` gets every record, the
    // end record and a wrong marker. Returns the count of bytes taken.
    std::size_t Feed(const std::uint8_t* bytes, std::size_t count, std::vector<StreamEvent>& events);
    // Partway through a record.
    bool InRecord() const { return have_ > 0; }
    // The end record or a wrong marker has come.
    bool Over() const { return over_; }
    bool Mode32() const { return mode32_; }

private:
    bool mode32_;
    OscillogramRecord record_;
    int have_ = 0;
    bool over_ = false;
};

}  // namespace tovrel
