#pragma once
// What the program knows of the maps in the variator: the values of its
// working memory (as last read or written) and of its EEPROM (as last read
// before any uncommitted write, or committed), and the values last read, to
// which the editor can revert. Kept where the reads, writes and commits
// happen; the window shows per map whether the editor differs from the
// working memory and the working memory from EEPROM.
#include <array>
#include <optional>

#include "Calculations.h"

namespace tovrel {

struct MapSyncState {
    bool device_known = false;     // the working memory's values are known
    bool editor_differs = false;   // the editor holds values the working memory does not
    bool eeprom_known = false;
    bool eeprom_differs = false;   // the working memory holds values EEPROM does not
    friend bool operator==(const MapSyncState&, const MapSyncState&) = default;
};

class MapDeviceCopies {
public:
    using Values = std::array<double, MapPointCount>;

    // A whole map was read from the working memory. Unless the program wrote
    // it since the last commit, EEPROM holds the same (the variator loads
    // its working memory from EEPROM when it starts).
    void Read(MapKind kind, const TimingMap& map);
    // A whole map was written into the working memory and confirmed.
    void Written(MapKind kind, const TimingMap& map);
    // The working memory was stored in EEPROM.
    void Committed();
    // `confirmed` commits so far (DeviceLink::CommitsConfirmed): a commit
    // made by another procedure (the throttle sensor's store, the start
    // timeout's) stored the maps' working memory as well.
    void NoteCommits(int confirmed);

    // The values last read, if the map was read since the program started.
    const Values* LastRead(MapKind kind) const;
    // What EEPROM holds, if known: the values read (EEPROM loads the working
    // memory at the variator's start) or committed since.
    const Values* Eeprom(MapKind kind) const;
    MapSyncState State(MapKind kind, const TimingMap& editor) const;
    // Counts reads, writes and commits: each one is a point where the
    // editor and the variator agreed.
    int Generation() const { return generation_; }

private:
    struct Copy {
        std::optional<Values> last_read, device, eeprom;
        bool uncommitted = false;
    };
    std::array<Copy, 4> copies_{};
    int generation_ = 0;
    int commits_ = 0;
};

// The values of two maps differ as the variator keeps them.
bool DifferOnDevice(MapKind kind, const MapDeviceCopies::Values& a, const MapDeviceCopies::Values& b);

}  // namespace tovrel
