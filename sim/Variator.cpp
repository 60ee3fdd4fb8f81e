#include "Variator.h"

#include <sys/prctl.h>

#include <chrono>
#include <thread>
#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>

#include "AtomicFile.h"

namespace tovrel::sim {

std::optional<Fault> ParseFault(std::string_view name) {
    static const std::map<std::string_view, Fault> names = {
        {"no-reply", Fault::NoReply}, {"bad-check", Fault::BadCheck}, {"echo-write", Fault::EchoWrite},
        {"stale", Fault::StaleBytes}, {"garbage", Fault::Garbage}, {"late-reply", Fault::LateReply},
        {"loader-version", Fault::LoaderVersion}, {"loader-silent", Fault::LoaderSilent},
        {"volume-refused", Fault::VolumeRefused}, {"packet-size-refused", Fault::PacketSizeRefused},
        {"erase-failed", Fault::EraseFailed}, {"wrong-echo", Fault::WrongEcho}, {"line-dead", Fault::LineDead},
        {"loader-stays", Fault::StaysInLoader},
    };
    auto it = names.find(name);
    if (it == names.end()) return std::nullopt;
    return it->second;
}

Variator::Variator(Options options) : options_(std::move(options)) {
    std::string link = (std::filesystem::path(options_.port_dir) / ("COM" + std::to_string(options_.port_number))).string();
    line_ = std::make_unique<Line>(link);
    line_->set_paced(options_.paced);
    if (!options_.traffic_file.empty()) {
        traffic_.reset(std::fopen(options_.traffic_file.c_str(), "w"));
        if (!traffic_) throw std::runtime_error("cannot write " + options_.traffic_file);
        line_->set_traffic_log(traffic_.get());
    }
    line_->set_fault(options_.line_fault);
    firmwares_[1] = MakeNormalFirmware(*this);
    firmwares_[2] = MakeLoaderFirmware(*this);
    firmwares_[3] = MakeOscilloscopeFirmware(*this);
    mode_ = (options_.mode >= 1 && options_.mode <= 3) ? options_.mode : 1;
    LoadEeprom();
    working_ = eeprom_;
}

Variator::~Variator() { Stop(); }

void Variator::Start() {
    if (running_.exchange(true)) return;
    Current().OnEnter();
    thread_ = std::thread([this] { Run(); });
}

void Variator::Stop() {
    if (!running_.exchange(false)) return;
    line_->Interrupt();
    if (thread_.joinable()) thread_.join();
}

void Variator::SwitchTo(int mode) {
    if (mode >= 1 && mode <= 3) pending_mode_ = mode;
}

Firmware& Variator::Current() { return *firmwares_[static_cast<std::size_t>(mode_.load())]; }

void Variator::Run() {
    // Byte pacing relies on short sleeps; ask the kernel for precise wake-ups.
    ::prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL);
    while (running_) {
        if (int m = pending_mode_.exchange(0); m != 0) {
            mode_ = m;
            entered_by_switch_ = true;
            Current().OnEnter();
        }
        auto bytes = line_->Receive(std::chrono::milliseconds(2));
        for (const auto& b : bytes) {
            if (line_->paced()) std::this_thread::sleep_until(b.at);
            if (int m = pending_mode_.exchange(0); m != 0) {
                mode_ = m;
                entered_by_switch_ = true;
                Current().OnEnter();
            }
            Current().OnByte(b);
        }
        {
            std::lock_guard lock(mutex_);
            for (auto& h : handlers_) h->Tick(Clock::now());
        }
        Current().OnIdle(Clock::now());
    }
}

// ------------------------------------------------------------------ state

Configuration Variator::Working() const {
    std::lock_guard lock(mutex_);
    return working_;
}
Configuration Variator::Eeprom() const {
    std::lock_guard lock(mutex_);
    return eeprom_;
}
void Variator::SetWorking(const Configuration& c) {
    std::lock_guard lock(mutex_);
    working_ = c;
}
void Variator::SetEeprom(const Configuration& c) {
    std::lock_guard lock(mutex_);
    eeprom_ = c;
}
void Variator::SetOptionWord(std::uint8_t address, std::uint16_t value) {
    std::lock_guard lock(mutex_);
    option_words_[address] = value;
}
std::uint16_t Variator::OptionWord(std::uint8_t address) const {
    std::lock_guard lock(mutex_);
    auto it = option_words_.find(address);
    return it == option_words_.end() ? 0 : it->second;
}
int Variator::Commits() const {
    std::lock_guard lock(mutex_);
    return commits_;
}
void Variator::AddAddressHandler(std::shared_ptr<AddressHandler> handler) {
    std::lock_guard lock(mutex_);
    handlers_.push_back(std::move(handler));
}

