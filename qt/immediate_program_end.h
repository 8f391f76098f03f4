#pragma once

#include "services.h"

namespace cronalba {

// Ends the process on the spot: output is flushed, but no window closes and no destructor runs.
class ImmediateProgramEnd final : public ProgramEnd {
public:
    [[noreturn]] void endNow(int exitStatus) override;
};

} // namespace cronalba
