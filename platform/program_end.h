#pragma once

namespace cronalba {

// Ends the program at once: no window is unloaded and no handler runs any more.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    [[noreturn]] virtual void endNow(int exitStatus) = 0;
};

} // namespace cronalba