// ----------------------------------------------------------------- loader

std::vector<std::uint8_t> Variator::LoaderImage() const {
    std::lock_guard lock(mutex_);
    return loader_image_;
}
int Variator::LoaderUpdates() const {
    std::lock_guard lock(mutex_);
    return loader_updates_;
}
void Variator::StoreLoaderImage(std::vector<std::uint8_t> image) {
    if (!options_.loader_image_file.empty())
        tovrel::WriteFileAtomically(options_.loader_image_file, std::string(image.begin(), image.end()));
    std::lock_guard lock(mutex_);
    loader_image_ = std::move(image);
    ++loader_updates_;
    if (options_.flash_clears_eeprom) {
        eeprom_ = working_ = Configuration{};
        SaveEeprom();
    }
}

// ----------------------------------------------------------------- faults

void Variator::InjectFault(Fault fault, int frames) {
    std::lock_guard lock(mutex_);
    faults_[fault] = frames;
}
void Variator::ClearFaults() {
    std::lock_guard lock(mutex_);
    faults_.clear();
}
bool Variator::TakeFault(Fault fault) {
    std::lock_guard lock(mutex_);
    auto it = faults_.find(fault);
    if (it == faults_.end() || it->second == 0) return false;
    if (it->second > 0) --it->second;
    return true;
}

void Variator::SendReply(std::array<std::uint8_t, 7> reply) {
    if (TakeFault(Fault::NoReply)) return;
    if (TakeFault(Fault::LateReply)) std::this_thread::sleep_for(std::chrono::milliseconds(options_.late_reply_ms));
    if (TakeFault(Fault::BadCheck)) reply[5] = static_cast<std::uint8_t>(reply[5] ^ 0x5A);
    line_->Send(reply);
    if (TakeFault(Fault::StaleBytes)) line_->Send(last_reply_);
    if (TakeFault(Fault::Garbage)) {
        static thread_local std::mt19937 rng{12345};
        std::array<std::uint8_t, 11> junk{};
        for (auto& b : junk) b = static_cast<std::uint8_t>(rng());
        line_->Send(junk);
    }
    last_reply_ = reply;
}

// ----------------------------------------------------------------- EEPROM
// The EEPROM file holds one "address index value" line per cell.

void Variator::LoadEeprom() {
    if (options_.eeprom_file.empty()) return;
    std::ifstream in(options_.eeprom_file);
    if (!in) return;
    Configuration c;
    int address = 0, index = 0;
    long value = 0;
    while (in >> address >> index >> value) {
        if (address >= 1 && address <= 4 && index >= 0 && index < 80) {
            c.maps[static_cast<std::size_t>(address - 1)][static_cast<std::size_t>(index)] = static_cast<std::int16_t>(value);
        } else if (address == 5) {
            c.tps_min = static_cast<std::uint16_t>(value);
        } else if (address == 6) {
            c.tps_max = static_cast<std::uint16_t>(value);
        } else if (address == 7) {
            c.start_timeout = static_cast<std::int16_t>(value);
        }
    }
    eeprom_ = c;
}

void Variator::SaveEeprom() {
    if (options_.eeprom_file.empty()) return;
    std::ostringstream out;
    for (int a = 0; a < 4; ++a)
        for (int i = 0; i < 80; ++i)
            out << a + 1 << ' ' << i << ' ' << eeprom_.maps[static_cast<std::size_t>(a)][static_cast<std::size_t>(i)] << '\n';
    out << "5 0 " << eeprom_.tps_min << "\n6 0 " << eeprom_.tps_max << "\n7 0 " << eeprom_.start_timeout << '\n';
    tovrel::WriteFileAtomically(options_.eeprom_file, out.str());
}

}  // namespace tovrel::sim
