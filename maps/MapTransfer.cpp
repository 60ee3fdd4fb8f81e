#include "MapTransfer.h"

#include <cmath>

#include "NumberText.h"

namespace tovrel {

namespace {

constexpr std::int16_t kReadRequestValue = 100;
constexpr std::int8_t kAttempts = 2;

void ShowProgressStart(Screen& screen, std::string_view text) {
    screen.Set(kProgressBar, Property::Minimum, 0);
    screen.Set(kProgressBar, Property::Maximum, MapPointCount - 1);
    screen.SetVisible(kProgressBar, true);
    screen.SetText(kProgressLabel, text);
    screen.SetVisible(kProgressLabel, true);
    screen.Repaint(kProgressLabel);
    screen.Pump();
}

void ShowProgressEnd(Screen& screen) {
    screen.SetVisible(kProgressBar, false);
    screen.SetVisible(kProgressLabel, false);
}

// Ends a transfer on a line that has gone silent.
bool StopOnSilence(DeviceLink& link) {
    if (!link.LineSilent()) return false;
    ShowProgressEnd(link.screen());
    link.ReportLineSilent();
    return true;
}

}  // namespace

std::string_view MapTitle(MapKind kind) {
    if (kind == map_kind::LPG) return "газовая карта";
    if (kind == map_kind::Petrol) return "бензиновая карта";
    if (kind == map_kind::LPGLoadDependence) return "газовая карта TPS";
    if (kind == map_kind::PetrolLoadDependence) return "бензиновая карта TPS";
    return kind;
}

std::optional<std::string> UnsendableValueMessage(MapKind kind, const TimingMap& map) {
    const auto* c = FindMapControls(kind);
    if (!c) return std::nullopt;
    const double limit = c->grid_limit;
    for (int i = 0; i < MapPointCount; ++i) {
        const double y = map.y[static_cast<std::size_t>(i)];
        if (std::fabs(y) <= limit) continue;  // false for NaN as well
        std::string text = "Запись отменена, в вариатор ничего не отправлено: ";
        text += MapTitle(kind);
        text += " (" + std::string(kind) + "), точка " + std::to_string(i + 1) + " из " +
                std::to_string(MapPointCount) + " (x = " + FormatGeneral(map.x[static_cast<std::size_t>(i)]) + ")";
        if (IsUnreadMarker(kind, y)) {
            text += " ещё не прочитана из вариатора.";
        } else {
            const std::string bound = FormatGeneral(limit);
            text += ": значение " + FormatGeneral(y) + " вне допустимых пределов от -" + bound + " до " + bound + ".";
        }
        return text;
    }
    return std::nullopt;
}

TransferTally ReadMap(DeviceLink& link, MapKind kind, TimingMap& map) {
    TransferTally tally;
    const auto* c = FindMapControls(kind);
    if (!c) return tally;
    DeviceLink::LineHold hold(link, {ProcedureKind::Ordinary, "map read"});
    Screen& screen = link.screen();
    ShowProgressStart(screen, c->read_text);
    for (int i = 0; i < MapPointCount; ++i) {
        screen.SetPosition(kProgressBar, i);
        screen.Repaint(kProgressBar);
        const std::int16_t r = link.UARTdataExchangeForTovrel(ExchangeOp::Read, c->address,
                                                              static_cast<std::uint8_t>(i), kReadRequestValue, true,
                                                              kAttempts);
        ++tally.exchanges;
        // A point the variator did not answer keeps the not-yet-read marker
        // rather than a value it never sent: no write sends it, and the
        // point shows as unread.
        if (link.LastExchangeOk()) {
            map.y[static_cast<std::size_t>(i)] = DecodeMapValue(kind, r);
        } else {
            ++tally.failed;
            map.y[static_cast<std::size_t>(i)] = UnreadMarker(kind);
        }
        DrawMapChart(screen, kind, map);
        screen.Pump();
        if (StopOnSilence(link)) return tally;
    }
    if (kind == map_kind::LPG) DrawMapChart(screen, kind, map);
    ShowProgressEnd(screen);
    tally.completed = true;
    return tally;
}

TransferTally WriteMap(DeviceLink& link, MapKind kind, const TimingMap& map) {
    TransferTally tally;
    const auto* c = FindMapControls(kind);
    if (!c) return tally;
    Screen& screen = link.screen();
    if (auto why = UnsendableValueMessage(kind, map)) {
        screen.ShowMessage(*why);
        return tally;
    }
    DeviceLink::LineHold hold(link, {ProcedureKind::Write, "map write"});
    ShowProgressStart(screen, c->write_text);
    for (int i = 0; i < MapPointCount; ++i) {
        screen.SetPosition(kProgressBar, i);
        screen.Repaint(kProgressBar);
        const std::int16_t v = EncodeMapValue(kind, map.y[static_cast<std::size_t>(i)]);
        const std::int16_t r =
            link.UARTdataExchangeForTovrel(ExchangeOp::Write, c->address, static_cast<std::uint8_t>(i), v, true, kAttempts);
        ++tally.exchanges;
        const bool confirmed = link.LastExchangeOk();
        // A silent exchange has had its message from the exchange itself, a
        // vanished device its own; a run of failed exchanges gets this box
        // once, then the line's own.
        if (r != v && !link.LastExchangeSilent() && !link.DeviceGone() && link.TroubledExchanges() <= 1)
            screen.ShowMessage(c->wrong_value_message);
        if (!confirmed || r != v) {
            ++tally.failed;
            tally.unconfirmed.push_back(i);
        }
        if (StopOnSilence(link)) return tally;
    }
    ShowProgressEnd(screen);
    tally.completed = true;
    return tally;
}

TransferTally ReadLPGMap(DeviceLink& link, TimingMap& map) { return ReadMap(link, map_kind::LPG, map); }
TransferTally ReadPetrolMap(DeviceLink& link, TimingMap& map) { return ReadMap(link, map_kind::Petrol, map); }
TransferTally ReadLPGLoadDependenceMap(DeviceLink& link, TimingMap& map) {
    return ReadMap(link, map_kind::LPGLoadDependence, map);
}
TransferTally ReadPetrolLoadDependenceMap(DeviceLink& link, TimingMap& map) {
    return ReadMap(link, map_kind::PetrolLoadDependence, map);
}
TransferTally WritePLGMap(DeviceLink& link, const TimingMap& map) { return WriteMap(link, map_kind::LPG, map); }
TransferTally WritePetrolMap(DeviceLink& link, const TimingMap& map) { return WriteMap(link, map_kind::Petrol, map); }
TransferTally WritePLGLoadDependenceMap(DeviceLink& link, const TimingMap& map) {
    return WriteMap(link, map_kind::LPGLoadDependence, map);
}
TransferTally WritePetrolLoadDependenceMap(DeviceLink& link, const TimingMap& map) {
    return WriteMap(link, map_kind::PetrolLoadDependence, map);
}

TransferTally PreviouselyWriteMapClick(DeviceLink& link, MapsState& state, MapKind kind) {
    const auto* map = state.maps.Find(kind);
    if (!map || !link.IsConnected()) return {};
    if (state.guard.CheckWriteAllowed(link.screen()) != 0) return {};
    if (link.LineBusy()) {
        link.screen().ShowNotice(kLineBusyMessage);
        return {};
    }
    MapTransferHold transfer(state);
    return WriteMap(link, kind, *map);
}

}  // namespace tovrel
