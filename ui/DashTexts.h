#pragma once
// Texts of the dashboard, the recorder and the playback bar (see
// link/Texts.h). Context "dash".
#include <cstdint>

#include "Texts.h"

namespace tovrel {

enum class DashText : std::uint16_t {
    Title,
    ViewMenu,
    EngineSpeed,
    Throttle,
    Advance,
    Fuel,
    Synchronisation,
    CpuTemperature,
    EngineSpeedValue,
    ThrottleValue,
    AdvanceValue,
    TemperatureValue,
    Gas,
    Petrol,
    Synchronised,
    NotSynchronised,
    StartMonitor,
    StopMonitor,
    Continuous,
    StartRecording,
    StopRecording,
    RecordItem,
    OpenRecording,
    OpenRecordingItem,
    OpenTitle,
    FileFilter,
    RecordingStarted,
    RecordingStopped,
    RecordingWriteFailed,
    RecordingNotStarted,
    Marker,
    MonitorDuringPlayback,
    PlaybackDuringMonitor,
    OpenFailed,
    FirstBadLine,
    Opened,
    Play,
    Pause,
    StepBack,
    StepForward,
    Position,
    ClosePlayback,
    ChartEngineSpeed,
    ChartThrottle,
    ChartAdvance,
    ChartMapValue,
    ChartSeconds,
    Count
};

const texts::Catalogue<DashText>& CatalogueOf(DashText);

}  // namespace tovrel
