#pragma once
// Moving the maps between the program and the variator, one point per
// exchange: the four reads, the four writes and the single-map write buttons.
#include <optional>
#include <string>
#include <vector>

#include "Calculations.h"
#include "Dataextractor.h"
#include "MapEditor.h"
#include "MapsTexts.h"

namespace tovrel {

// What a device procedure did on the line. The procedures report failures to
// the user themselves; this is for callers that must tell success apart (the
// command line's exit status, tests).
struct TransferTally {
    int exchanges = 0;       // exchanges put on the line
    int failed = 0;          // of them, those without a good reply or confirmation
    bool completed = false;  // the procedure ran to its end
    // Of a map write: the points whose value the variator did not confirm.
    // Not carried over by +=.
    std::vector<int> unconfirmed;
    // Of the whole-configuration write: the commit was sent and confirmed.
    bool committed = false;
    TransferTally& operator+=(const TransferTally& other) {
        exchanges += other.exchanges;
        failed += other.failed;
        return *this;
    }
    bool Ok() const { return completed && failed == 0; }
};

// Each reads the 80 points of its map into the document, one change per
// point, drawing the map's chart after every point (MapViews draws the
// points that changed) and pumping messages. No connection test.
TransferTally ReadLPGMap(DeviceLink& link, MapDocument& document);
TransferTally ReadPetrolMap(DeviceLink& link, MapDocument& document);
TransferTally ReadLPGLoadDependenceMap(DeviceLink& link, MapDocument& document);
TransferTally ReadPetrolLoadDependenceMap(DeviceLink& link, MapDocument& document);
// Each writes the 80 points of `map` into the variator's working copy; a point
// whose confirmed value differs from the value sent gets the map's
// wrong-value message. No connection test, no write guard, no commit. A map
// holding a value that no editor can produce (UnsendableValueMessage) is
// refused with that message before anything is sent.
// Reads and writes end early, not completed, once the line has stayed silent
// for kSilentExchangeLimit exchanges in a row (kLineSilentMessage).
TransferTally WritePLGMap(DeviceLink& link, const TimingMap& map);
TransferTally WritePetrolMap(DeviceLink& link, const TimingMap& map);
TransferTally WritePLGLoadDependenceMap(DeviceLink& link, const TimingMap& map);
TransferTally WritePetrolLoadDependenceMap(DeviceLink& link, const TimingMap& map);
// Nothing when every point of `map` may be sent; otherwise the message that
// names the map and the first point whose value lies outside what the
// editors allow (-32..32 degrees, -101..101 percent), the not-yet-read
// markers and values that are not numbers among them.
std::optional<std::string> UnsendableValueMessage(MapKind kind, const TimingMap& map);
// Russian name of a map for messages ("газовая карта", ...).
std::string MapTitle(MapKind kind);

// The same by kind.
TransferTally ReadMap(DeviceLink& link, MapKind kind, MapDocument& document);
TransferTally WriteMap(DeviceLink& link, MapKind kind, const TimingMap& map);

// The single-map write buttons ("Предварительная запись карты в вариатор без
// сохранения при отключении"): when connected and the write guard allows,
// write the button's map without a commit. Refused with kLineBusyMessage while
// another device procedure holds the line.
TransferTally PreviouselyWriteMapClick(DeviceLink& link, MapsState& state, MapKind kind);
inline TransferTally PreviouselyGASmapWriteButtonClick(DeviceLink& l, MapsState& s) {
    return PreviouselyWriteMapClick(l, s, MapKind::LPG);
}
inline TransferTally PreviouselyPETROLmapWriteButtonClick(DeviceLink& l, MapsState& s) {
    return PreviouselyWriteMapClick(l, s, MapKind::Petrol);
}
inline TransferTally PreviouselyGASTPSmapWriteButtonClick(DeviceLink& l, MapsState& s) {
    return PreviouselyWriteMapClick(l, s, MapKind::LPGLoadDependence);
}
inline TransferTally PreviouselyPETROLTPSmapWriteButtonClick(DeviceLink& l, MapsState& s) {
    return PreviouselyWriteMapClick(l, s, MapKind::PetrolLoadDependence);
}
inline constexpr MapsText kPreviousWriteCaption = MapsText::PreviousWriteCaption;

}  // namespace tovrel
