#include "platform/audio/AudioResult.h"

namespace tonewell {

std::string_view AudioResultName(AudioResult result) {
    switch (result) {
        case AudioResult::NoError: return "MMSYSERR_NOERROR";
        case AudioResult::BadDeviceId: return "MMSYSERR_BADDEVICEID";
        case AudioResult::Allocated: return "MMSYSERR_ALLOCATED";
        case AudioResult::InvalidHandle: return "MMSYSERR_INVALHANDLE";
        case AudioResult::NoDriver: return "MMSYSERR_NODRIVER";
        case AudioResult::NoMemory: return "MMSYSERR_NOMEM";
        case AudioResult::NotSupported: return "MMSYSERR_NOTSUPPORTED";
        case AudioResult::BadFormat: return "WAVERR_BADFORMAT";
        case AudioResult::StillPlaying: return "WAVERR_STILLPLAYING";
        case AudioResult::Unprepared: return "WAVERR_UNPREPARED";
        case AudioResult::Sync: return "WAVERR_SYNC";
    }
    return {};
}

}  // namespace tonewell
