#pragma once
// What the show's power handling does to the music: stop it while the
// system is asked whether it is kept awake, and run it again after. The
// player itself answers at once; the music thread passes them on to its own
// thread.
namespace qv {

class MusicControl {
public:
    virtual ~MusicControl() = default;
    // Once Stop returns no sound is played until Run.
    virtual void Stop() = 0;
    virtual void Run() = 0;
};

}  // namespace qv
