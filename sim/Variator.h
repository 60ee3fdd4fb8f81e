#pragma once
// The simulated variator: a pseudo-terminal linked as COM<n> and the firmware
// that answers on it. Runs on a thread of its own, in-process (tests) or in
// the tovrel-sim executable.
#include <array>
#include <atomic>
#include <cstdint>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "Firmware.h"
#include "Line.h"
#include "ScopeLog.h"

namespace tovrel::sim {

// Faults that can be scripted. Each affects the given number of the frames
// that follow (or every frame while the count is negative).
enum class Fault {
    NoReply,       // the request is swallowed
    BadCheck,      // the reply's check bytes are wrong
    EchoWrite,     // a write is sent back unchanged, as for a bad checksum
    StaleBytes,    // an old reply follows the reply, left for the next request to find
    Garbage,       // random bytes follow the reply
    LateReply,     // the reply comes late_reply_ms after the request (past the first byte's timeout)
    // Loader faults; each counts handshakes, volumes, packets ... it affects.
    LoaderVersion,      // the handshake is answered with another loader version word (5)
    LoaderSilent,       // the handshake is not answered at all
    VolumeRefused,      // the image volume is refused (answered with itself)
    PacketSizeRefused,  // the packet size is refused (answered with itself)
    EraseFailed,        // the FLASH erase is reported failed (word 0)
    WrongEcho,          // one answer byte, that of the image's middle byte, is wrong
    LineDead,           // the line goes dead halfway through the answers to the data
    StaysInLoader,      // the image is confirmed and kept, but the new firmware does not start
};
std::optional<Fault> ParseFault(std::string_view name);

// Faults of the oscilloscope firmware.
enum class ScopeFault {
    None,
    WrongMarker,     // one record starts with 0x55 instead of 0xAA; the stream goes on
    StreamStops,     // the stream stops without an end record
    NoStartAnswer,   // the start frame is ignored: no answer, no stream
    BadStartAnswer,  // the answer to the start frame is wrong; the stream starts all the same
};
std::optional<ScopeFault> ParseScopeFault(std::string_view name);

struct Options {
    std::string port_dir;       // where COM<n> is linked
    int port_number = 1;
    int mode = 1;               // firmware at start: 1 normal, 2 loader, 3 oscilloscope
    bool paced = false;         // pace bytes like a 9600-baud line
    LineFaultPlan line_fault;   // a fault of the line itself, midway
    std::string eeprom_file;    // keeps the normal firmware's EEPROM across runs when set
    std::string traffic_file;   // every byte on the line is logged there when set (Line::set_traffic_log)
    // Delay of a reply under the late-reply fault: well past the first byte's
    // timeout, so that the reply lands after the retry's drain.
    int late_reply_ms = 2600;
    // Oscilloscope firmware: records of a 60-2 toothed wheel.
    double scope_rpm = 800;     // engine speed
    int scope_records = 3000;   // records before the end record; negative: no end record
    int scope_init_steps = 4;   // initialisation frames: steps 1..n-1, then the final n; 0: never ends
    int scope_step_ms = 250;    // pause before each initialisation frame
    ScopeFault scope_fault = ScopeFault::None;
    int scope_fault_record = 100;         // the record a stream fault strikes
    std::shared_ptr<ScopeLog> scope_log;  // when set, keeps what the firmware sent
    // The loader.
    std::string loader_image_file;          // every confirmed image is saved here when set
    std::uint32_t loader_capacity = 262144; // largest image volume it accepts
    int loader_erase_ms = 50;               // FLASH erase time before its report
    // A confirmed image comes with an EEPROM of zeros (a firmware whose
    // configuration layout changed), working memory included.
    bool flash_clears_eeprom = false;
    // After a switch from the running firmware, the loader sends one byte every
    // this many ms until the handshake (0: never).
    int loader_ready_ms = 50;
    // A conversation left idle this long is given up; the loader then waits
    // for a handshake again.
    int loader_idle_reset_ms = 3000;
};

// The normal firmware's configuration, as kept in working memory and EEPROM.
struct Configuration {
    std::array<std::array<std::int16_t, 80>, 4> maps{};  // addresses 1..4
    std::uint16_t tps_min = 0;                           // address 5
    std::uint16_t tps_max = 0;                           // address 6
    std::int16_t start_timeout = 0;                      // address 7
    friend bool operator==(const Configuration&, const Configuration&) = default;
};

// Extra addresses served by the normal firmware (live engine values, log
// buffer, device options, ...).
class AddressHandler {
public:
    virtual ~AddressHandler() = default;
    virtual std::optional<std::uint16_t> Read(std::uint8_t address, std::uint8_t index) = 0;
    // True when the handler took the write.
    virtual bool Write(std::uint8_t address, std::uint8_t index, std::uint16_t value) {
        (void)address; (void)index; (void)value;
        return false;
    }
    virtual void Tick(Clock::time_point now) { (void)now; }
};

class Variator {
public:
    explicit Variator(Options options);
    ~Variator();
    Variator(const Variator&) = delete;
    Variator& operator=(const Variator&) = delete;

