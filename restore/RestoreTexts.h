#pragma once
// The restore points', backups' and compare's user texts (see link/Texts.h).
// Context "restore".
#include <cstdint>

#include "Texts.h"

namespace tovrel {

enum class RestoreText : std::uint16_t {
    NotThisProgram,
    PointRefused,
    PointSaveFailed,
    CommitStopped,
    FileLoadStopped,
    RestoreStopped,
    FlashStopped,
    BackupReadFailedQuestion,
    BackupSaved,
    NoteCommit,
    NoteFileLoad,
    NoteRestore,
    NoteFirmwareUpdate,
    UpdateSucceededAt,
    UpdateFailedAt,
    RestoreOfferQuestion,
    RestoreDone,
    RestoreMismatch,
    MapSummary,
    ParameterSummary,
    ParameterMissing,
    StartTimeoutName,
    TpsMinimumName,
    TpsMaximumName,
    NoDifference,
    ThrottlePointsNotWritten,
    CompareResult,
    TakeTheirsMapQuestion,
    TakeTheirsParameterQuestion,
    DeviceSide,
    DeviceReadFailed,
    RestoreQuestion,
    Count
};

const texts::Catalogue<RestoreText>& CatalogueOf(RestoreText);

}  // namespace tovrel
