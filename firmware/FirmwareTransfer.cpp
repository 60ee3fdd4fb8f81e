// The data stage: the image in packets of FirmwarePacketSize bytes, each
// answered by the loader with its bytes complemented.
#include <algorithm>
#include <array>

#include "Firmwareupdate.h"
#include "FirmwareTexts.h"

namespace tovrel {

void FirmwareUpdate::SendFirmwarePackets() {
    if (ConnectionStage != 4 || image.size == 0 || Stopping()) return;
    const std::uint32_t s = image.size;
    std::uint32_t position = 0;
    std::uint32_t remaining = s;
    std::uint32_t length = FirmwarePacketSize;
    std::uint32_t confirmed = 0;
    std::array<std::uint8_t, FirmwarePacketSize> send{};
    std::array<std::uint8_t, FirmwarePacketSize> answer{};

    FlushLoaderPort();
    Sleep(500);

    int failed_writes = 0;
    while (remaining > 0 && !Stopping()) {
        if (remaining < length) length = remaining;
        // position + length never passes the image: position only moves after
        // a packet was answered in full, so position == s - remaining.
        std::copy_n(image.bytes.begin() + position, length, send.begin());
        Sleep(static_cast<int>(length / 32));

        const auto w = LoaderPort.Write(send.data(), length);
        if (!w.ok || w.count < length) {
            LogUpdateLine(!w.ok ? Tr(FirmwareText::PacketSendFailed) : Tr(FirmwareText::ShortWrite));
            if (++failed_writes < kPacketWriteAttempts) continue;  // the same packet again
            break;
        }
        failed_writes = 0;
        position += length;
        LogUpdateLine(TrFormat(FirmwareText::PacketSent, std::to_string(w.count)));
        if (!LoaderPort.Flush()) LogUpdateLine(Tr(FirmwareText::PacketPurgeFailed));

        std::fill_n(answer.begin(), length, std::uint8_t{0});
        // On a line that has gone silent this read ends 20 s after the last
        // byte (LoaderLink::Read), or at once when the user stops the update.
        const auto r = LoaderPort.Read(answer.data(), length);
        if (Stopping()) break;  // abandoned: the answer is not judged
        if (!r.ok || r.count < length) {
            if (!r.ok) {
                LogUpdateLine(Tr(FirmwareText::PacketNoAnswer));
            } else {
                LogUpdateLine(Tr(FirmwareText::ShortRead));
                LogUpdateLine(std::to_string(r.count));
                LogUpdateLine(Tr(FirmwareText::BytesRead));
            }
            // The loader's count of received bytes is unknown now: whatever
            // went next would land at a place of its FLASH that nobody can
            // tell. Nothing more is sent; the stage ends unconfirmed.
            break;
        }
        const std::uint32_t good = ConfirmedPacketBytes(send.data(), answer.data(), length);
        confirmed += good;
        for (std::uint32_t i = good; i < length; ++i) LogUpdateLine(Tr(FirmwareText::ByteWrong));
        remaining -= length;

        const int progress = 100 - static_cast<int>(std::uint64_t{remaining} * 100 / s);
        if (progress > gauge_shown_) {
            gauge_shown_ = progress;
            page_.Gauge().SetPosition(progress);
            screen_.Pump();
        }
        const std::string text = TrFormat(FirmwareText::PacketConfirmed, std::to_string(remaining), std::to_string(s));
        LogUpdateLine(text);
        LogUpdateLine("------------------------------------");
        page_.FileButton().SetText(text);
    }

    if (remaining == 0 && confirmed == s) {
        ConnectionStage = 5;
        LogUpdateLine(Tr(FirmwareText::AllPacketsConfirmed));
        return;
    }
    LogUpdateLine(Tr(FirmwareText::PacketsNotConfirmed));
    LogUpdateLine(Tr(FirmwareText::BytesLeftToWrite));
    LogUpdateLine(std::to_string(s - confirmed));
}

}  // namespace tovrel
