#pragma once
// A kill switch shared by the in-memory files and registry: after the
// allowed number of writes the next write throws ProcessKilled instead of
// happening, as if the process had been ended right after its last write.
// A test then starts again on the same fakes and looks at what it finds.
namespace qv {

// Not a std::exception, so no handler of the code under test takes it.
struct ProcessKilled {};

class WriteBudget {
public:
    // allowed < 0: no limit.
    void allow(int allowed) {
        allowed_ = allowed;
        done_ = 0;
    }
    int done() const { return done_; }
    // Called before each write.
    void spend() {
        if (allowed_ >= 0 && done_ >= allowed_) throw ProcessKilled{};
        ++done_;
    }

private:
    int allowed_ = -1;
    int done_ = 0;
};

}  // namespace qv
