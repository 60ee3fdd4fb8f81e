#include "MapSync.h"

namespace tovrel {

namespace {

MapDeviceCopies::Values AsDeviceKeepsThem(MapKind kind, const MapDeviceCopies::Values& y) {
    MapDeviceCopies::Values v{};
    for (std::size_t i = 0; i < v.size(); ++i) v[i] = DecodeMapValue(kind, EncodeMapValue(kind, y[i]));
    return v;
}

}  // namespace

bool DifferOnDevice(MapKind kind, const MapDeviceCopies::Values& a, const MapDeviceCopies::Values& b) {
    for (std::size_t i = 0; i < a.size(); ++i)
        if (EncodeMapValue(kind, a[i]) != EncodeMapValue(kind, b[i])) return true;
    return false;
}

void MapDeviceCopies::Read(MapKind kind, const TimingMap& map) {
    const int m = MapKindIndex(kind);
    if (m < 0 || m >= 4) return;
    auto& c = copies_[static_cast<std::size_t>(m)];
    c.last_read = map.y;
    c.device = map.y;
    if (!c.uncommitted) c.eeprom = map.y;
    ++generation_;
}

void MapDeviceCopies::Written(MapKind kind, const TimingMap& map) {
    const int m = MapKindIndex(kind);
    if (m < 0 || m >= 4) return;
    auto& c = copies_[static_cast<std::size_t>(m)];
    c.device = AsDeviceKeepsThem(kind, map.y);
    c.uncommitted = true;
    ++generation_;
}

void MapDeviceCopies::Committed() {
    for (auto& c : copies_) {
        if (c.device) c.eeprom = c.device;
        c.uncommitted = false;
    }
    ++generation_;
}

void MapDeviceCopies::NoteCommits(int confirmed) {
    if (confirmed == commits_) return;
    commits_ = confirmed;
    Committed();
}

const MapDeviceCopies::Values* MapDeviceCopies::LastRead(MapKind kind) const {
    const int m = MapKindIndex(kind);
    if (m < 0 || m >= 4) return nullptr;
    const auto& c = copies_[static_cast<std::size_t>(m)];
    return c.last_read ? &*c.last_read : nullptr;
}

const MapDeviceCopies::Values* MapDeviceCopies::Eeprom(MapKind kind) const {
    const int m = MapKindIndex(kind);
    if (m < 0 || m >= 4) return nullptr;
    const auto& c = copies_[static_cast<std::size_t>(m)];
    return c.eeprom ? &*c.eeprom : nullptr;
}

MapSyncState MapDeviceCopies::State(MapKind kind, const TimingMap& editor) const {
    MapSyncState s;
    const int m = MapKindIndex(kind);
    if (m < 0 || m >= 4) return s;
    const auto& c = copies_[static_cast<std::size_t>(m)];
    if (c.device) {
        s.device_known = true;
        s.editor_differs = DifferOnDevice(kind, editor.y, *c.device);
    }
    if (c.device && c.eeprom) {
        s.eeprom_known = true;
        s.eeprom_differs = DifferOnDevice(kind, *c.device, *c.eeprom);
    } else if (c.uncommitted) {
        // Written since the start, never read nor committed: EEPROM may hold anything.
        s.eeprom_differs = true;
    }
    return s;
}

}  // namespace tovrel