    void Start();
    void Stop();

    const Options& options() const { return options_; }
    Line& line() { return *line_; }
    int Mode() const { return mode_.load(); }
    // Switches firmware; takes effect before the next byte is handled.
    void SwitchTo(int mode);

    // ---- normal firmware state (thread-safe copies) ----
    Configuration Working() const;
    Configuration Eeprom() const;
    void SetWorking(const Configuration& c);
    void SetEeprom(const Configuration& c);
    // Device option words 145 (timer division), 146 (capabilities) and 147
    // (switch and speed word).
    void SetOptionWord(std::uint8_t address, std::uint16_t value);
    std::uint16_t OptionWord(std::uint8_t address) const;
    int Commits() const;
    void AddAddressHandler(std::shared_ptr<AddressHandler> handler);

    // ---- faults ----
    void InjectFault(Fault fault, int frames = 1);
    void ClearFaults();
    // Consumes one frame of the fault if it is active.
    bool TakeFault(Fault fault);

    // Frames handled since start (any firmware).
    int FramesSeen() const { return frames_seen_.load(); }

    // ---- loader ----
    // The last image the loader confirmed, and how many it confirmed.
    std::vector<std::uint8_t> LoaderImage() const;
    int LoaderUpdates() const;
    // Called by the loader at its final confirmation.
    void StoreLoaderImage(std::vector<std::uint8_t> image);
    // Whether the firmware running now was entered by a switch (not at start).
    bool EnteredBySwitch() const { return entered_by_switch_.load(); }

    // Used by the firmwares.
    std::mutex& mutex() const { return mutex_; }
    void CountFrame() { ++frames_seen_; }
    // Sends a 7-byte reply, applying the reply faults (an echoed write is the
    // firmware's own business: it must not store the value either).
    void SendReply(std::array<std::uint8_t, 7> reply);

private:
    friend class NormalFirmware;
    void Run();
    Firmware& Current();
    void LoadEeprom();
    void SaveEeprom();

    Options options_;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> traffic_{nullptr, &std::fclose};
    std::unique_ptr<Line> line_;
    std::array<std::unique_ptr<Firmware>, 4> firmwares_;  // by mode 1..3
    std::atomic<int> mode_{1};
    std::atomic<int> pending_mode_{0};
    std::atomic<bool> running_{false};
    std::atomic<int> frames_seen_{0};
    std::thread thread_;

    mutable std::mutex mutex_;
    Configuration working_{}, eeprom_{};
    std::map<std::uint8_t, std::uint16_t> option_words_;
    int commits_ = 0;
    std::map<Fault, int> faults_;
    std::vector<std::shared_ptr<AddressHandler>> handlers_;
    std::array<std::uint8_t, 7> last_reply_{};
    std::vector<std::uint8_t> loader_image_;
    int loader_updates_ = 0;
    std::atomic<bool> entered_by_switch_{false};
};

// The three firmwares; the loader and the oscilloscope firmware live in files
// of their own.
std::unique_ptr<Firmware> MakeNormalFirmware(Variator& device);
std::unique_ptr<Firmware> MakeLoaderFirmware(Variator& device);
std::unique_ptr<Firmware> MakeOscilloscopeFirmware(Variator& device);

}  // namespace tovrel::sim
