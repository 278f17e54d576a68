#pragma once
// The music graph port: one media graph that plays one file, with the few
// calls the music player makes on it. Results are the platform's result
// codes, passed up unchanged (0 success, negative failure).
#include <cstdint>
#include <optional>
#include <string>

namespace qv {

// Result codes as the platform reports them.
// (32-bit codes, so negative wherever a long is wider.)
constexpr long kMediaOk = 0;                                                              // S_OK
constexpr long kMediaTimeout = static_cast<long>(static_cast<std::int32_t>(0x80004004u));  // E_ABORT: no event within the wait
constexpr long kMediaFail = static_cast<long>(static_cast<std::int32_t>(0x80004005u));     // E_FAIL

constexpr bool mediaFailed(long result) { return result < 0; }

// Media event codes the player looks at.
constexpr long kMediaEventComplete = 1;  // EC_COMPLETE: the track has played to its end

// Positions in the graph's units of 100 ns.
using MediaTime = std::int64_t;

class MusicGraphPort {
public:
    virtual ~MusicGraphPort() = default;

    // Makes the graph and takes its control, event and seeking interfaces:
    // all of them (true) or, when any one cannot be had, none (false, with
    // everything taken so far released again).
    virtual bool create() = 0;

    // The calls below are made only between a successful create() and
    // release().

    // Builds the graph that plays the file; the path is in UTF-8
    // and must fit 260 UTF-16 characters with its terminator.
    virtual long renderFile(const std::string& path) = 0;
    virtual long getAvailable(MediaTime& earliest, MediaTime& latest) = 0;
    virtual long run() = 0;
    virtual long stop() = 0;
    // Takes the next event, waiting at most timeoutMs; kMediaTimeout when none came.
    virtual long getEvent(long& code, std::intptr_t& param1, std::intptr_t& param2, long timeoutMs) = 0;
    virtual long freeEventParams(long code, std::intptr_t param1, std::intptr_t param2) = 0;
    // Both positions absolute; without a stop position the graph keeps the
    // one it has (the end of the file unless set otherwise).
    virtual long setPositions(MediaTime current, std::optional<MediaTime> stop) = 0;
    // Audio volume in hundredths of a decibel (0 full, -10000 silence); a
    // graph without audio fails.
    virtual long setVolume(long volume) = 0;

    // Releases seeking, control, events and the graph, in that order.
    virtual void release() = 0;
};

}  // namespace qv
