#pragma once
// The update's own line to the variator's loader: a serial port of its own
// (LoaderPort, separate from the exchange's ComPort), its two timeout sets,
// and the 32-bit loader word that travels least significant byte first.
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Crc.h"

namespace tovrel {

inline constexpr std::uint32_t FirmwarePacketSize = 1024;

// While the loader is searched for: a read of n bytes gives up after
// n + 2000 ms, or 2000 ms without a byte.
inline constexpr SerialTimeouts kLoaderSearchTimeouts{2000, 1, 2000, 1, 2000};
// From the image volume on: a read gives up after 150 * n + 20000 ms, or
// 20 s without a byte. Writes get the same bound, so that a stuck line ends
// the update instead of hanging it.
inline constexpr SerialTimeouts kLoaderTransferTimeouts{20000, 150, 20000, 150, 20000};
// Reads wait in slices this long; between two slices the link calls its
// `between_slices` hook (the message pump, where a stop request comes in).
inline constexpr std::uint32_t kLoaderReadSliceMs = 250;

// The loader word on the line.
std::array<std::uint8_t, 4> WordBytes(std::uint32_t word);
std::uint32_t WordFromBytes(const std::array<std::uint8_t, 4>& bytes);
// Words in log lines are signed decimal: 0xFFFFFFFF is "-1".
std::string WordText(std::uint32_t word);

// How the loader answered a word of a stage.
enum class WordAnswer {
    NoAnswer,  // the read call failed
    Short,     // fewer than 4 bytes came
    Accepted,  // the answer that lets the stage go on
    Refused,   // the loader's refusal, for stages that have one
    Wrong,     // any other word
};
WordAnswer JudgeWordAnswer(const TransferResult& read, std::uint32_t word, std::uint32_t accepted,
                           std::optional<std::uint32_t> refused);
// Bytes of a data packet that its answer confirms: each answer byte is the
// byte sent, complemented.
std::uint32_t ConfirmedPacketBytes(const std::uint8_t* sent, const std::uint8_t* answer, std::uint32_t length);

class LoaderLink {
public:
    explicit LoaderLink(std::unique_ptr<LoaderSerialPort> port = std::make_unique<ComPort>());

    // Opens the device without touching its settings. False when it does not
    // exist or is in use.
    bool Open(const std::string& path) { return port_->OpenDevice(path); }
    bool ApplyLineSettings() { return port_->SetLineSettings(kBaudRate); }
    // Driver queues of FirmwarePacketSize bytes each way.
    bool SetupQueues() { return port_->SetQueueSizes(FirmwarePacketSize, FirmwarePacketSize); }
    bool IsOpen() const { return port_->IsOpen(); }
    void Close() { port_->Close(); }

    bool ApplySearchTimeouts() { return Apply(search_timeouts); }
    bool ApplyTransferTimeouts() { return Apply(transfer_timeouts); }
    bool Purge() { return port_->Purge(); }
    // Waits until everything written has left (FlushFileBuffers).
    bool Flush() { return port_->Drain(); }

    // One write of the word's 4 bytes.
    TransferResult WriteWord(std::uint32_t word);
    // One read of 4 bytes into `word`. Bytes arrive from the least significant
    // one up; those that do not arrive leave the word's earlier bytes in place.
    TransferResult ReadWord(std::uint32_t& word);
    TransferResult Write(const std::uint8_t* bytes, std::uint32_t count) { return port_->WriteSome(bytes, count); }
    // Reads up to `count` bytes under the timeout set in force, with one
    // difference from the set's letter: its interval also bounds the wait for
    // the first byte. A read of n bytes therefore gives up when
    // read_interval ms pass without a byte, or after
    // read_multiplier * n + read_constant ms in all. With the transfer set a
    // silent loader costs 20 s per read instead of up to 173.6 s for a data
    // packet's answer: a loader answers a packet as soon as it has it, and
    // 20 s of silence is the same limit the set puts between two bytes.
    // The wait goes in slices of kLoaderReadSliceMs; time spent in
    // `between_slices` does not count as silence, and when it returns false
    // the read ends at once with what it has (ok stays true).
    TransferResult Read(std::uint8_t* buffer, std::uint32_t count);

    LoaderSerialPort& port() { return *port_; }

    // The timeout sets in force; tests shorten them.
    SerialTimeouts search_timeouts = kLoaderSearchTimeouts;
    SerialTimeouts transfer_timeouts = kLoaderTransferTimeouts;
    // Called between two slices of a read's wait; false abandons the read.
    std::function<bool()> between_slices;

private:
    bool Apply(const SerialTimeouts& set);

    std::unique_ptr<LoaderSerialPort> port_;
    // The set applied last; reads go by it.
    SerialTimeouts in_force_ = kLoaderSearchTimeouts;
};

}  // namespace tovrel
