#include "MapTransfer.h"

#include <cmath>

#include "MainWindowPage.h"
#include "NumberText.h"
#include "MapsTexts.h"

namespace tovrel {

namespace {

constexpr std::int16_t kReadRequestValue = 100;
constexpr std::int8_t kAttempts = 2;

void ShowProgressStart(Screen& screen, std::string_view text) {
    const MainWindowPage window(screen);
    window.Progress().Set(Property::Minimum, 0);
    window.Progress().Set(Property::Maximum, MapPointCount - 1);
    window.Progress().SetVisible(true);
    window.ProgressCaption().SetText(text);
    window.ProgressCaption().SetVisible(true);
    window.ProgressCaption().Repaint();
    screen.Pump();
}

void ShowProgress(Screen& screen, int point) {
    const auto progress = MainWindowPage(screen).Progress();
    progress.SetPosition(point);
    progress.Repaint();
}

void ShowProgressEnd(Screen& screen) {
    const MainWindowPage window(screen);
    window.Progress().SetVisible(false);
    window.ProgressCaption().SetVisible(false);
}

// Ends a transfer on a line that has gone silent.
bool StopOnSilence(DeviceLink& link) {
    if (!link.LineSilent()) return false;
    ShowProgressEnd(link.screen());
    link.ReportLineSilent();
    return true;
}

}  // namespace

std::string MapTitle(MapKind kind) {
    switch (kind) {
        case MapKind::LPG: return Tr(MapsText::TitleLPG);
        case MapKind::Petrol: return Tr(MapsText::TitlePetrol);
        case MapKind::LPGLoadDependence: return Tr(MapsText::TitleLPGLoad);
        case MapKind::PetrolLoadDependence: return Tr(MapsText::TitlePetrolLoad);
    }
    return std::string(MapKindName(kind));
}

std::optional<std::string> UnsendableValueMessage(MapKind kind, const TimingMap& map) {
    const auto* c = FindMapControls(kind);
    if (!c) return std::nullopt;
    const double limit = c->grid_limit;
    for (int i = 0; i < MapPointCount; ++i) {
        const double y = map.y[static_cast<std::size_t>(i)];
        if (std::fabs(y) <= limit) continue;  // false for NaN as well
        const std::string title = MapTitle(kind), point = std::to_string(i + 1),
                          count = std::to_string(MapPointCount), x = FormatGeneral(map.x[static_cast<std::size_t>(i)]);
        if (IsUnreadMarker(kind, y))
            return TrFormat(MapsText::UnsendableUnread, title, MapKindName(kind), point, count, x);
        return TrFormat(MapsText::UnsendableOutOfRange, title, MapKindName(kind), point, count, x, FormatGeneral(y),
                        FormatGeneral(limit));
    }
    return std::nullopt;
}

TransferTally ReadMap(DeviceLink& link, MapKind kind, MapDocument& document) {
    TransferTally tally;
    const auto* c = FindMapControls(kind);
    if (!c) return tally;
    DeviceLink::LineHold hold(link, {ProcedureKind::Ordinary, "map read"});
    Screen& screen = link.screen();
    ShowProgressStart(screen, Tr(c->read_text));
    for (int i = 0; i < MapPointCount; ++i) {
        ShowProgress(screen, i);
        const std::int16_t r = link.UARTdataExchangeForTovrel(ExchangeOp::Read, c->address,
                                                              static_cast<std::uint8_t>(i), kReadRequestValue, true,
                                                              kAttempts);
        ++tally.exchanges;
        // A point the variator did not answer keeps the not-yet-read marker
        // rather than a value it never sent: no write sends it, and the
        // point shows as unread.
        if (!link.LastExchangeOk()) ++tally.failed;
        const double y = link.LastExchangeOk() ? DecodeMapValue(kind, r) : UnreadMarker(kind);
        // The chart shows the map after every point: the document's views
        // draw it for a point that changed; a point that brought the value
        // memory already held (a marker over a marker) is drawn here, so a
        // chart that still shows the values from before the read does not
        // outlive it.
        if (document.SetPoint(kind, i, y, MapEditCause::DeviceRead) != ApplyResult::Changed)
            ShowMapInChart(screen, document.Maps(), kind);
        screen.Pump();
        if (StopOnSilence(link)) return tally;
    }
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
    ShowProgressStart(screen, Tr(c->write_text));
    for (int i = 0; i < MapPointCount; ++i) {
        ShowProgress(screen, i);
        const std::int16_t v = EncodeMapValue(kind, map.y[static_cast<std::size_t>(i)]);
        const std::int16_t r =
            link.UARTdataExchangeForTovrel(ExchangeOp::Write, c->address, static_cast<std::uint8_t>(i), v, true, kAttempts);
        ++tally.exchanges;
        const bool confirmed = link.LastExchangeOk();
        // A silent exchange has had its message from the exchange itself, a
        // vanished device its own; a run of failed exchanges gets this box
        // once, then the line's own.
        if (r != v && !link.LastExchangeSilent() && !link.DeviceGone() && link.TroubledExchanges() <= 1)
            screen.ShowMessage(Tr(c->wrong_value_message));
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

TransferTally ReadLPGMap(DeviceLink& link, MapDocument& d) { return ReadMap(link, MapKind::LPG, d); }
TransferTally ReadPetrolMap(DeviceLink& link, MapDocument& d) { return ReadMap(link, MapKind::Petrol, d); }
TransferTally ReadLPGLoadDependenceMap(DeviceLink& link, MapDocument& d) {
    return ReadMap(link, MapKind::LPGLoadDependence, d);
}
TransferTally ReadPetrolLoadDependenceMap(DeviceLink& link, MapDocument& d) {
    return ReadMap(link, MapKind::PetrolLoadDependence, d);
}
TransferTally WritePLGMap(DeviceLink& link, const TimingMap& map) { return WriteMap(link, MapKind::LPG, map); }
TransferTally WritePetrolMap(DeviceLink& link, const TimingMap& map) { return WriteMap(link, MapKind::Petrol, map); }
TransferTally WritePLGLoadDependenceMap(DeviceLink& link, const TimingMap& map) {
    return WriteMap(link, MapKind::LPGLoadDependence, map);
}
TransferTally WritePetrolLoadDependenceMap(DeviceLink& link, const TimingMap& map) {
    return WriteMap(link, MapKind::PetrolLoadDependence, map);
}

TransferTally PreviouselyWriteMapClick(DeviceLink& link, MapsState& state, MapKind kind) {
    const auto* map = &state.document.Map(kind);
    if (!link.IsConnected()) return {};
    if (state.guard.CheckWriteAllowed(link.screen()) != 0) return {};
    if (link.LineBusy()) {
        link.screen().ShowNotice(Tr(kLineBusyMessage));
        return {};
    }
    MapTransferHold transfer(state);
    TransferTally tally = WriteMap(link, kind, *map);
    if (tally.completed && tally.unconfirmed.empty()) state.device.Written(kind, *map);
    return tally;
}

}  // namespace tovrel
