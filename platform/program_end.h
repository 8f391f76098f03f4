#pragma once

namespace cronalba {

// Ends the program at once: no window is unloaded and no handler runs any more. The real one
// doesn't return; callers do nothing after it all the same, so that a stand-in may return.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    virtual void endNow(int exitStatus) = 0;
};

} // namespace cronalba
