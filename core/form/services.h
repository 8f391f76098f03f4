#pragma once

#include "computer_clock.h"
#include "serial_link.h"
#include "text.h"

namespace cronalba {

enum class MessageIcon { None, Warning };

// Modal message boxes over the window; each returns once the user has dismissed it.
class MessageDialog {
public:
    virtual ~MessageDialog() = default;
    // A message with an OK button only.
    virtual void show(TextView text, TextView title, MessageIcon icon) = 0;
    // A question with a question sign, a yes and a no button: true for yes. Closing the box
    // answers no.
    virtual bool ask(TextView text, TextView title) = 0;
};

// Ends the program at once: no window is unloaded and no handler runs any more. The real one
// doesn't return; callers do nothing after it all the same, so that a stand-in may return.
class ProgramEnd {
public:
    virtual ~ProgramEnd() = default;
    virtual void endNow(int exitStatus) = 0;
};

// What Form1 works through besides its window.
struct Form1Services {
    CommControl &comNMEA;
    ComputerClock &clock;
    MessageDialog &messages;
    ProgramEnd &programEnd;
};

} // namespace cronalba
